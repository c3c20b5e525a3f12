#include "CustStandardItem.h"

#include "ItemDataMap.h"
#include "TreeView.h"
#include "WideQt.h"

namespace AUILib {

namespace {

// The tree keeps every value in column 0 of the item-data map.
constexpr int kDataColumn = 0;

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

any ValueOf(const QStandardItem& item, const ItemDataMap* data)
{
    if (!data)
        return any();
    // Most items carry no value: no lookup for them.
    const QVariant id = item.data(CustStandardItem::DataIdRole);
    const int key = id.isValid() ? id.toInt() : -1;
    return key >= 0 ? data->Get(key, kDataColumn) : any();
}

} // namespace

CustStandardItem::CustStandardItem(const QString& text) : QStandardItem(text) {}

CustStandardItem::~CustStandardItem() = default;

QStandardItem* CustStandardItem::clone() const { return new CustStandardItem(*this); }

bool CustStandardItem::operator<(const QStandardItem& other) const
{
    if (!sortContext_ || !sortContext_->callback || !InScope(*this, *sortContext_))
        return false;
    return sortContext_->callback(ToWide(data(Qt::DisplayRole).toString()), ValueOf(*this, sortContext_->data),
                                  ToWide(other.data(Qt::DisplayRole).toString()), ValueOf(other, sortContext_->data));
}

} // namespace AUILib
