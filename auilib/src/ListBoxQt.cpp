#include "ListBoxQt.h"

#include "EmissionHold.h"
#include "ListBox.h"
#include "ListBoxImplQt.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace AUILib {

namespace {

// Keeps the control's implementation alive while a handler of one of its
// signals runs (the handler may drop the control).
std::shared_ptr<BaseImpl> HoldOwner(ListBox* owner) { return owner ? owner->GetBaseImpl() : nullptr; }

bool CheckBoxesShown(ListBox* owner) { return owner && owner->GetCheckMode() != ListBox::CheckNone; }

} // namespace

ListBoxQt::ListBoxQt(ListBox* control) : QTableWidget(nullptr), owner(control)
{
    // Whatever changes a row's cells, or the rows, or which columns count,
    // makes the rows' heights be read again.
    const auto forget = [this] { plainRows_.ForgetRows(); };
    QAbstractItemModel* rows = model();
    connect(rows, &QAbstractItemModel::dataChanged, this, forget);
    connect(rows, &QAbstractItemModel::rowsInserted, this, forget);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(rows, &QAbstractItemModel::rowsMoved, this, forget);
    connect(rows, &QAbstractItemModel::columnsInserted, this, forget);
    connect(rows, &QAbstractItemModel::columnsRemoved, this, forget);
    connect(rows, &QAbstractItemModel::columnsMoved, this, forget);
    connect(rows, &QAbstractItemModel::layoutChanged, this, forget);
    connect(rows, &QAbstractItemModel::modelReset, this, forget);
    QHeaderView* columns = horizontalHeader();
    connect(columns, &QHeaderView::sectionMoved, this, forget);
    connect(columns, &QHeaderView::sectionCountChanged, this, forget);
    connect(columns, &QHeaderView::sectionResized, this, [this](int, int oldSize, int newSize) {
        // Hidden or shown again.
        if (oldSize == 0 || newSize == 0)
            plainRows_.ForgetRows();
    });
}

ListBoxQt::~ListBoxQt()
{
    struct Place {
        QTableWidgetItem* cell;
        int row;
        int column;
    };
    std::vector<Place> places;
    places.reserve(static_cast<size_t>(rowCount()) * static_cast<size_t>(columnCount()));
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (QTableWidgetItem* cell = item(row, column))
                places.push_back({cell, row, column});
        }
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return std::less<QTableWidgetItem*>()(a.cell, b.cell); });
    // Taking a cell out says nothing: the table is going.
    const QSignalBlocker block(model());
    for (const Place& place : places)
        delete takeItem(place.row, place.column);
}

bool ListBoxQt::TextOption(int row, bool checkBox, QStyleOptionViewItem* option) const
{
    QTableWidgetItem* cell = item(row, 0);
    if (!cell)
        return false;
    option->initFrom(this);
    option->font = font();
    option->fontMetrics = fontMetrics();
    const int align = cell->data(Qt::TextAlignmentRole).toInt();
    option->displayAlignment = align ? Qt::Alignment(align) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
    option->features |= QStyleOptionViewItem::HasDisplay;
    option->text = cell->text();
    option->rect = visualRect(indexFromItem(cell));
    const QIcon icon = cell->icon();
    if (!icon.isNull()) {
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = icon;
        option->decorationSize = iconSize();
    }
    if (checkBox)
        option->features |= QStyleOptionViewItem::HasCheckIndicator;
    return true;
}

QRect ListBoxQt::TextRect(int row) const
{
    QStyleOptionViewItem option;
    if (!TextOption(row, CheckBoxesShown(owner), &option))
        return QRect();
    return style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
}

QTableWidgetItem* ListBoxQt::HitTest(Point point, unsigned* hitFlags, int* column, Size* size)
{
    const QPoint at(point.x, point.y);
    QTableWidgetItem* hit = itemAt(at);
    const QModelIndex index = indexAt(at);
    if (!hit) {
        if (column)
            *column = -1;
        if (hitFlags)
            *hitFlags = 1;
        return nullptr;
    }
    int hitColumn = index.column();
    unsigned flags = 0;
    int textExtent = 0;
    const QRect cellRect = visualItemRect(hit);
    ListBoxImpl* impl = owner ? owner->GetImpl() : nullptr;
    if (hitColumn != 0) {
        flags = cellRect.contains(at) ? 4 : 0;
        if (impl && !impl->rowButtonImage.isNull() && hitColumn == impl->columnCount) {
            hitColumn = impl->columnCount - 1;
            flags = 16;
        }
        textExtent = fontMetrics().horizontalAdvance(hit->text());
    } else {
        QStyleOptionViewItem option;
        TextOption(hit->row(), CheckBoxesShown(owner), &option);
        const QRect checkRect = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
        QRect iconRect;
        if (!hit->icon().isNull()) {
            iconRect = style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
            iconRect.translate(CheckBoxesShown(owner) ? checkRect.left() : 6,
                               ((cellRect.bottom() - cellRect.top()) - (iconRect.bottom() - iconRect.top())) / 2 + 3);
        }
        if (checkRect.contains(at))
            flags |= 8;
        if (iconRect.contains(at))
            flags |= 2;
        if (flags == 0)
            flags = cellRect.contains(at) ? 4 : 0;
        const QRect textRect = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
        textExtent = (textRect.right() - textRect.left()) + (iconRect.isNull() ? checkRect.right() : iconRect.right()) + 1;
    }
    if (column)
        *column = hitColumn;
    if (hitFlags)
        *hitFlags = flags;
    if (size)
        *size = Size{textExtent + 11, cellRect.height()};
    return hit;
}

void ListBoxQt::mousePressEvent(QMouseEvent* event)
{
    ListBox* control = owner;
    if (!control) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    const EmissionHold hold(HoldOwner(control));
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    unsigned flags = 0;
    int column = -1;
    QTableWidgetItem* hit = HitTest(Point{at.x(), at.y()}, &flags, &column, nullptr);
    const bool multi = !control->IsSingleSelection();
    if (multi)
        control->OnSelectionBegin.Emit();
    if (!(control = owner)) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    const bool leftButton = QGuiApplication::mouseButtons() & Qt::LeftButton;
    if (!hit) {
        if (hadFocus && multi && leftButton && !control->SelectedItemsIndexes().empty()) {
            setUpdatesEnabled(false);
            clearSelection();
            setUpdatesEnabled(true);
        }
        pressedOnSelection = selectItemOnSetFocus;
        hadFocus = true;
        QTableWidget::mousePressEvent(event);
        return;
    }
    const int row = hit->row();
    if (selectItemOnSetFocus) {
        const std::list<int> selected = control->SelectedItemsIndexes();
        const bool onSelection = std::find(selected.begin(), selected.end(), row) != selected.end();
        pressedOnSelection = hit->isSelected() && selected.size() >= 2;
        if (hadFocus && onSelection) {
            setUpdatesEnabled(false);
            clearSelection();
            setUpdatesEnabled(true);
        }
    }
    switch (control->GetCheckMode()) {
    case ListBox::CheckProgram:
        if (flags & 8)
            control->SetCheck(row, !control->GetCheck(row));
        break;
    case ListBox::CheckSelection:
        if (!multi) {
            control->SetCheck(row, !control->GetCheck(row));
        } else {
            if (flags & 8)
                control->ClearSel();
            if (!(control = owner))
                break;
            if (QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier)
                control->SetCheck(currentRow(), true);
            else
                control->SetCheck(row, !control->GetCheck(row));
        }
        break;
    default:
        break;
    }
    hadFocus = true;
    QTableWidget::mousePressEvent(event);
}

void ListBoxQt::mouseMoveEvent(QMouseEvent* event)
{
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        leftButtonMoved = true;
    // A drag that starts on a multiple selection leaves it as it is.
    if (!pressedOnSelection)
        QTableWidget::mouseMoveEvent(event);
}

void ListBoxQt::mouseReleaseEvent(QMouseEvent* event)
{
    ListBox* control = owner;
    const EmissionHold hold(HoldOwner(control));
    const bool multi = control && !control->IsSingleSelection();
    // A check box's item-change handler may delete this table.
    const QPointer<ListBoxQt> alive(this);
    if (multi && selectItemOnSetFocus) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        QTableWidget::mouseReleaseEvent(event);
        if (!alive)
            return;
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        pressedOnSelection = false;
    } else {
        QTableWidget::mouseReleaseEvent(event);
        if (!alive)
            return;
    }
    if (multi && (control = owner))
        control->OnSelectionEnd.Emit();
    leftButtonMoved = false;
}

void ListBoxQt::wheelEvent(QWheelEvent* event)
{
    if (ListBoxImpl* impl = owner ? owner->GetImpl() : nullptr) {
        if (impl->delegate)
            impl->delegate->CloseEditors();
    }
    QTableWidget::wheelEvent(event);
}

void ListBoxQt::keyPressEvent(QKeyEvent* event)
{
    ListBox* control = owner;
    const EmissionHold hold(HoldOwner(control));
    if (control && !control->IsSingleSelection() && event->key() == Qt::Key_A)
        control->OnSelectionBegin.Emit();
    QTableWidget::keyPressEvent(event);
}

void ListBoxQt::keyReleaseEvent(QKeyEvent* event)
{
    ListBox* control = owner;
    const EmissionHold hold(HoldOwner(control));
    if (control && !control->IsSingleSelection() && event->key() == Qt::Key_A)
        control->OnSelectionEnd.Emit();
    QTableWidget::keyReleaseEvent(event);
}

void ListBoxQt::focusInEvent(QFocusEvent* event)
{
    hadFocus = event->reason() != Qt::MouseFocusReason || !selectItemOnSetFocus;
    ListBox* control = owner;
    const EmissionHold hold(HoldOwner(control));
    ListBoxImpl* impl = control ? control->GetImpl() : nullptr;
    if (impl && impl->delegate)
        impl->ApplySelectionDisplay(impl->delegate->showSelection);
    QTableWidget::focusInEvent(event);
    if (!(control = owner) || !selectItemOnSetFocus || !control->SelectedItemsIndexes().empty())
        return;
    const int row = currentRow();
    if (model()->index(row, 0).isValid()) {
        selectingOnFocus = true;
        control->SetSel(row, true);
        selectingOnFocus = false;
    }
}

void ListBoxQt::focusOutEvent(QFocusEvent* event)
{
    hadFocus = false;
    QTableWidget::focusOutEvent(event);
}

int ListBoxQt::sizeHintForRow(int row) const
{
    return plainRows_.Height(*this, row, state() == EditingState,
                             [this](int measured) { return QTableWidget::sizeHintForRow(measured); });
}

void ListBoxQt::FlushOwnerRows()
{
    if (ListBoxImpl* impl = owner ? owner->GetImpl() : nullptr)
        impl->FlushPending();
}

bool ListBoxQt::event(QEvent* event)
{
    FlushOwnerRows();
    return QTableWidget::event(event);
}

bool ListBoxQt::viewportEvent(QEvent* event)
{
    FlushOwnerRows();
    return QTableWidget::viewportEvent(event);
}

void ListBoxQt::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        plainRows_.Clear();
    QTableWidget::changeEvent(event);
}

void ListBoxQt::keyboardSearch(const QString& search)
{
    if (automaticSearch)
        QTableWidget::keyboardSearch(search);
}

void ListBoxQt::dropEvent(QDropEvent* event)
{
    if (event->source() != this ||
        (event->dropAction() != Qt::MoveAction && dragDropMode() != QAbstractItemView::InternalMove)) {
        event->ignore();
        return;
    }
    if (isSortingEnabled()) {
        setSortingEnabled(false);
        horizontalHeader()->setSortIndicatorShown(true);
    }
    int target = indexAt(event->pos()).row();
    if (target < 0)
        target = rowCount();
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows(0);
    for (const QModelIndex& index : selected)
        rows << index.row();
    MoveRows(rows, target);
    // The rows are moved already: a move action would make the drag's
    // source remove the selected rows a second time.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ListBoxQt::MoveRows(QList<int> rows, int targetRow)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int count = rowCount();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
               rows.end());
    if (rows.isEmpty())
        return;
    targetRow = std::clamp(targetRow, 0, count);
    for (int i = 0; i < rows.size(); ++i)
        insertRow(targetRow);
    const int inserted = rows.size();
    QList<int> sources;
    int destination = targetRow;
    for (int row : rows) {
        const int source = row >= targetRow ? row + inserted : row;
        for (int column = 0; column < columnCount(); ++column) {
            if (QTableWidgetItem* cell = takeItem(source, column))
                setItem(destination, column, cell);
        }
        sources << source;
        ++destination;
    }
    for (int i = sources.size() - 1; i >= 0; --i)
        removeRow(sources[i]);
}

} // namespace AUILib
