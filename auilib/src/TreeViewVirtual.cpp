// The tree control's virtual mode: the switch between the two models and
// the operations on VirtTreeItem nodes.
#include "TreeViewImplQt.h"

#include "EmissionHold.h"
#include "TreeViewItemDelegate.h"
#include "VirtualTreeDelegate.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace AUILib {

namespace {

// setModel makes a new selection model each time and leaves the old one to
// the view; replaced ones are deleted here instead of piling up.
void SetModelReplacingSelection(QTreeView* view, QAbstractItemModel* model)
{
    QItemSelectionModel* before = view->selectionModel();
    view->setModel(nullptr);
    QItemSelectionModel* empty = view->selectionModel();
    view->setModel(model);
    if (empty != view->selectionModel())
        delete empty;
    if (before && before != empty && before != view->selectionModel())
        delete before;
}

} // namespace

bool TreeView::impl::VirtualUsable() const
{
    return view_.Get() && virtualMode && virtualModel_;
}

PictureCache& TreeView::impl::Pictures()
{
    if (!pictures_)
        pictures_ = std::make_unique<PictureCache>();
    if (virtualModel_)
        virtualModel_->SetPictures(pictures_.get());
    return *pictures_;
}

void TreeView::impl::DropPictures()
{
    if (virtualModel_)
        virtualModel_->SetPictures(nullptr);
    pictures_.reset();
}

void TreeView::impl::ClearVirtualItems()
{
    if (virtualModel_)
        virtualModel_->clear();
    currentVirtualItem = nullptr;
    lastSelectedVirtualItem = nullptr;
    tooltipVirtualItem = nullptr;
}

void TreeView::impl::SetVirtualMode(bool on)
{
    TreeViewQt* view = view_.Get();
    TreeView* owner = Owner();
    if (!view || !owner || on == virtualMode)
        return;
    lastSelectedVirtualItem = nullptr;
    // A selection handler may switch the mode: the report it was part of
    // ends here, or the selection would read as empty afterwards.
    inSelectionChange = false;
    reportedSelection = QItemSelection();
    // Only the connections made here: the application and the frame may
    // have their own on the same view.
    for (const QMetaObject::Connection& connection : connections_)
        QObject::disconnect(connection);
    connections_.clear();
    view->reset();
    DropPictures();
    if (on) {
        if (!virtualModel_)
            virtualModel_ = new TreeModel(view);
        if (view->model() != virtualModel_) {
            owner->RemoveAllItems(true);
            if (!view_.Get())
                return;
            SetModelReplacingSelection(view, virtualModel_);
            if (!virtualDelegate_)
                virtualDelegate_ = new VirtualTreeDelegate(view);
            view->setItemDelegate(virtualDelegate_);
            view->setUniformRowHeights(true);
            view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
            view->header()->setStretchLastSection(false);
            virtualMode = true;
            SetConnections();
            delete model_.data();
        }
    } else {
        if (!model_)
            model_ = new QStandardItemModel(view);
        if (view->model() != model_) {
            ClearVirtualItems();
            SetModelReplacingSelection(view, model_);
            if (!delegate_)
                delegate_ = new TreeViewItemDelegate(view, owner);
            view->setItemDelegate(delegate_);
            virtualMode = false;
            SetConnections();
            delete virtualModel_.data();
        }
    }
    virtualMode = on;
}

void TreeView::impl::OnVirtualSelectionChanged(TreeView& owner, const QItemSelection& selected,
                                               const QItemSelection& deselected)
{
    TreeModel* model = virtualModel_.data();
    if (!model)
        return;
    const QList<QPersistentModelIndex> deselectedIndexes = HeldIndexes(deselected);
    const QList<QPersistentModelIndex> selectedIndexes = HeldIndexes(selected);
    inSelectionChange = true;
    for (const QPersistentModelIndex& index : deselectedIndexes) {
        owner.OnVirtualSelectionChanged.Emit(model->ItemFromIndex(index));
        if (!Owner() || !virtualModel_)
            return;
    }
    for (const QPersistentModelIndex& index : selectedIndexes) {
        reportedSelection = selected;
        lastSelectedVirtualItem = model->ItemFromIndex(index);
        currentVirtualItem = lastSelectedVirtualItem;
        owner.OnVirtualSelectionChanged.Emit(lastSelectedVirtualItem);
        if (!Owner() || !virtualModel_)
            return;
        reportedSelection = QItemSelection();
    }
    inSelectionChange = false;
}

// ---- public operations ----

void TreeView::SetVirtualMode(bool on)
{
    const std::shared_ptr<impl> d = impl_;
    d->SetVirtualMode(on);
}

VirtTreeItem* TreeView::AddVirtualTreeItem(const std::wstring& text, VirtTreeItem* parent, any data)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable() || text.empty())
        return nullptr;
    VirtTreeItem* under = parent ? parent : d->VirtualModel()->Root();
    auto* node = new VirtTreeItem(under);
    if (data.has_value())
        node->SetData(std::move(data));
    node->SetText(text);
    under->AppendChild(node);
    return node;
}

std::wstring TreeView::GetItemText(VirtTreeItem* item)
{
    return impl_->VirtualUsable() && item ? item->GetText() : std::wstring();
}

bool TreeView::SetItemText(VirtTreeItem* item, const std::wstring& text)
{
    if (!impl_->VirtualUsable() || !item)
        return false;
    item->SetText(text);
    return true;
}

bool TreeView::SetItemTooltip(VirtTreeItem* item, const std::wstring& text)
{
    if (!impl_->VirtualUsable() || !item)
        return false;
    item->SetTooltip(text);
    return true;
}

any TreeView::GetItemData(VirtTreeItem* item)
{
    return impl_->VirtualUsable() && item ? item->GetData() : any();
}

bool TreeView::SetItemData(VirtTreeItem* item, any data)
{
    if (!impl_->VirtualUsable() || !item || !data.has_value())
        return false;
    item->SetData(std::move(data));
    return true;
}

int TreeView::GetLevel(VirtTreeItem* item)
{
    return impl_->VirtualUsable() && item ? item->Level() : -1;
}

void TreeView::UpdateVirtualView()
{
    if (impl_->VirtualUsable())
        impl_->VirtualModel()->Update();
}

void TreeView::SetCurrentVirtualItem(VirtTreeItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->VirtualUsable())
        return;
    TreeModel* model = d->VirtualModel();
    if (item) {
        const QModelIndex index = model->IndexOf(item);
        if (index.isValid())
            d->GetView()->setCurrentIndex(index);
    } else {
        d->GetView()->clearSelection();
        d->currentVirtualItem = nullptr;
    }
    if (d->VirtualUsable())
        d->VirtualModel()->Update();
}

VirtTreeItem* TreeView::CurrentVirtualItem()
{
    return impl_->VirtualUsable() ? impl_->currentVirtualItem : nullptr;
}

VirtTreeItem* TreeView::RootItem()
{
    return impl_->VirtualUsable() ? impl_->VirtualModel()->Root() : nullptr;
}

VirtTreeItem* TreeView::GetParentItem(VirtTreeItem* item)
{
    return impl_->VirtualUsable() && item ? item->ParentItem() : nullptr;
}

VirtTreeItem* TreeView::GetChildItem(VirtTreeItem* item, int row)
{
    return impl_->VirtualUsable() && item ? item->Child(row) : nullptr;
}

int TreeView::ChildCount(VirtTreeItem* item)
{
    return impl_->VirtualUsable() && item ? item->ChildCount() : 0;
}

void TreeView::EnableVirtualItemCheckboxes(bool on)
{
    if (!impl_->VirtualUsable())
        return;
    impl_->VirtualModel()->SetCheckBoxes(on);
    impl_->VirtualModel()->Update();
}

void TreeView::SetCheck(VirtTreeItem* item, bool check, bool withChildren)
{
    if (!impl_->VirtualUsable() || !item)
        return;
    TreeModel* model = impl_->VirtualModel();
    if (!model->HasCheckBoxes())
        return;
    if (withChildren)
        model->CheckSubItems(item, check ? Qt::Checked : Qt::Unchecked);
    else
        item->SetChecked(check);
    model->Update();
}

bool TreeView::GetCheck(VirtTreeItem* item)
{
    if (!impl_->VirtualUsable() || !item)
        return false;
    return impl_->VirtualModel()->HasCheckBoxes() && item->GetChecked();
}

void TreeView::SetCheckAllVirtualItems(bool check)
{
    if (!impl_->VirtualUsable())
        return;
    if (check)
        impl_->VirtualModel()->CheckAllItem();
    else
        impl_->VirtualModel()->UnCheckAllItem();
}

bool TreeView::IsCheckedAllVirtualItems()
{
    if (!impl_->VirtualUsable())
        return false;
    for (VirtTreeItem* child : impl_->VirtualModel()->Root()->GetChildItems()) {
        if (!child->IsCheckAll())
            return false;
    }
    return true;
}

void TreeView::RemoveAllVirtualItems()
{
    if (impl_->VirtualUsable())
        impl_->ClearVirtualItems();
}

void TreeView::SetExpanded(VirtTreeItem* item, bool expanded)
{
    if (!impl_->VirtualUsable() || !item)
        return;
    const QModelIndex index = impl_->VirtualModel()->IndexOf(item);
    if (index.isValid())
        impl_->GetView()->setExpanded(index, expanded);
}

bool TreeView::IsExpanded(VirtTreeItem* item)
{
    if (!impl_->VirtualUsable() || !item)
        return false;
    const QModelIndex index = impl_->VirtualModel()->IndexOf(item);
    return index.isValid() && impl_->GetView()->isExpanded(index);
}

void TreeView::SetBoldTextPosition(VirtTreeItem* item, int start, int end)
{
    if (impl_->VirtualUsable() && item)
        item->SetBoldTextPosition(start, end);
}

} // namespace AUILib
