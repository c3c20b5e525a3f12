#include "CustStandardItem.h"

#include "TreeSortKeys.h"
#include "TreeView.h"

namespace AUILib {

namespace {

bool InScope(const QStandardItem& item, const CustStandardItem::SortContext& context)
{
    const QStandardItem* parent = item.parent();
    if (!context.root || context.root == TreeItemRoot)
        return !parent || context.recursive;
    if (parent == context.root)
        return true;
    if (!context.recursive)
        return false;
    for (; parent; parent = parent->parent()) {
        if (parent == context.root)
            return true;
    }
    return false;
}

} // namespace

CustStandardItem::CustStandardItem(const QString& text) : QStandardItem(text) {}

CustStandardItem::~CustStandardItem() = default;

QStandardItem* CustStandardItem::clone() const { return new CustStandardItem(*this); }

bool CustStandardItem::operator<(const QStandardItem& other) const
{
    const SortContext* context = sortContext_.get();
    if (!context || !context->callback)
        return false;
    if (const TreeSortKeys* keys = context->keys) {
        // Not taken by this sort: the item is out of its scope.
        if (sortSerial_ != keys->Serial())
            return false;
        std::wstring text = keys->Text(sortText_, sortTextSize_);
        any value = sortValue_ ? *sortValue_ : any();
        if (const TreeSortKeys::Entry* theirs = keys->Find(&other))
            return context->callback(std::move(text), std::move(value), keys->Text(*theirs),
                                     keys->Value(*theirs));
        return context->callback(std::move(text), std::move(value), TreeSortKeys::TextOf(other),
                                 TreeSortKeys::ValueOf(other, context->data));
    }
    // A sort the control did not start (the model's own): no keys taken.
    if (!InScope(*this, *context))
        return false;
    return context->callback(TreeSortKeys::TextOf(*this), TreeSortKeys::ValueOf(*this, context->data),
                             TreeSortKeys::TextOf(other), TreeSortKeys::ValueOf(other, context->data));
}

} // namespace AUILib
