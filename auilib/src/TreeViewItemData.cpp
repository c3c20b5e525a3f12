#include "TreeViewImplQt.h"

namespace AUILib {

namespace {

// The tree keeps every value in column 0 of the item-data map.
constexpr int kDataColumn = 0;

} // namespace

bool TreeView::impl::SetItemData(QStandardItem* item, any data)
{
    if (!IndexOf(item).isValid() || !data.has_value())
        return false;
    RemoveItemData(item);
    const int id = itemData.Add(kDataColumn, data);
    item->setData(id, CustStandardItem::DataIdRole);
    return true;
}

any TreeView::impl::GetItemData(QStandardItem* item) const
{
    const QModelIndex index = IndexOf(item);
    if (!index.isValid())
        return any();
    return itemData.Get(index.data(CustStandardItem::DataIdRole).toInt(), kDataColumn);
}

bool TreeView::impl::RemoveItemData(QStandardItem* item)
{
    const QModelIndex index = IndexOf(item);
    if (!index.isValid())
        return false;
    const QVariant id = index.data(CustStandardItem::DataIdRole);
    const bool erased = id.isValid() && itemData.Erase(id.toInt());
    item->setData(-1, CustStandardItem::DataIdRole);
    return erased;
}

void TreeView::impl::CopyItemData(QStandardItem* source, QStandardItem* copy)
{
    const any value = GetItemData(source);
    if (value.has_value())
        SetItemData(copy, value);
}

void TreeView::impl::ClearItemData() { itemData.Clear(); }

void TreeView::impl::ForgetItemData(QStandardItem* item)
{
    // Only the map entry: the item is on its way out of the model.
    const QVariant id = item->data(CustStandardItem::DataIdRole);
    if (id.isValid())
        itemData.Erase(id.toInt());
}

} // namespace AUILib
