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
    const SortContext* context = sortContext_;
    if (!context || !context->callback)
        return false;
    if (const TreeSortKeys* keys = context->keys) {
        // Without this sort's key the item is out of its scope.
        if (sortSerial_ != keys->Serial())
            return false;
        if (const TreeSortKeys::Key* theirs = keys->Find(&other))
            return context->callback(keys->Text(sortKey_), keys->Value(sortKey_), keys->Text(*theirs),
                                     keys->Value(*theirs));
        return context->callback(keys->Text(sortKey_), keys->Value(sortKey_), TreeSortKeys::TextOf(other),
                                 TreeSortKeys::ValueOf(other, context->data));
    }
    // A sort the control did not start (the model's own): no keys taken.
    if (!InScope(*this, *context))
        return false;
    return context->callback(TreeSortKeys::TextOf(*this), TreeSortKeys::ValueOf(*this, context->data),
                             TreeSortKeys::TextOf(other), TreeSortKeys::ValueOf(other, context->data));
}

} // namespace AUILib
