// Sorting of the tree control in both modes. Both start through the view's
// sortByColumn with the view's own sorting left off: with it on, asking
// again for an unchanged sort indicator would not sort again.
#include "TreeSortKeys.h"
#include "TreeViewImplQt.h"

namespace AUILib {

bool TreeView::SetSortFunc(const SortCallback& callback)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->GetView() || d->virtualMode)
        return false;
    d->sortContext->callback = callback;
    return true;
}

bool TreeView::SetSortFunc(const VirtualSortCallback& callback)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || d->GetView()->model() != d->VirtualModel())
        return false;
    d->VirtualModel()->SetSortFunc(callback);
    return true;
}

void TreeView::SortChildren(QStandardItem* item, bool recursively)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->GetView() || d->virtualMode)
        return;
    d->sortContext->root = item;
    d->sortContext->recursive = recursively;
    d->sortContext->data = &d->itemData;
    if (!d->sortContext->callback) {
        d->GetView()->sortByColumn(0, Qt::AscendingOrder);
        return;
    }
    // The scope's texts and values, taken once for the whole sort; an item
    // not of this model has nothing of it in scope.
    QStandardItem* scope = nullptr;
    if (!item || item == TreeItemRoot)
        scope = d->Model() ? d->Model()->invisibleRootItem() : nullptr;
    else if (d->IndexOf(item).isValid())
        scope = item;
    const TreeSortKeys keys(scope, recursively, &d->itemData);
    // Reset however the sort ends: the callback may throw.
    struct KeysInUse {
        CustStandardItem::SortContext& context;
        const TreeSortKeys* before;
        ~KeysInUse() { context.keys = before; }
    } inUse{*d->sortContext, d->sortContext->keys};
    d->sortContext->keys = &keys;
    d->GetView()->sortByColumn(0, Qt::AscendingOrder);
}

void TreeView::SortVirtChildren(VirtTreeItem* item, bool recursively)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable())
        return;
    d->VirtualModel()->SetSortScope(item, recursively);
    d->GetView()->sortByColumn(0, Qt::AscendingOrder);
}

} // namespace AUILib
