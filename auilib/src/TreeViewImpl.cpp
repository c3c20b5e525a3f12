#include "TreeViewImplQt.h"

#include "ChangeFlagGuard.h"
#include "CustomStyle.h"
#include "EmissionHold.h"
#include "TreeViewItemDelegate.h"
#include "TreeWalks.h"
#include "WideQt.h"
#include "WrapTooltipText.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QStyleOptionViewItem>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <unordered_set>

namespace AUILib {

namespace {

// Flags that make a click land on the item itself.
constexpr unsigned kItemHitMask = TreeView::HitIcon | TreeView::HitText | TreeView::HitCheckBox;

template <typename T>
void EraseAll(std::vector<T>& v, const T& value)
{
    v.erase(std::remove(v.begin(), v.end(), value), v.end());
}

} // namespace

TreeView::impl::impl(TreeView& owner) : view_(new TreeViewQt, WidgetOwnership::Made, &owner)
{
    TreeViewQt* view = view_.Get();
    model_ = new QStandardItemModel(view);
    delegate_ = new TreeViewItemDelegate(view, &owner);
    view->setItemDelegate(delegate_);
    view->setModel(model_);
    view->setUniformRowHeights(true);
    SetConnections();
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    initialStyleSheet = view->styleSheet();
    if (!view->isHeaderHidden())
        model_->setHorizontalHeaderLabels({QString()});
    // Parented to the view: a widget may use its style until it goes.
    customStyle_ = new CustomStyle;
    customStyle_->setParent(view);
    customStyle_->SetFlags(CustomStyle::CommonBranchMarks | CustomStyle::InactiveSelectionKept);
    view->setStyle(customStyle_);
}

TreeView::impl::~impl()
{
    for (const QMetaObject::Connection& connection : connections_)
        QObject::disconnect(connection);
    if (delegate_)
        delegate_->SetControl(nullptr);
    // The items stay with the model: their comparison and its values go.
    *sortContext = CustStandardItem::SortContext();
    // The virtual model may outlive this object with the widget.
    DropPictures();
}

QWidget* TreeView::impl::GetWndPtr() { return view_.data(); }

void TreeView::impl::ForgetOwner()
{
    view_.ForgetOwner();
    if (delegate_)
        delegate_->SetControl(nullptr);
}

bool TreeView::impl::IsSpecialHandle(const QStandardItem* item)
{
    return item == TreeItemRoot || item == TreeItemFirst || item == TreeItemLast;
}

QModelIndex TreeView::impl::IndexOf(QStandardItem* item) const
{
    // A foreign item is never dereferenced beyond asking its model, and a
    // removed one never reaches here: the purge forgets every kept pointer.
    if (!item || IsSpecialHandle(item) || !Usable() || item->model() != model_)
        return QModelIndex();
    return item->index();
}

QStandardItem* TreeView::impl::ItemOf(const QModelIndex& index) const
{
    if (!index.isValid() || !model_ || index.model() != model_)
        return nullptr;
    return model_->itemFromIndex(index);
}

CustStandardItem* TreeView::impl::BuildItem(const QString& text) const
{
    auto* item = new CustStandardItem(text);
    item->setData(item->data(Qt::DisplayRole), CustStandardItem::LastTextRole);
    item->setCheckable(checkMode != 0);
    item->SetSortContext(sortContext);
    return item;
}

QStandardItem* TreeView::impl::FinishNewItem(QStandardItem* item, any data)
{
    if (!item->index().isValid())
        return nullptr;
    SetItemData(item, std::move(data));
    if (GetView()->wordWrap())
        UpdateItemSizeHint(item, false);
    return item;
}

void TreeView::impl::SetConnections()
{
    for (const QMetaObject::Connection& connection : connections_)
        QObject::disconnect(connection);
    connections_.clear();
    TreeViewQt* view = view_.Get();
    if (!view)
        return;
    auto keep = [this](QMetaObject::Connection connection) {
        if (connection)
            connections_.push_back(connection);
    };
    keep(view_.Connect(view, &QAbstractItemView::clicked, [this](const QModelIndex& index) { OnClicked(index); }));
    keep(view_.Connect(view, &QAbstractItemView::doubleClicked,
                       [this](const QModelIndex& index) { OnDoubleClicked(index); }));
    if (QItemSelectionModel* selection = view->selectionModel()) {
        keep(view_.Connect(selection, &QItemSelectionModel::selectionChanged,
                           [this](const QItemSelection& selected, const QItemSelection& deselected) {
                               OnSelectionChanged(selected, deselected);
                           }));
    }
    if (!virtualMode) {
        view->setSelectionBehavior(QAbstractItemView::SelectItems);
        view->viewport()->update();
    }
    keep(view_.Connect(view, &QTreeView::expanded,
                       [this](const QModelIndex& index) { OnExpandedOrCollapsed(index, true); }));
    keep(view_.Connect(view, &QTreeView::collapsed,
                       [this](const QModelIndex& index) { OnExpandedOrCollapsed(index, false); }));
    if (QAbstractItemDelegate* delegate = view->itemDelegate())
        keep(view_.Connect(delegate, &QAbstractItemDelegate::closeEditor, [this] { OnCloseEditor(); }));
    if (QAbstractItemModel* model = view->model()) {
        keep(view_.Connect(model, &QAbstractItemModel::rowsInserted, [this] {
            if (!virtualMode)
                RefitColumn();
        }));
        keep(view_.Connect(model, &QAbstractItemModel::rowsRemoved, [this] {
            if (!virtualMode)
                RefitColumn();
        }));
        keep(view_.Connect(model, &QAbstractItemModel::rowsAboutToBeRemoved,
                           [this](const QModelIndex& parent, int first, int last) {
                               OnRowsAboutToBeRemoved(parent, first, last);
                           }));
        keep(view_.Connect(model, &QAbstractItemModel::modelAboutToBeReset, [this] { ForgetAllItems(); }));
    }
}

void TreeView::impl::RefitColumn()
{
    TreeViewQt* view = view_.Get();
    // With the view's updates off (a batch, or the caller's), whoever turns
    // them on again refits once.
    if (!view || view->wordWrap() || !updatesEnabled || !view->updatesEnabled())
        return;
    view->header()->resizeSection(0, 0);
    view->resizeColumnToContents(0);
}

// ---- removal bookkeeping ----

void TreeView::impl::OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    if (!model_)
        return;
    std::list<QStandardItem*> gone;
    QStandardItem* parentItem = parent.isValid() ? model_->itemFromIndex(parent) : model_->invisibleRootItem();
    if (!parentItem)
        return;
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < parentItem->columnCount(); ++column) {
            QStandardItem* item = parentItem->child(row, column);
            if (!item)
                continue;
            gone.push_back(item);
            CollectSubtree(model_, item, gone);
        }
    }
    ForgetItems(gone);
}

void TreeView::impl::ForgetItems(const std::list<QStandardItem*>& items)
{
    const std::unordered_set<QStandardItem*> gone(items.begin(), items.end());
    auto forget = [&gone](QStandardItem*& kept) {
        if (gone.count(kept))
            kept = nullptr;
    };
    forget(anchorItem);
    forget(lastClickedItem);
    forget(editedItem);
    forget(clickItem);
    trackedSelection.erase(std::remove_if(trackedSelection.begin(), trackedSelection.end(),
                                          [&gone](QStandardItem* item) { return gone.count(item) != 0; }),
                           trackedSelection.end());
    for (QStandardItem* item : gone) {
        ForgetItemData(item);
        tooltips.erase(item);
        tooltipSources.erase(item);
        ForgetAppearance(item);
    }
    if (TreeViewQt* view = view_.Get()) {
        if (gone.count(view->PressedItem()))
            view->ForgetPressedItem();
    }
}

void TreeView::impl::ForgetAllItems()
{
    anchorItem = lastClickedItem = editedItem = clickItem = nullptr;
    trackedSelection.clear();
    tooltips.clear();
    tooltipSources.clear();
    ForgetAppearance(nullptr);
    if (TreeViewQt* view = view_.Get())
        view->ForgetPressedItem();
}

// ---- handlers ----

void TreeView::impl::OnDoubleClicked(const QModelIndex& index)
{
    TreeView* owner = Owner();
    if (!owner || virtualMode)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnItemDoubleClicked.Emit(ItemOf(index));
}

void TreeView::impl::OnExpandedOrCollapsed(const QModelIndex& index, bool expanded)
{
    TreeView* owner = Owner();
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    if (virtualMode) {
        TreeModel* model = virtualModel_.data();
        (expanded ? owner->OnVirtualItemExpanded : owner->OnVirtualItemCollapsed)
            .Emit(model ? model->ItemFromIndex(index) : nullptr);
        return;
    }
    (expanded ? owner->OnItemExpanded : owner->OnItemCollapsed).Emit(ItemOf(index));
    if (Owner())
        RefitColumn();
}

void TreeView::impl::OnCloseEditor()
{
    TreeView* owner = Owner();
    if (!owner || virtualMode)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    if (editedItem) {
        owner->OnLabelEditEnd.Emit(editedItem);
        if (!Owner())
            return;
    }
    TreeViewQt* view = view_.Get();
    if (auto* delegate = view ? qobject_cast<TreeViewItemDelegate*>(view->itemDelegate()) : nullptr)
        delegate->DestroyEditor();
}

QList<QPersistentModelIndex> TreeView::impl::HeldIndexes(const QItemSelection& selection)
{
    QList<QPersistentModelIndex> held;
    for (const QModelIndex& index : selection.indexes())
        held.append(index);
    return held;
}

void TreeView::impl::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    TreeView* owner = Owner();
    if (!owner || !selectionNotification)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    if (virtualMode) {
        OnVirtualSelectionChanged(*owner, selected, deselected);
        return;
    }
    inSelectionChange = true;
    reportedSelection = QItemSelection();
    const QList<QPersistentModelIndex> deselectedIndexes = HeldIndexes(deselected);
    const QList<QPersistentModelIndex> selectedIndexes = HeldIndexes(selected);
    for (const QPersistentModelIndex& index : deselectedIndexes) {
        if (QStandardItem* item = ItemOf(index))
            owner->OnItemSelectionChanged.Emit(item);
        if (!Owner())
            return;
    }
    for (const QPersistentModelIndex& index : selectedIndexes) {
        reportedSelection = selected;
        if (QStandardItem* item = ItemOf(index))
            owner->OnItemSelectionChanged.Emit(item);
        if (!Owner())
            return;
        reportedSelection = QItemSelection();
    }
    inSelectionChange = false;
}

void TreeView::impl::OnClicked(const QModelIndex& clicked)
{
    TreeView* owner = Owner();
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    const QPersistentModelIndex index(clicked);
    lastClickedIndex = index;
    if (virtualMode) {
        TreeModel* model = virtualModel_.data();
        owner->OnVirtualItemClicked.Emit(model ? model->ItemFromIndex(index) : nullptr);
        if (multiSelection && Owner())
            owner->OnSelectionEnd.Emit();
        return;
    }
    if (multiSelection) {
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
        if (mods == Qt::ControlModifier && (checkMode == 0 || !view_.Get()))
            return;
        if (view_.Get() && checkMode == 1) {
            CheckClick(index, *owner);
            return;
        }
    }
    owner->OnItemClicked.Emit(ItemOf(index));
    if (multiSelection && Owner())
        owner->OnSelectionEnd.Emit();
}

void TreeView::impl::CheckClick(const QModelIndex& clicked, TreeView& owner)
{
    const QPersistentModelIndex index(clicked);
    TreeViewQt* view = view_.Get();
    unsigned flags = 0;
    QStandardItem* hit = HitTest(view->viewport()->mapFromGlobal(QCursor::pos()), &flags);
    const QPersistentModelIndex hitIndex(IndexOf(hit));
    QStandardItem* prev = nullptr;
    if (hit && (flags & kItemHitMask)) {
        prev = clickItem;
        view->setCurrentIndex(hitIndex);
        if (!Owner())
            return;
        if (flags & HitCheckBox) {
            owner.OnItemCheckClicked.Emit(hit);
            // The handler may have dropped the control or removed the item.
            if (!Owner() || !hitIndex.isValid())
                return;
            const bool state = GetCheck(hit);
            SetCheck(hit, state);
            CheckChildren(hit, state);
            UpdateParentCheck(hit, state);
        }
    }
    hit = ItemOf(hitIndex);
    // prev came from the kept click item, which the purge keeps current.
    if (index.isValid())
        clickItem = ItemOf(index);
    if (QGuiApplication::queryKeyboardModifiers() != Qt::ShiftModifier)
        return;
    if (hit) {
        // The range opens at the item clicked just before the first
        // Shift-click and keeps that anchor until Shift is released;
        // re-anchoring at every Shift-click would make every later click
        // cross the range instead of growing or shrinking it.
        if (prev && !anchorItem)
            anchorItem = prev;
        if (anchorItem && GetCheck(anchorItem) && ParentItem(anchorItem) == ParentItem(hit))
            ShiftRange(hit, (flags & HitCheckBox) != 0);
    }
    if (!Owner())
        return;
    owner.OnItemClicked.Emit(ItemOf(index));
    if (multiSelection && Owner())
        owner.OnSelectionEnd.Emit();
}

// ---- check boxes ----

bool TreeView::impl::GetCheck(QStandardItem* item) const
{
    const QModelIndex index = IndexOf(item);
    return index.isValid() && item->data(Qt::CheckStateRole).toInt() != 0;
}

void TreeView::impl::SetCheck(QStandardItem* item, bool checked)
{
    if (IndexOf(item).isValid())
        item->setData(checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void TreeView::impl::ShiftRange(QStandardItem* hit, bool onBox)
{
    // A click on the box has already toggled it, a click on the text has
    // not: the state the click asks for is the box's state when on the box
    // and the opposite of it when on the text.
    const bool wanted = onBox == GetCheck(hit);
    QStandardItem* a = anchorItem;
    if (trackedSelection.empty() || !lastClickedItem) {
        lastClickedItem = hit;
        CheckSiblingRange(a, hit, TopOf(a) < TopOf(hit), wanted);
        return;
    }
    QStandardItem* e = lastClickedItem;
    const int ya = TopOf(a), ye = TopOf(e), yh = TopOf(hit);
    if ((ya < ye && ye < yh) || (yh < ye && ye < ya)) {
        // Extend: the items past the old end up to the new one join.
        CheckSiblingRange(e, hit, ye < yh, true);
    } else if ((ya <= yh && yh < ye) || (ye < yh && yh < ya)) {
        // Shrink: the items past the new end leave; the new end stays.
        CheckSiblingRange(e, hit, ye < yh, false);
        SetCheck(hit, true);
    } else {
        // Cross: the old range goes, the range from the anchor to the new
        // end comes.
        CheckSiblingRange(a, e, ya < ye, !wanted);
        CheckSiblingRange(a, hit, ya < yh, wanted);
    }
    lastClickedItem = hit;
}

void TreeView::impl::CheckSiblingRange(QStandardItem* from, QStandardItem* to, bool downwards, bool target)
{
    if (!from || !to || from == to || ParentItem(from) != ParentItem(to))
        return;
    for (QStandardItem* item = from; item; item = Sibling(item, downwards ? 1 : -1)) {
        if (GetCheck(item) != target) {
            SetCheck(item, target);
            if (target)
                trackedSelection.push_back(item);
            else if (auto it = std::find(trackedSelection.begin(), trackedSelection.end(), item);
                     it != trackedSelection.end())
                trackedSelection.erase(it);
            CheckChildren(item, target);
            UpdateParentCheck(item, target);
        }
        if (item == to)
            break;
    }
}

void TreeView::impl::CheckChildren(QStandardItem* item, bool state)
{
    for (QStandardItem* child = FirstChild(item); child; child = Sibling(child, 1)) {
        if (GetCheck(child) != state) {
            SetCheck(child, state);
            CheckChildren(child, state);
        }
    }
}

void TreeView::impl::UpdateParentCheck(QStandardItem* item, bool state)
{
    QStandardItem* parent = ParentItem(item);
    if (!parent)
        return;
    if (!state) {
        if (GetCheck(parent))
            parent->setData(Qt::Unchecked, Qt::CheckStateRole);
        return;
    }
    if (GetCheck(parent))
        return;
    for (QStandardItem* child = FirstChild(parent); child; child = Sibling(child, 1)) {
        if (!GetCheck(child))
            return;
    }
    SetCheck(parent, true);
}

void TreeView::impl::SetCheckableRecursive(bool checkable, QStandardItem* start)
{
    WalkFrom(model_, start, [checkable](QStandardItem* item) { item->setCheckable(checkable); });
}

// ---- navigation ----

QStandardItem* TreeView::impl::ParentItem(QStandardItem* item) const
{
    const QModelIndex index = IndexOf(item);
    return index.isValid() ? ItemOf(index.parent()) : nullptr;
}

QStandardItem* TreeView::impl::Sibling(QStandardItem* item, int step) const
{
    const QModelIndex index = IndexOf(item);
    return index.isValid() ? ItemOf(index.sibling(index.row() + step, 0)) : nullptr;
}

QStandardItem* TreeView::impl::FirstChild(QStandardItem* item) const
{
    return IndexOf(item).isValid() ? item->child(0, 0) : nullptr;
}

std::list<QStandardItem*> TreeView::impl::SelectedItems() const
{
    std::list<QStandardItem*> items;
    TreeViewQt* view = view_.Get();
    if (!Usable() || !view->selectionModel())
        return items;
    // While a deselection is being reported, nothing counts as selected
    // yet: the handler sees the state between the two halves.
    if (inSelectionChange && reportedSelection.isEmpty() && trackedSelection.empty())
        return items;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        if (QStandardItem* item = ItemOf(index))
            items.push_back(item);
    }
    return items;
}

// ---- geometry ----

QStandardItem* TreeView::impl::HitTest(const QPoint& point, unsigned* flags) const
{
    TreeViewQt* view = view_.Get();
    if (!Usable())
        return nullptr;
    const QModelIndex index = view->indexAt(point);
    QStandardItem* item = ItemOf(index);
    if (!item) {
        if (flags)
            *flags = HitNowhere;
        return nullptr;
    }
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = qvariant_cast<QFont>(item->data(Qt::FontRole));
    const int alignment = item->data(Qt::TextAlignmentRole).toInt();
    option.displayAlignment = alignment ? Qt::Alignment(alignment) : (Qt::AlignLeft | Qt::AlignVCenter);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = item->text();
    const QRect r = view->visualRect(index);
    option.rect = r;
    const QIcon icon = qvariant_cast<QIcon>(item->data(Qt::DecorationRole));
    if (!icon.isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.icon = icon;
        option.decorationSize = view->iconSize();
    }
    const bool checkable = item->flags() & Qt::ItemIsUserCheckable;
    if (checkable)
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
    QStyle* style = view->style();
    const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, nullptr);
    const int h = r.bottom() - r.top();
    QRect button;
    QRect indent;
    if (hasButtons && item->hasChildren()) {
        button = QRect(QPoint(r.left() - h - 3, r.top()), QPoint(r.left() - 1, r.bottom()));
        indent = QRect(QPoint(0, r.top()), QPoint(r.left() - h - 4, r.bottom()));
    } else {
        indent = QRect(QPoint(0, r.top()), QPoint(r.left() - 1, r.bottom()));
    }
    QRect decoration;
    if (!icon.isNull()) {
        const QRect d = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, view);
        if (!checkable) {
            decoration = QRect(QPoint(d.left() + 6, 2 * d.top() + h - d.bottom()), QPoint(d.right() + 6, d.top() + h));
        } else {
            const int shift = check.left() - indent.right();
            const int left = check.right() + 2 * shift;
            decoration = QRect(QPoint(left, 2 * d.top() + h - d.bottom()), QPoint(left - d.left() + d.right(), d.top() + h));
        }
    }
    unsigned result = 0;
    if (indent.contains(point))
        result |= HitIndent;
    if (button.isValid() && button.contains(point))
        result |= HitButton;
    if (checkable && check.contains(point))
        result |= HitCheckBox;
    if (decoration.isValid() && decoration.contains(point))
        result |= HitIcon;
    if (result == 0 && r.contains(point))
        result = HitText;
    if (flags)
        *flags = result;
    return item;
}

Rect TreeView::impl::GetItemRect(QStandardItem* item, bool contentOnly) const
{
    const QModelIndex index = IndexOf(item);
    if (!index.isValid())
        return Rect{0, 0, -1, -1};
    TreeViewQt* view = view_.Get();
    const QRect r = view->visualRect(index);
    Rect rect{r.left(), r.top(), r.right(), r.bottom()};
    if (contentOnly)
        rect.right = r.left() + view->sizeHintForIndex(index).width() - 1;
    return rect;
}

// ---- text layout and tooltips ----

QRect TreeView::impl::ComputeWordWrapRect(QStandardItem* item) const
{
    TreeViewQt* view = view_.Get();
    if (!item || !Usable())
        return QRect(0, 0, 0, 0).adjusted(0, 0, -1, -1);
    const QModelIndex index = IndexOf(item);
    const QVariant fontValue = item->data(Qt::FontRole);
    const QFont font = fontValue.isValid() ? qvariant_cast<QFont>(fontValue) : view->font();
    int width = view->columnWidth(0) - (index.isValid() ? view->visualRect(index).left() : 0) -
                view->horizontalScrollBar()->value();
    if (!qvariant_cast<QIcon>(item->data(Qt::DecorationRole)).isNull())
        width -= view->iconSize().width() + 4;
    if (checkMode == 1)
        width -= 20;
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPageSize(QSizeF(width, 2147483647.0));
    document.setUseDesignMetrics(true);
    document.setPlainText(item->text());
    const QSizeF size = document.documentLayout()->documentSize();
    return QRect(0, 0, static_cast<int>(size.width()), static_cast<int>(size.height() - 6.0));
}

void TreeView::impl::UpdateItemSizeHint(QStandardItem* item, bool clearHint)
{
    TreeViewQt* view = view_.Get();
    const QModelIndex index = IndexOf(item);
    if (!index.isValid() || !updatesEnabled)
        return;
    if (view->wordWrap()) {
        const QRect r = ComputeWordWrapRect(item);
        view->setTextElideMode(Qt::ElideNone);
        model_->setData(index, QSize(1, r.height()), Qt::SizeHintRole);
    }
    if (clearHint)
        model_->setData(index, QVariant(), Qt::SizeHintRole);
    view->update(view->visualRect(index));
}

void TreeView::impl::UpdateWrappedTextSizeHint(bool clearHint)
{
    if (!Usable())
        return;
    std::function<void(const QModelIndex&)> visit = [&](const QModelIndex& index) {
        if (index.isValid())
            UpdateItemSizeHint(ItemOf(index), clearHint);
        if (!model_->hasChildren(index))
            return;
        for (int row = 0; row < model_->rowCount(index); ++row) {
            for (int column = 0; column < model_->columnCount(index); ++column)
                visit(model_->index(row, column, index));
        }
    };
    visit(view_->rootIndex());
}

bool TreeView::impl::SetItemText(QStandardItem* item, const std::wstring& text)
{
    if (!IndexOf(item).isValid())
        return false;
    const QPersistentModelIndex index(item->index());
    {
        ChangeFlagGuard guard(*this);
        item->setData(ToQString(text), Qt::DisplayRole);
    }
    // The text handlers may have removed the item.
    if (index.isValid() && view_.Get() && view_->wordWrap())
        UpdateItemSizeHint(item, false);
    return true;
}

void TreeView::impl::SetItemTooltip(QStandardItem* item, const std::wstring& text)
{
    if (!IndexOf(item).isValid())
        return;
    tooltips.erase(item);
    tooltipSources.erase(item);
    if (!text.empty()) {
        tooltips[item] = ToWide(WrapTooltipText(text, tooltipWidth));
        tooltipSources[item] = text;
    }
}

bool TreeView::impl::ShowToolTipAt(Point screenPosition)
{
    if (!view_.Get())
        return false;
    if (!tooltips.empty()) {
        const Point local = ScreenToClient(screenPosition);
        unsigned flags = 0;
        // ScreenToClient maps into the widget; items live in its viewport.
        const QPoint inViewport = view_->viewport()->mapFrom(view_.Get(), QPoint(local.x, local.y));
        QStandardItem* item = HitTest(inViewport, &flags);
        auto found = item ? tooltips.find(item) : tooltips.end();
        if (item && (flags & kItemHitMask) && found != tooltips.end()) {
            QToolTip::showText(QPoint(screenPosition.x, screenPosition.y), ToQString(found->second));
            return true;
        }
    }
    return ShowVirtualToolTipAt(screenPosition);
}

// ---- drops ----

void TreeView::impl::SetAcceptDrops(bool accept)
{
    TreeViewQt* view = view_.Get();
    if (!Usable())
        return;
    view->setAcceptDrops(rowsDragAndDrop || accept);
    acceptDrops = accept;
}

bool TreeView::impl::IsAcceptDrops() { return acceptDrops; }

} // namespace AUILib
