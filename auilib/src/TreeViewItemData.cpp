#include "TreeViewImplQt.h"

namespace AUILib {

bool TreeView::impl::SetItemData(QStandardItem*, any) { return false; }

any TreeView::impl::GetItemData(QStandardItem*) const { return any(); }

bool TreeView::impl::RemoveItemData(QStandardItem*) { return false; }

void TreeView::impl::CopyItemData(QStandardItem* source, QStandardItem* copy)
{
    const any value = GetItemData(source);
    if (value.has_value())
        SetItemData(copy, value);
}

void TreeView::impl::ClearItemData() {}

} // namespace AUILib
