#include "TreeViewQt.h"

#include "ContextMenu.h"
#include "EmissionHold.h"
#include "Event.h"
#include "TreeViewImplQt.h"
#include "WideQt.h"

#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace AUILib {

namespace {

constexpr unsigned kPressHitMask = TreeView::HitIcon | TreeView::HitText | TreeView::HitCheckBox;
constexpr unsigned kReleaseHitMask = kPressHitMask | TreeView::HitButton;

bool IsExactly(Qt::KeyboardModifiers modifier)
{
    return QGuiApplication::queryKeyboardModifiers() == modifier;
}

} // namespace

TreeViewQt::TreeViewQt() : QTreeView(nullptr) {}

TreeViewQt::~TreeViewQt() = default;

std::shared_ptr<TreeView::impl> TreeViewQt::Impl() const
{
    TreeView* owner = GetOwner();
    if (!owner)
        return nullptr;
    return std::dynamic_pointer_cast<TreeView::impl>(owner->GetBaseImpl());
}

QModelIndex TreeViewQt::IndexOf(QStandardItem* item) const
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    return d ? d->IndexOf(item) : QModelIndex();
}

// ---- selection operations ----

void TreeViewQt::SelectItem(QStandardItem* item, bool setCurrent)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    const QModelIndex index = IndexOf(item);
    if (!d || !index.isValid() || !selectionModel())
        return;
    if (!d->multiSelection) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        return;
    }
    if (setCurrent)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    selectionModel()->select(index, QItemSelectionModel::Select);
    // The handlers of the selection may have removed the item.
    if (IndexOf(item).isValid() &&
        std::find(d->trackedSelection.begin(), d->trackedSelection.end(), item) == d->trackedSelection.end())
        d->trackedSelection.push_back(item);
}

void TreeViewQt::DeselectItem(QStandardItem* item, bool)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    const QModelIndex index = IndexOf(item);
    if (!d || !index.isValid() || !selectionModel())
        return;
    selectionModel()->select(index, QItemSelectionModel::Deselect);
    if (!d->multiSelection) {
        setCurrentIndex(QModelIndex());
        return;
    }
    auto it = std::find(d->trackedSelection.begin(), d->trackedSelection.end(), item);
    if (it != d->trackedSelection.end())
        d->trackedSelection.erase(it);
}

QStandardItem* TreeViewQt::TopMostItem(const std::vector<QStandardItem*>& items)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    QStandardItem* top = nullptr;
    int topEdge = 0;
    for (QStandardItem* item : items) {
        const int edge = d ? d->GetItemRect(item, true).top : 0;
        if (!top || edge < topEdge) {
            top = item;
            topEdge = edge;
        }
    }
    return top;
}

bool TreeViewQt::SelectItems(QStandardItem* from, QStandardItem* to)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d || !from || (from == to && d->trackedSelection.empty()) || d->ParentItem(from) != d->ParentItem(to))
        return false;
    setUpdatesEnabled(false);
    ClearSelectedItems(nullptr);
    const bool downwards = TopMostItem({from, to}) == from;
    for (QStandardItem* item = from; item; item = d->Sibling(item, downwards ? 1 : -1)) {
        SelectItem(item, true);
        if (item == to || !GetOwner())
            break;
    }
    setUpdatesEnabled(true);
    return true;
}

void TreeViewQt::ClearSelectedItems(QStandardItem* keep)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d || d->trackedSelection.empty() || !selectionModel())
        return;
    setUpdatesEnabled(false);
    // A copy: the deselections report to handlers that may change the list.
    const std::vector<QStandardItem*> tracked = d->trackedSelection;
    bool keptWasTracked = false;
    for (QStandardItem* item : tracked) {
        if (item == keep) {
            keptWasTracked = keptWasTracked || keep;
            continue;
        }
        const QModelIndex index = IndexOf(item);
        if (!item || !index.isValid())
            continue;
        selectionModel()->select(index, QItemSelectionModel::Deselect);
        if (d->multiSelection)
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    d->trackedSelection.clear();
    if (keep && keptWasTracked)
        SelectItem(keep, true);
    setUpdatesEnabled(true);
}

void TreeViewQt::ClearAllChildNodeState(QStandardItem* item)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d || !selectionModel())
        return;
    for (QStandardItem* child = d->FirstChild(item); child; child = d->Sibling(child, 1)) {
        const QModelIndex index = IndexOf(child);
        if (index.isValid() && selectionModel()->isSelected(index)) {
            selectionModel()->select(index, QItemSelectionModel::Deselect);
            auto it = std::find(d->trackedSelection.begin(), d->trackedSelection.end(), child);
            if (it != d->trackedSelection.end())
                d->trackedSelection.erase(it);
        }
        ClearAllChildNodeState(child);
    }
}

bool TreeViewQt::IsAnyParentSelected(QStandardItem* item)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d || !selectionModel())
        return false;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    for (QStandardItem* parent = d->ParentItem(item); parent; parent = d->ParentItem(parent)) {
        for (const QModelIndex& index : selected) {
            if (d->ItemOf(index) == parent)
                return true;
        }
    }
    return false;
}

// ---- keyboard ----

void TreeViewQt::keyPressEvent(QKeyEvent* event)
{
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    const bool shiftArrow = (event->modifiers() & Qt::ShiftModifier) &&
                            (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up);
    if (!d || !owner || !d->multiSelection || d->checkMode != 0 || !shiftArrow) {
        QTreeView::keyPressEvent(event);
        return;
    }
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    owner->OnSelectionBegin.Emit();
    if (!GetOwner())
        return;
    if (!impl->anchorItem)
        impl->anchorItem = impl->ItemOf(currentIndex());
    if (!impl->anchorItem)
        return;
    QStandardItem* current = impl->ItemOf(currentIndex());
    QStandardItem* next = impl->Sibling(current, event->key() == Qt::Key_Up ? -1 : 1);
    if (!next)
        return;
    const QModelIndex nextIndex = IndexOf(next);
    if (selectionModel()->isSelected(nextIndex))
        DeselectItem(current, false);
    if (!GetOwner() || !IndexOf(next).isValid())
        return;
    SelectItem(next, true);
    if (GetOwner())
        ClearAllChildNodeState(next);
}

void TreeViewQt::keyReleaseEvent(QKeyEvent* event)
{
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner) {
        QTreeView::keyReleaseEvent(event);
        return;
    }
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    const QPointer<TreeViewQt> alive(this);
    owner->OnKeyReleased.Emit(SysKeyToAUIKey(event->key()));
    if (!alive)
        return;
    if (GetOwner() && impl->multiSelection && impl->checkMode == 1) {
        if (event->key() == Qt::Key_Shift) {
            impl->anchorItem = nullptr;
            impl->lastClickedItem = nullptr;
            impl->trackedSelection.clear();
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// ---- mouse ----

void TreeViewQt::mousePressEvent(QMouseEvent* event)
{
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner) {
        QTreeView::mousePressEvent(event);
        return;
    }
    if (!d->multiSelection || d->checkMode != 0) {
        // In check mode 1 the tracked items are the open Shift range, which
        // lives until Shift is released; emptied at every press, a range
        // could never grow, shrink or cross.
        if (!d->multiSelection || d->checkMode != 1)
            d->trackedSelection.clear();
        QTreeView::mousePressEvent(event);
        return;
    }
    if (d->rowsDragAndDrop)
        pressTimer_.start();
    if (event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    unsigned flags = 0;
    pressedItem_ = impl->HitTest(viewport()->mapFromGlobal(QCursor::pos()), &flags);
    if (!(flags & kPressHitMask)) {
        if (!IsExactly(Qt::ShiftModifier) && !IsExactly(Qt::ControlModifier))
            QTreeView::mousePressEvent(event);
        return;
    }
    QStandardItem* pressed = pressedItem_;
    impl->lastClickedItem = pressed;
    if (IsExactly(Qt::ShiftModifier)) {
        if (!impl->anchorItem)
            impl->anchorItem = impl->ItemOf(currentIndex());
        if (!impl->anchorItem || impl->ParentItem(pressed) != impl->ParentItem(impl->anchorItem))
            return;
        owner->OnSelectionBegin.Emit();
        if (!GetOwner())
            return;
        SelectItems(impl->anchorItem, pressed);
        if (!GetOwner() || !IndexOf(pressed).isValid())
            return;
        owner->OnItemClicked.Emit(pressed);
        if (GetOwner())
            owner->OnSelectionEnd.Emit();
        return;
    }
    if (IsExactly(Qt::ControlModifier)) {
        owner->OnSelectionBegin.Emit();
        if (!GetOwner() || !IndexOf(pressed).isValid() || IsAnyParentSelected(pressed))
            return;
        const QPersistentModelIndex currentIndexKept(currentIndex());
        QStandardItem* current = impl->ItemOf(currentIndexKept);
        const bool currentSelected = current && selectionModel()->isSelected(currentIndexKept);
        const bool wasSelected = selectionModel()->isSelected(IndexOf(pressed));
        if (wasSelected) {
            impl->selectionNotification = false;
            DeselectItem(pressed, false);
            impl->selectionNotification = true;
            owner->OnItemSelectionChanged.Emit(pressed);
        } else {
            SelectItem(pressed, true);
        }
        if (!GetOwner() || !IndexOf(pressed).isValid())
            return;
        owner->OnItemClicked.Emit(pressed);
        if (!GetOwner() || !IndexOf(pressed).isValid())
            return;
        owner->OnSelectionEnd.Emit();
        if (!GetOwner() || !IndexOf(pressed).isValid())
            return;
        current = impl->ItemOf(currentIndexKept);
        if (current && current != pressed) {
            if (currentSelected)
                SelectItem(current, false);
            else
                DeselectItem(current, false);
        }
        ClearAllChildNodeState(pressed);
        if (wasSelected) {
            auto it = std::find(impl->trackedSelection.begin(), impl->trackedSelection.end(), pressed);
            if (it != impl->trackedSelection.end())
                impl->trackedSelection.erase(it);
        }
        impl->anchorItem = nullptr;
        return;
    }
    impl->anchorItem = nullptr;
    owner->OnSelectionBegin.Emit();
    if (!GetOwner())
        return;
    const bool tracked = std::find(impl->trackedSelection.begin(), impl->trackedSelection.end(), pressedItem_) !=
                         impl->trackedSelection.end();
    if (!impl->rowsDragAndDrop || !tracked)
        ClearSelectedItems(pressedItem_);
    if (GetOwner())
        QTreeView::mousePressEvent(event);
}

void TreeViewQt::mouseMoveEvent(QMouseEvent* event)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    if (d->rowsDragAndDrop) {
        if (!pressTimer_.isValid() || (pressTimer_.elapsed() >= 200 && pressedItem_))
            QTreeView::mouseMoveEvent(event);
        else
            event->ignore();
        return;
    }
    if (event->buttons() & Qt::LeftButton)
        event->ignore();
}

void TreeViewQt::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressTimer_.isValid())
        pressTimer_.invalidate();
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->pos());
        if (!index.isValid())
            return;
        const QPointer<TreeViewQt> alive(this);
        if (TreeModel* model = impl->virtualMode ? impl->VirtualModel() : nullptr)
            owner->OnVirtualItemRightClicked.Emit(model->ItemFromIndex(index));
        else if (!impl->virtualMode)
            owner->OnItemRightClicked.Emit(impl->ItemOf(index));
        if (!alive || !GetOwner())
            return;
        if (const std::shared_ptr<ContextMenu> menu = owner->GetContextMenu())
            menu->Show(true);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    if (owner->IsEnabledEditItems() && !owner->IsDisabledEditLabel(owner->CurrentItem()))
        setEditTriggers(QAbstractItemView::SelectedClicked);
    if (!impl->multiSelection) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    unsigned flags = 0;
    if (impl->HitTest(event->pos(), &flags) && !(flags & kReleaseHitMask))
        return;
    if (!IsExactly(Qt::ShiftModifier) && !IsExactly(Qt::ControlModifier) && impl->rowsDragAndDrop && !dragging_)
        ClearSelectedItems(pressedItem_);
    if (GetOwner())
        QTreeView::mouseReleaseEvent(event);
}

// ---- drag and drop ----

bool TreeViewQt::IsMoveRefused(const std::vector<QStandardItem*>& items, QStandardItem* reference, bool asChild)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d)
        return true;
    QStandardItem* newParent = asChild ? reference : d->ParentItem(reference);
    // Moving an item into itself or its own subtree would copy it without end.
    for (QStandardItem* probe : {reference, newParent}) {
        for (QStandardItem* up = probe; up; up = d->ParentItem(up)) {
            if (std::find(items.begin(), items.end(), up) != items.end())
                return true;
        }
    }
    return false;
}

bool TreeViewQt::IsBesideSingleRoot(const TreeView::impl& d, DropIndicatorPosition position, QStandardItem* target)
{
    return d.singleRoot && (position == AboveItem || position == BelowItem) && !d.ParentItem(target);
}

void TreeViewQt::dragMoveEvent(QDragMoveEvent* event)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d) {
        QTreeView::dragMoveEvent(event);
        return;
    }
    QStandardItem* target = d->HitTest(event->pos(), nullptr);
    if (!target)
        return;
    dragging_ = true;
    // The base places the drop only while the indicator is shown: hidden by
    // an earlier refusal it would report every later place as the viewport,
    // and a drop there would land inside the target instead of beside it.
    setDropIndicatorShown(true);
    QTreeView::dragMoveEvent(event);
    const DropIndicatorPosition position = dropIndicatorPosition();
    if (IsBesideSingleRoot(*d, position, target)) {
        event->setDropAction(Qt::IgnoreAction);
        setDropIndicatorShown(false);
        return;
    }
    std::vector<QStandardItem*> items;
    for (QStandardItem* item : d->SelectedItems())
        items.push_back(item);
    QStandardItem* reference = target;
    bool after = true;
    if (position == OnItem) {
        after = false;
    } else if (position == AboveItem) {
        if (QStandardItem* previous = d->Sibling(target, -1)) {
            reference = previous;
        } else if (QStandardItem* parent = d->ParentItem(target)) {
            reference = parent;
            after = false;
        } else {
            reference = nullptr;
        }
    }
    bool show = !IsMoveRefused(items, reference, !after);
    if (show && canMove_)
        show = canMove_(reference, items, after);
    setDropIndicatorShown(show);
}

void TreeViewQt::dropEvent(QDropEvent* event)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    if (!d || event->source() != this ||
        (event->dropAction() != Qt::MoveAction && dragDropMode() != QAbstractItemView::InternalMove)) {
        QAbstractItemView::dropEvent(event);
        dragging_ = false;
        return;
    }
    QStandardItem* target = d->HitTest(event->pos(), nullptr);
    // A platform may deliver the drop where the last move was refused.
    if (!target || IsBesideSingleRoot(*d, dropIndicatorPosition(), target)) {
        dragging_ = false;
        return;
    }
    std::vector<QStandardItem*> items;
    for (QStandardItem* item : d->SelectedItems())
        items.push_back(item);
    switch (dropIndicatorPosition()) {
    case BelowItem:
        MoveItems(items, target, false);
        break;
    case AboveItem:
        if (QStandardItem* previous = d->Sibling(target, -1))
            MoveItems(items, previous, false);
        else if (QStandardItem* parent = d->ParentItem(target))
            MoveItems(items, parent, true);
        else
            MoveItems(items, nullptr, false);
        break;
    default:
        MoveItems(items, target, true);
        break;
    }
    d->trackedSelection.clear();
    dragging_ = false;
}

bool TreeViewQt::MoveItems(std::vector<QStandardItem*> items, QStandardItem* reference, bool asChild)
{
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner || !d->Model())
        return false;
    // Items inside another moved item go with it; on their own they would
    // be copied twice and their source freed under the first copy.
    std::vector<QStandardItem*> roots;
    for (QStandardItem* item : items) {
        if (!d->IndexOf(item).isValid() || std::find(roots.begin(), roots.end(), item) != roots.end())
            continue;
        bool inside = false;
        for (QStandardItem* up = d->ParentItem(item); up && !inside; up = d->ParentItem(up))
            inside = std::find(items.begin(), items.end(), up) != items.end();
        if (!inside)
            roots.push_back(item);
    }
    if (roots.empty() || (reference && !d->IndexOf(reference).isValid()) || IsMoveRefused(roots, reference, asChild))
        return false;
    if (canMove_ && !canMove_(reference, roots, !asChild))
        return false;
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    if (!GetOwner())
        return false;
    // Held as indexes: the handlers may remove rows.
    const QPersistentModelIndex referenceIndex(impl->IndexOf(reference));
    owner->OnItemsAboutToMove.Emit(reference, roots, !asChild);
    if (!GetOwner() || (reference && !referenceIndex.isValid()))
        return false;
    QStandardItem* newParent = asChild ? reference : impl->ParentItem(reference);
    std::vector<QPersistentModelIndex> sources;
    for (QStandardItem* item : roots)
        sources.emplace_back(impl->IndexOf(item));
    std::vector<QStandardItem*> copies;
    QStandardItem* after = reference;
    for (const QPersistentModelIndex& source : sources) {
        QStandardItem* item = impl->ItemOf(source);
        if (!item)
            continue;
        QStandardItem* copy = CopyItemTree(item, newParent, after);
        if (!copy || !GetOwner())
            break;
        if (copies.empty() && newParent)
            owner->SetExpanded(newParent, true);
        copies.push_back(copy);
        after = copy;
        if (!GetOwner())
            break;
        SelectItem(copy, true);
        if (!GetOwner())
            break;
        if (source.isValid())
            impl->Model()->removeRows(source.row(), 1, source.parent());
    }
    if (!GetOwner())
        return true;
    // The handlers may have removed copies meanwhile.
    copies.erase(std::remove_if(copies.begin(), copies.end(),
                                [impl](QStandardItem* copy) { return !impl->IndexOf(copy).isValid(); }),
                 copies.end());
    owner->OnItemsMoved.Emit(reference, copies, !asChild);
    return true;
}

QStandardItem* TreeViewQt::CopyItemTree(QStandardItem* source, QStandardItem* newParent, QStandardItem* after)
{
    const std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner || !d->IndexOf(source).isValid())
        return nullptr;
    QStandardItem* copy = d->BuildItem(source->text());
    copy->setCheckable(source->flags() & Qt::ItemIsUserCheckable);
    int row = 0;
    if (newParent) {
        if (after && after != newParent && d->ParentItem(after) == newParent)
            row = after->row() + 1;
        newParent->insertRow(row, copy);
    } else {
        if (after && d->IndexOf(after).isValid() && !d->ParentItem(after))
            row = after->row() + 1;
        d->Model()->insertRow(row, copy);
    }
    if (copy->model() != d->Model()) {
        delete copy;
        return nullptr;
    }
    // Data and icon after the insertion: item data is only kept for items
    // of the model.
    d->CopyItemData(source, copy);
    const QVariant decoration = source->data(Qt::DecorationRole);
    if (decoration.isValid())
        copy->setData(QVariant(qvariant_cast<QIcon>(decoration)), Qt::DecorationRole);
    QStandardItem* previous = nullptr;
    for (QStandardItem* child = d->FirstChild(source); child; child = d->Sibling(child, 1)) {
        QStandardItem* childCopy = CopyItemTree(child, copy, previous);
        if (childCopy)
            previous = childCopy;
    }
    return copy;
}

// ---- text changes ----

void TreeViewQt::RefitColumn()
{
    if (wordWrap() || !updatesEnabled())
        return;
    header()->resizeSection(0, 0);
    resizeColumnToContents(0);
}

void TreeViewQt::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles)
{
    std::shared_ptr<TreeView::impl> d = Impl();
    TreeView* owner = GetOwner();
    if (!d || !owner || !topLeft.isValid() || topLeft != bottomRight || !d->Model()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // Kept across the signals: a handler may remove the row.
    const QPersistentModelIndex index(topLeft);
    TreeView::impl* impl = d.get();
    const EmissionHold hold(std::move(d));
    const QPointer<TreeViewQt> alive(this);
    if (roles.contains(Qt::DisplayRole)) {
        QStandardItem* item = impl->ItemOf(index);
        if (item) {
            const QString text = item->data(Qt::DisplayRole).toString();
            const QString previous = item->data(CustStandardItem::LastTextRole).toString();
            // Stored first: a handler that sets the text again then reports
            // against the text it replaces.
            item->setData(item->data(Qt::DisplayRole), CustStandardItem::LastTextRole);
            owner->OnItemTextChanged.Emit(item, ToWide(text));
            if (alive && GetOwner() && index.isValid())
                owner->OnItemTextEdited.Emit(item, ToWide(previous), ToWide(text));
        }
        if (!alive)
            return;
        if (GetOwner())
            RefitColumn();
    } else if (roles.contains(Qt::EditRole) || roles.contains(Qt::DecorationRole)) {
        RefitColumn();
    }
    if (index.isValid())
        QTreeView::dataChanged(index, index, roles);
}

} // namespace AUILib
