#include "TreeView.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "Edit.h"
#include "EmissionHold.h"
#include "TreeViewImplQt.h"
#include "TreeViewItemDelegate.h"
#include "TreeWalks.h"
#include "WideQt.h"
#include "WrapTooltipText.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>

namespace AUILib {

TreeView::TreeView() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeTreeView); }

TreeView::~TreeView()
{
    // The implementation and the widget may outlive the control.
    impl_->ForgetOwner();
}

bool TreeView::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size TreeView::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> TreeView::GetBaseImpl() const { return impl_; }

SkinManager* TreeView::GetSkinManager() { return GetGlobalSkinManager(); }

// ---- header ----

void TreeView::SetHeaderLabel(const std::wstring& text)
{
    if (!impl_->Usable())
        return;
    impl_->Model()->setHorizontalHeaderLabels({ToQString(text)});
    impl_->headerLabelSet = true;
}

void TreeView::SetHeaderVisible(bool visible)
{
    if (!impl_->Usable())
        return;
    if (!impl_->headerLabelSet)
        impl_->Model()->setHorizontalHeaderLabels({QString()});
    impl_->GetView()->setHeaderHidden(!visible);
}

bool TreeView::IsHeaderVisible()
{
    TreeViewQt* view = impl_->GetView();
    return view && !view->isHeaderHidden();
}

// ---- items ----

QStandardItem* TreeView::AddItem(const std::wstring& text, any data)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return nullptr;
    TreeViewQt* view = d->GetView();
    QStandardItemModel* model = d->Model();
    CustStandardItem* item = d->BuildItem(ToQString(text));
    const QModelIndex current = view->currentIndex();
    if (current.isValid() && current.parent().isValid()) {
        QStandardItem* parent = d->ItemOf(current.parent());
        parent->insertRow(parent->rowCount(), item);
    } else if (d->singleRoot && model->rowCount() > 0) {
        delete item;
        return nullptr;
    } else {
        model->appendRow(item);
    }
    return d->FinishNewItem(item, std::move(data));
}

QStandardItem* TreeView::InsertItem(const std::wstring& text, QStandardItem* parent, QStandardItem* after, any data)
{
    const std::shared_ptr<impl> d = impl_;
    if (parent == TreeItemFirst || parent == TreeItemLast || !d->Usable())
        return nullptr;
    QStandardItemModel* model = d->Model();
    const bool topLevel = !parent || parent == TreeItemRoot;
    if (!topLevel && !d->IndexOf(parent).isValid())
        return nullptr;   // a foreign or removed parent
    if (topLevel && d->singleRoot && model->rowCount() > 0)
        return nullptr;
    QStandardItem* container = topLevel ? model->invisibleRootItem() : parent;
    int row = 0;
    if (!after || after == TreeItemFirst)
        row = 0;
    else if (after == TreeItemLast || after == TreeItemRoot)
        row = container->rowCount();
    else if (d->IndexOf(after).isValid() && after->parent() == (topLevel ? nullptr : parent))
        row = after->row() + 1;
    else
        row = container->rowCount();   // after is not a child here: append
    CustStandardItem* item = d->BuildItem(ToQString(text));
    if (topLevel)
        model->insertRow(row, item);
    else
        parent->insertRow(row, item);
    if (item->model() != model) {
        delete item;   // Qt refused the row
        return nullptr;
    }
    return d->FinishNewItem(item, std::move(data));
}

QStandardItem* TreeView::AddSubItem(const std::wstring& text, any data, QStandardItem* parent)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || impl::IsSpecialHandle(parent))
        return nullptr;
    if (parent && !d->IndexOf(parent).isValid())
        return nullptr;
    if (!parent)
        parent = d->ItemOf(d->GetView()->currentIndex());
    if (!parent)
        return nullptr;
    CustStandardItem* item = d->BuildItem(ToQString(text));
    parent->insertRow(parent->rowCount(), item);
    return d->FinishNewItem(item, std::move(data));
}

namespace {

// Runs create for each entry with the view's updates off; the row heights
// of wrapped text are measured once the view draws again.
template <typename Create>
int AddBatch(const std::shared_ptr<TreeView::impl>& d, TreeView::ItemEntries& entries, Create create)
{
    if (entries.empty() || !d->Usable())
        return 0;
    std::vector<QPersistentModelIndex> made;
    d->GetView()->setUpdatesEnabled(false);
    for (auto& entry : entries) {
        QStandardItem* item = create(std::get<0>(entry), std::get<1>(entry));
        if (item)
            made.emplace_back(item->index());
        if (!d->GetView())
            return static_cast<int>(made.size());
    }
    d->GetView()->setUpdatesEnabled(d->updatesEnabled);
    if (d->GetView()->wordWrap()) {
        for (const QPersistentModelIndex& index : made)
            d->UpdateItemSizeHint(d->ItemOf(index), false);
    }
    // The inserts did not refit with the view's updates off.
    d->RefitColumn();
    return static_cast<int>(made.size());
}

} // namespace

int TreeView::AddItems(ItemEntries& entries)
{
    return AddBatch(impl_, entries, [this](const std::wstring& text, const any& data) { return AddItem(text, data); });
}

int TreeView::InsertItems(ItemEntries& entries, QStandardItem* parent, QStandardItem* after)
{
    return AddBatch(impl_, entries, [this, parent, &after](const std::wstring& text, const any& data) {
        QStandardItem* item = InsertItem(text, parent, after, data);
        if (item)
            after = item;   // the entries keep their order
        return item;
    });
}

int TreeView::AddSubItems(ItemEntries& entries, QStandardItem* parent)
{
    const std::shared_ptr<impl> d = impl_;
    if (entries.empty() || !d->Usable() || impl::IsSpecialHandle(parent))
        return 0;
    if (parent && !d->IndexOf(parent).isValid())
        return 0;
    if (!parent)
        parent = d->ItemOf(d->GetView()->currentIndex());
    if (!parent)
        return 0;
    // One model change for the whole batch: the view lays out and the column
    // is refitted once, not per row.
    QList<QStandardItem*> items;
    items.reserve(static_cast<int>(entries.size()));
    for (const auto& entry : entries)
        items.append(d->BuildItem(ToQString(std::get<0>(entry))));
    d->GetView()->setUpdatesEnabled(false);
    parent->appendRows(items);
    int made = 0;
    auto entry = entries.begin();
    for (QStandardItem* item : items) {
        if (!d->GetView())
            return made;
        if (item->index().isValid()) {
            d->SetItemData(item, std::get<1>(*entry));
            ++made;
        }
        ++entry;
    }
    if (!d->GetView())
        return made;
    d->GetView()->setUpdatesEnabled(d->updatesEnabled);
    if (d->GetView()->wordWrap()) {
        for (QStandardItem* item : items)
            d->UpdateItemSizeHint(item, false);
    }
    d->RefitColumn();
    return made;
}

QStandardItem* TreeView::CurrentItem()
{
    if (!impl_->Usable())
        return nullptr;
    return impl_->ItemOf(impl_->GetView()->currentIndex());
}

int TreeView::Count()
{
    if (!impl_->Usable())
        return 0;
    return CountRows(impl_->Model(), QModelIndex(), true);
}

int TreeView::ChildCount(QStandardItem* item, bool recursive)
{
    if (!impl_->Usable() || impl::IsSpecialHandle(item))
        return 0;
    if (!item)
        return CountRows(impl_->Model(), impl_->GetView()->rootIndex(), recursive);
    const QModelIndex index = impl_->IndexOf(item);
    return index.isValid() ? CountRows(impl_->Model(), index, recursive) : 0;
}

void TreeView::SetCurrentItem(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || impl::IsSpecialHandle(item))
        return;
    if (!item) {
        d->GetView()->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = d->IndexOf(item);
    if (index.isValid())
        d->GetView()->setCurrentIndex(index);
}

void TreeView::SelectItem(QStandardItem* item, bool select)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->IndexOf(item).isValid())
        return;
    TreeViewQt* view = d->GetView();
    if (!select) {
        view->DeselectItem(item, true);
        return;
    }
    if (d->multiSelection) {
        if (view->IsAnyParentSelected(item))
            return;
        view->ClearAllChildNodeState(item);
    }
    if (d->IndexOf(item).isValid())
        view->SelectItem(item, true);
}

bool TreeView::IsSelectedItem(QStandardItem* item)
{
    const QModelIndex index = impl_->IndexOf(item);
    if (!index.isValid() || !impl_->GetView()->selectionModel())
        return false;
    for (const QModelIndex& selected : impl_->GetView()->selectionModel()->selectedIndexes()) {
        if (impl_->ItemOf(selected) == item)
            return true;
    }
    return false;
}

std::wstring TreeView::GetItemText(QStandardItem* item)
{
    return impl_->IndexOf(item).isValid() ? ToWide(item->data(Qt::DisplayRole).toString()) : std::wstring();
}

bool TreeView::SetItemText(QStandardItem* item, const std::wstring& text)
{
    // Held: the text-change handlers may drop the control.
    const std::shared_ptr<impl> d = impl_;
    return d->SetItemText(item, text);
}

any TreeView::GetItemData(QStandardItem* item) { return impl_->GetItemData(item); }

bool TreeView::SetItemData(QStandardItem* item, any data) { return impl_->SetItemData(item, std::move(data)); }

bool TreeView::RemoveItemData(QStandardItem* item) { return impl_->RemoveItemData(item); }

bool TreeView::RemoveItem(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->IndexOf(item).isValid())
        return false;
    const QPersistentModelIndex index(item->index());
    if (d->lastClickedIndex == index)
        d->lastClickedIndex = QPersistentModelIndex();
    {
        const EmissionHold hold(d);
        OnItemRemoving.Emit(item);
    }
    // The handler may have dropped the control or removed the item itself.
    if (!d->Owner() || !index.isValid())
        return false;
    std::list<QStandardItem*> subtree;
    CollectSubtree(d->Model(), item, subtree);
    subtree.push_back(item);
    for (QStandardItem* gone : subtree)
        d->RemoveItemData(gone);
    // The tooltips, the selection bookkeeping and the kept items are
    // dropped by the purge the removal runs.
    return d->Model()->removeRows(index.row(), 1, index.parent());
}

bool TreeView::RemoveAllItems(bool alsoPictures)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return false;
    d->ForgetAllItems();
    d->lastClickedIndex = QPersistentModelIndex();
    {
        const EmissionHold hold(d);
        OnAllItemsRemoved.Emit();
    }
    if (!d->Owner() || !d->Usable())
        return false;
    d->ClearItemData();
    d->Model()->clear();
    if (alsoPictures && d->PicturesIfAny())
        d->PicturesIfAny()->Clear();
    return true;
}

void TreeView::SetExpanded(QStandardItem* item, bool expanded)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (index.isValid())
        d->GetView()->setExpanded(index, expanded);
}

bool TreeView::IsExpanded(QStandardItem* item)
{
    const QModelIndex index = impl_->IndexOf(item);
    return index.isValid() && impl_->GetView()->isExpanded(index);
}

bool TreeView::ItemHasChildren(QStandardItem* item)
{
    return impl_->IndexOf(item).isValid() && item->child(0, 0) != nullptr;
}

// ---- navigation ----

QStandardItem* TreeView::GetParentItem(QStandardItem* item) { return impl_->ParentItem(item); }

QStandardItem* TreeView::GetFirstChild(QStandardItem* item) { return impl_->FirstChild(item); }

QStandardItem* TreeView::NextSibling(QStandardItem* item) { return impl_->Sibling(item, 1); }

QStandardItem* TreeView::PrevSibling(QStandardItem* item) { return impl_->Sibling(item, -1); }

QStandardItem* TreeView::GetTopLevelItem(QStandardItem* item)
{
    if (!impl_->IndexOf(item).isValid())
        return nullptr;
    while (QStandardItem* parent = impl_->ParentItem(item))
        item = parent;
    return item;
}

QStandardItem* TreeView::GetRootItem() { return impl_->Usable() ? impl_->Model()->item(0, 0) : nullptr; }

QStandardItem* TreeView::VisibleTopLevelItem(QStandardItem* item)
{
    QStandardItem* top = GetTopLevelItem(item);
    if (!top)
        return nullptr;
    const QRect r = impl_->GetView()->visualRect(top->index());
    return r.isValid() && r.top() >= 0 ? top : nullptr;
}

// ---- check boxes ----

std::list<QStandardItem*> TreeView::CheckedItems()
{
    std::list<QStandardItem*> items;
    if (!impl_->Usable())
        return items;
    WalkFrom(impl_->Model(), nullptr, [this, &items](QStandardItem* item) {
        if (impl_->GetCheck(item))
            items.push_back(item);
    });
    return items;
}

std::list<QStandardItem*> TreeView::SelectedItems() { return impl_->SelectedItems(); }

void TreeView::SetCheckMode(CheckMode mode)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    if (mode != 0) {
        d->SetCheckableRecursive(true, nullptr);
        d->multiSelection = true;
        d->GetView()->setSelectionMode(QAbstractItemView::ExtendedSelection);
        EnableRowsDragAndDrop(false);
    } else {
        d->SetCheckableRecursive(false, nullptr);
    }
    d->checkMode = mode;
}

TreeView::CheckMode TreeView::GetCheckMode() { return impl_->Usable() ? impl_->checkMode : 0; }

void TreeView::SetCheck(QStandardItem* item, bool checked) { impl_->SetCheck(item, checked); }

bool TreeView::GetCheck(QStandardItem* item) { return impl_->GetCheck(item); }

// ---- selection ----

void TreeView::SetMultiSelection(bool on)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    d->multiSelection = on;
    TreeViewQt* view = d->GetView();
    if (!on && view->selectionModel()) {
        view->selectionModel()->clearSelection();
        if (d->lastClickedIndex.isValid() && d->GetView())
            view->selectionModel()->select(d->lastClickedIndex, QItemSelectionModel::Select);
    }
    if (d->GetView())
        view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TreeView::IsSetMultiSelection() { return impl_->multiSelection; }

// ---- geometry ----

QStandardItem* TreeView::HitTest(Point point, unsigned int* flags)
{
    return impl_->HitTest(QPoint(point.x, point.y), flags);
}

Rect TreeView::GetItemRect(QStandardItem* item, bool contentOnly) { return impl_->GetItemRect(item, contentOnly); }

// ---- editing ----

void TreeView::EnableEditItems(bool enable)
{
    if (impl_->Usable())
        impl_->GetView()->setEditTriggers(enable ? QAbstractItemView::DoubleClicked : QAbstractItemView::NoEditTriggers);
}

bool TreeView::IsEnabledEditItems() { return impl_->Usable() && impl_->GetView()->editTriggers() != 0; }

void TreeView::DisableEditLabel(QStandardItem* item, bool disable)
{
    if (impl_->IndexOf(item).isValid())
        item->setEditable(!disable);
}

bool TreeView::IsDisabledEditLabel(QStandardItem* item)
{
    return impl_->IndexOf(item).isValid() && !(item->flags() & Qt::ItemIsEditable);
}

// ---- drag and drop ----

bool TreeView::EnableRowsDragAndDrop(bool on)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return false;
    if (d->checkMode != 0) {
        d->rowsDragAndDrop = false;
        return false;
    }
    TreeViewQt* view = d->GetView();
    if (on) {
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->setDropIndicatorShown(true);
        view->setDragDropMode(QAbstractItemView::InternalMove);
        view->setDragDropOverwriteMode(false);
        view->setDefaultDropAction(Qt::MoveAction);
    } else {
        view->setDragEnabled(false);
        view->setDropIndicatorShown(false);
        view->setAcceptDrops(false);
    }
    d->rowsDragAndDrop = on;
    view->setAcceptDrops(d->acceptDrops || on);
    return true;
}

bool TreeView::IsEnableRowsDragAndDrop() { return impl_->rowsDragAndDrop; }

void TreeView::SetDragAndDropCanMove(const CanMoveCallback& canMove)
{
    if (TreeViewQt* view = impl_->GetView())
        view->SetDragAndDropCanMove(canMove);
}

void TreeView::SetSingleRoot(bool singleRoot) { impl_->singleRoot = singleRoot; }

bool TreeView::IsSingleRoot() { return impl_->singleRoot; }

// ---- view ----

void TreeView::SetUpdatesEnabled(bool enabled)
{
    impl_->updatesEnabled = enabled;
    if (TreeViewQt* view = impl_->GetView())
        view->setUpdatesEnabled(enabled);
}

bool TreeView::IsVirtualModeEnabled() { return impl_->virtualMode && impl_->GetView(); }

// ---- tooltips and word wrap ----

void TreeView::SetItemTooltip(QStandardItem* item, const std::wstring& text) { impl_->SetItemTooltip(item, text); }

std::wstring TreeView::GetItemToolTip(QStandardItem* item)
{
    if (!impl_->IndexOf(item).isValid())
        return std::wstring();
    auto found = impl_->tooltips.find(item);
    return found != impl_->tooltips.end() ? found->second : std::wstring();
}

void TreeView::SetItemToolTipMaxWidth(int width)
{
    const std::shared_ptr<impl> d = impl_;
    if (width < 51 || width > 32766 || !d->Usable())
        return;
    d->tooltipWidth = width;
    // Every stored item is still in the model: the purge drops removed ones.
    for (auto& [item, text] : d->tooltips) {
        auto source = d->tooltipSources.find(item);
        if (d->IndexOf(item).isValid() && source != d->tooltipSources.end())
            text = ToWide(WrapTooltipText(source->second, width));
    }
}

void TreeView::EnableWordWrapText(bool on)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    TreeViewQt* view = d->GetView();
    view->setWordWrap(on);
    // Uniform rows take every row's height from the first row, so wrapped
    // items would show their first line only.
    view->setUniformRowHeights(!on);
    if (on) {
        view->setColumnWidth(0, view->width() - 2);
        d->UpdateWrappedTextSizeHint(false);
        view->header()->resizeSection(0, 0);
        view->resizeColumnToContents(0);
    } else {
        d->UpdateWrappedTextSizeHint(true);
        d->RefitColumn();
    }
}

bool TreeView::IsEnabledWordWrapText()
{
    TreeViewQt* view = impl_->GetView();
    return view && view->wordWrap();
}

void TreeView::DisableAutomaticTooltips(bool) {}

// ---- label editing ----

Edit* TreeView::EditLabel(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid() || !(item->flags() & Qt::ItemIsEditable))
        return nullptr;
    TreeViewQt* view = d->GetView();
    const QPointer<TreeViewItemDelegate> delegate = qobject_cast<TreeViewItemDelegate*>(view->itemDelegate());
    if (!delegate)
        return nullptr;
    d->editedItem = item;
    view->edit(index);
    // The editor's handlers may have dropped the control or deleted the view.
    if (!d->Owner() || !delegate)
        return nullptr;
    Edit* editor = delegate->GetEditor();
    if (editor)
        editor->SetSelectAll();
    return editor;
}

void TreeView::EndEditLabel(bool save)
{
    const std::shared_ptr<impl> d = impl_;
    TreeViewQt* view = d->GetView();
    QPointer<TreeViewItemDelegate> delegate = view ? qobject_cast<TreeViewItemDelegate*>(view->itemDelegate()) : nullptr;
    if (d->editedItem && delegate && delegate->GetEditor()) {
        if (save)
            d->SetItemText(d->editedItem, delegate->GetEditor()->GetText());
        // The text handlers may have dropped the control, removed the item
        // (which closes its editor) or closed the editor themselves.
        Edit* editor = d->Owner() && delegate ? delegate->GetEditor() : nullptr;
        QWidget* widget = editor ? editor->GetBaseImpl()->GetWndPtr() : nullptr;
        if (widget)
            emit delegate->closeEditor(widget, QAbstractItemDelegate::NoHint);
    }
    d->editedItem = nullptr;
}

} // namespace AUILib
