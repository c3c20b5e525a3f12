#include "ListBoxImplQt.h"

#include "EmissionHold.h"
#include "PlainRowHeights.h"
#include "WideQt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace AUILib {

ListBoxImpl::ListBoxImpl(ListBox& owner) : table_(new ListBoxQt(&owner), WidgetOwnership::Made, &owner)
{
    itemData = MakeListBoxItemData();
    sortRules = std::make_shared<CustomQTableWidgetItem::SortRules>();
    sortRules->itemData = itemData.get();
    ListBoxQt* table = table_.Get();
    delegate = new ItemDelegate(table, this);
    table->setItemDelegate(delegate);

    table->setShowGrid(false);
    table->setVerticalHeader(new PlainRowHeader(table));
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setVisible(false);
    table->horizontalHeader()->setMinimumSectionSize(10);
    table->verticalHeader()->setMinimumSectionSize(10);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);

    headerLabels << QString();
    columnWidths.clear();
    SetColumnsCount(1);

    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);

    // A click reaches the handlers only on a cell that holds an item.
    const auto emitOnItem = [this](Signal<int> ListBox::*signal) {
        return [this, signal](int row, int column) {
            ListBoxQt* t = table_.Get();
            ListBox* control = Owner();
            if (!t || !control)
                return;
            if (QTableWidgetItem* item = t->item(row, column)) {
                const EmissionHold hold(control->GetBaseImpl());
                (control->*signal).Emit(item->row());
            }
        };
    };
    table_.Connect(table, &QTableWidget::cellClicked, emitOnItem(&ListBox::OnItemClicked));
    table_.Connect(table, &QTableWidget::cellDoubleClicked, emitOnItem(&ListBox::OnItemDoubleClicked));
    table_.Connect(table, &QTableWidget::itemChanged, [this](QTableWidgetItem* item) {
        ListBox* control = Owner();
        if (!control || !item)
            return;
        const EmissionHold hold(control->GetBaseImpl());
        control->OnItemChanged.Emit(item->row());
    });
    table_.Connect(table, &QTableWidget::itemSelectionChanged, [this] { OnSelectionChangedByTable(); });
    // Row numbers move with inserts, deletes and sorts: the last selection is
    // read again so that later changes report the right rows.
    table_.Connect(table->model(), &QAbstractItemModel::rowsInserted, [this] { RefreshLastSelection(); });
    table_.Connect(table->model(), &QAbstractItemModel::rowsRemoved, [this] { RefreshLastSelection(); });
    table_.Connect(table->model(), &QAbstractItemModel::layoutChanged, [this] { RefreshLastSelection(); });
    // A click on the header may sort: the rows added so far take part.
    table_.Connect(table->horizontalHeader(), &QHeaderView::sectionPressed, [this](int) { FlushPending(); });
    table_.Connect(table->horizontalHeader(), &QHeaderView::sectionClicked, [this](int column) {
        ListBox* control = Owner();
        if (!control)
            return;
        const EmissionHold hold(control->GetBaseImpl());
        control->OnHeaderClicked.Emit(column);
    });
    table_.Connect(table->horizontalHeader(), &QHeaderView::sectionResized, [this](int column, int, int newSize) {
        // The widths are rebuilt after the count when the columns change.
        if (column >= 0 && column < columnCount && static_cast<size_t>(column) < columnWidths.size() &&
            (QGuiApplication::mouseButtons() & Qt::LeftButton))
            columnWidths[static_cast<size_t>(column)] = newSize;
    });
    table_.Connect(delegate.data(), &QAbstractItemDelegate::closeEditor, [this] { OnCloseEditor(); });

    headerStyle = std::make_unique<HeaderProxyStyle>();
    table->horizontalHeader()->setStyle(headerStyle.get());

    savedPalette = table->palette();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (delegate) {
        delegate->showSelection = true;
        delegate->CloseEditors();
    }
    table->setPalette(savedPalette);
}

ListBoxImpl::~ListBoxImpl()
{
    table_.DisconnectAll();
    // The cells stay with the table: they order by text from now on.
    sortRules->functions.clear();
    sortRules->itemData = nullptr;
    if (ListBoxQt* table = table_.Get()) {
        table->owner = nullptr;
        // The header keeps drawing after this object is gone: back to the
        // application's style before the proxy goes.
        table->horizontalHeader()->setStyle(nullptr);
    }
    if (delegate)
        delegate->owner = nullptr;
}

void ListBoxImpl::ForgetOwner()
{
    if (ListBoxQt* table = table_.Get())
        table->owner = nullptr;
    table_.ForgetOwner();
}

QWidget* ListBoxImpl::GetWndPtr() { return table_.data(); }

FontData ListBoxImpl::GetFont()
{
    FontData data;
    ListBoxQt* table = table_.Get();
    if (!table)
        return data;
    const QFont font = table->font();
    data.faceName = ToWide(font.family());
    data.pointSize = font.pointSizeF();
    data.bold = font.bold() ? 1 : 0;
    data.italic = font.italic() ? 1 : 0;
    data.underline = font.underline() ? 1 : 0;
    return data;
}

Point ListBoxImpl::ScreenToClient(Point point)
{
    ListBoxQt* table = static_cast<ListBoxQt*>(RequireWidget());
    const QPoint local = table->mapFromGlobal(QPoint(point.x, point.y));
    return Point{local.x() - table->frameWidth(),
                 local.y() - table->horizontalHeader()->height() - GetFrarmeWidth()};
}

Point ListBoxImpl::ClientToScreen(Point point)
{
    ListBoxQt* table = static_cast<ListBoxQt*>(RequireWidget());
    const QPoint global = table->mapToGlobal(QPoint(point.x + table->frameWidth(),
                                                    point.y + table->horizontalHeader()->height() + GetFrarmeWidth()));
    return Point{global.x(), global.y()};
}

void ListBoxImpl::SetAcceptDrops(bool accept)
{
    acceptDrops = accept;
    if (ListBoxQt* table = table_.Get())
        table->setAcceptDrops(rowsDragAndDrop ? true : accept);
}

bool ListBoxImpl::IsAcceptDrops() { return acceptDrops; }

bool ListBoxImpl::ShowToolTipAt(Point screenPosition)
{
    ListBoxQt* table = table_.Get();
    if (!table)
        return false;
    const Point client = ScreenToClient(screenPosition);
    const QPoint at(client.x, client.y);
    const QModelIndex index = table->indexAt(at);
    if (index.isValid()) {
        if (!itemsAutoTooltip)
            return false;
        int column = -1;
        Size needed{0, 0};
        QTableWidgetItem* item = table->HitTest(client, nullptr, &column, &needed);
        if (!item || column < 0 || (column < columnCount && columnWidths[static_cast<size_t>(column)] == -2))
            return false;
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect rect = table->visualRect(index);
        if (needed.width >= rect.width() && !text.isEmpty()) {
            QToolTip::showText(QPoint(screenPosition.x, screenPosition.y), text, table->viewport(), rect);
            return true;
        }
        return false;
    }
    QHeaderView* header = table->horizontalHeader();
    if (header->isHidden())
        return false;
    const int section = header->logicalIndexAt(at.x());
    QTableWidgetItem* headerItem = section >= 0 ? table->horizontalHeaderItem(section) : nullptr;
    QToolTip::showText(QPoint(screenPosition.x, screenPosition.y),
                       headerItem ? headerItem->data(Qt::ToolTipRole).toString() : QString(), header);
    return true;
}

void ListBoxImpl::ClearSelection()
{
    ListBoxQt* table = table_.Get();
    ListBox* control = Owner();
    if (!table)
        return;
    const EmissionHold hold(control ? control->GetBaseImpl() : nullptr);
    const bool multi = !singleSelection;
    if (multi && control)
        control->OnSelectionBegin.Emit();
    if ((table = table_.Get()))
        table->clearSelection();
    if (multi && (control = Owner()))
        control->OnSelectionEnd.Emit();
}

void ListBoxImpl::Clear()
{
    ListBoxQt* table = table_.Get();
    if (!table)
        return;
    ListBox* control = Owner();
    const bool selectionBlocked = control && control->OnSelectionChanged.IsBlocked();
    const bool rowSelectionBlocked = control && control->OnRowSelectionChanged.IsBlocked();
    if (control) {
        control->OnSelectionChanged.SetBlocked(true);
        control->OnRowSelectionChanged.SetBlocked(true);
    }
    table->clearContents();
    table->setRowCount(0);
    pinnedCount = 0;
    RefitAllColumns();
    if (control) {
        control->OnSelectionChanged.SetBlocked(selectionBlocked);
        control->OnRowSelectionChanged.SetBlocked(rowSelectionBlocked);
    }
}

void ListBoxImpl::SetColumnsCount(int count)
{
    ListBoxQt* table = table_.Get();
    if (!table || count < 1 || count == columnCount)
        return;
    Clear();
    headerLabels.clear();
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem* header = table->horizontalHeaderItem(column))
            header->setIcon(QIcon());
    }
    columnCount = count;
    columnWidths.assign(static_cast<size_t>(count), -1);
    table->setColumnCount(count);
    table->horizontalHeader()->setStretchLastSection(false);
    const int width = table->width() - table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2;
    if (!table->horizontalHeader()->isHidden()) {
        table->horizontalHeader()->setDefaultSectionSize(std::max(1, width / count));
    } else if (count > 1) {
        for (int column = 0; column < count; ++column)
            table->setColumnWidth(column, width / count);
    }
    table->horizontalHeader()->setStretchLastSection(true);
    // Sizes set by the program above are no stored widths.
    columnWidths.assign(static_cast<size_t>(count), -1);
    for (int column = 0; column < count; ++column)
        headerLabels << QStringLiteral("Col %1").arg(column);
    if (!rowButtonImage.isNull()) {
        // The button column follows the new last data column.
        const QImage image = rowButtonImage;
        RemoveButtonColumn();
        rowButtonImage = image;
        AddButtonColumn();
    }
    headerSized = true;
    table->viewport()->update();
}

CustomQTableWidgetItem* ListBoxImpl::MakeCell(const QString& text) const
{
    return new CustomQTableWidgetItem(text, sortRules);
}

void ListBoxImpl::RefitColumn(int column)
{
    ListBoxQt* table = table_.Get();
    if (!table || column < 0 || column >= columnCount || columnWidths[static_cast<size_t>(column)] != -2)
        return;
    table->resizeColumnToContents(column);
    wordWrap = false;
    table->setWordWrap(false);
}

void ListBoxImpl::RefitAllColumns()
{
    for (int column = 0; column < columnCount; ++column)
        RefitColumn(column);
}

void ListBoxImpl::ApplyFirstFillHeaderWidth()
{
    ListBoxQt* table = table_.Get();
    if (!table || headerSized || table->rowCount() != 0)
        return;
    table->horizontalHeader()->setDefaultSectionSize(table->width() -
                                                     table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2);
    headerSized = true;
}

std::list<int> ListBoxImpl::SelectedRows() const
{
    std::list<int> rows;
    ListBoxQt* table = table_.Get();
    if (!table || !table->selectionModel())
        return rows;
    const QModelIndexList selected = table->selectionModel()->selectedIndexes();
    std::vector<int> found;
    for (const QModelIndex& index : selected) {
        if (index.column() == 0)
            found.push_back(index.row());
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    rows.assign(found.begin(), found.end());
    return rows;
}

void ListBoxImpl::SetCheck(int row, bool checked, bool repaint)
{
    ListBoxQt* table = table_.Get();
    if (!table || checkMode == ListBox::CheckNone)
        return;
    QTableWidgetItem* cell = table->item(row, 0);
    if (!cell)
        return;
    cell->setData(Qt::CheckStateRole, checked ? Qt::Checked : Qt::Unchecked);
    if (repaint && (table = table_.Get()))
        table->viewport()->update();
}

void ListBoxImpl::ApplySelectionDisplay(bool show)
{
    ListBoxQt* table = table_.Get();
    if (!table)
        return;
    if (show) {
        table->setPalette(savedPalette);
        return;
    }
    QPalette hidden = table->palette();
    hidden.setColor(QPalette::All, QPalette::Highlight, hidden.color(QPalette::Base));
    hidden.setColor(QPalette::All, QPalette::HighlightedText, hidden.color(QPalette::Text));
    table->setPalette(hidden);
}

void ListBoxImpl::AddButtonColumn()
{
    ListBoxQt* table = table_.Get();
    if (!table || rowButtonImage.isNull())
        return;
    table->horizontalHeader()->setStretchLastSection(false);
    table->setColumnCount(columnCount + 1);
    table->setColumnWidth(columnCount, table->rowCount() > 0 ? table->rowHeight(0) : 24);
    for (int column = 0; column < columnCount; ++column) {
        table->horizontalHeader()->setSectionResizeMode(
            column, column == columnCount - 1 ? QHeaderView::Stretch : QHeaderView::Interactive);
    }
    table->horizontalHeader()->setSectionResizeMode(columnCount, QHeaderView::Fixed);
    headerLabels << QString();
    table->setHorizontalHeaderLabels(headerLabels);
}

void ListBoxImpl::RemoveButtonColumn()
{
    ListBoxQt* table = table_.Get();
    if (!table || rowButtonImage.isNull())
        return;
    rowButtonImage = QImage();
    table->setColumnCount(columnCount);
    for (int column = 0; column < columnCount; ++column)
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
    while (headerLabels.size() > columnCount)
        headerLabels.removeLast();
    table->setHorizontalHeaderLabels(headerLabels);
    table->horizontalHeader()->setStretchLastSection(true);
}

namespace {

bool Less(const QTableWidgetItem& a, const QTableWidgetItem& b, int column)
{
    if (const CustomQTableWidgetItem* cell = CustomQTableWidgetItem::Of(a))
        return cell->LessThan(b, column);
    return a < b;
}

} // namespace

int ListBoxImpl::SortedInsertionRow(const CustomQTableWidgetItem& cell, int column, int requested) const
{
    ListBoxQt* table = table_.Get();
    if (!table || !table->isSortingEnabled())
        return requested;
    const int sortColumn = table->horizontalHeader()->sortIndicatorSection();
    if (sortColumn < 0 || sortColumn >= table->columnCount())
        return requested;
    const bool descending = table->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
    const QTableWidgetItem* key = column == sortColumn ? &cell : nullptr;
    // Rows without a cell in the sort column sort to the end.
    int end = table->rowCount();
    while (end > pinnedCount && !table->item(end - 1, sortColumn))
        --end;
    if (!key)
        return std::max(requested, end);
    // "a goes before b" as the sort orders them.
    // Every cell compared is in the sort column, which is passed on.
    auto before = [descending, sortColumn](const QTableWidgetItem& a, const QTableWidgetItem& b) {
        return descending ? Less(b, a, sortColumn) : Less(a, b, sortColumn);
    };
    // The run of rows equal to the new one: a stable resort keeps the new
    // row where it was asked for within that run. Its end first: a row
    // added at the end goes there, without looking for the run's start.
    int low = pinnedCount, high = end;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (!before(*key, *table->item(mid, sortColumn)))
            low = mid + 1;
        else
            high = mid;
    }
    const int last = low;
    if (requested >= last)
        return last;
    low = pinnedCount;
    high = last;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (before(*table->item(mid, sortColumn), *key))
            low = mid + 1;
        else
            high = mid;
    }
    const int first = low;
    return std::max(requested, first);
}

void ListBoxImpl::OnSelectionChangedByTable()
{
    ListBox* control = Owner();
    if (!control || !table_.Get())
        return;
    const EmissionHold hold(control->GetBaseImpl());
    const std::list<int> now = SelectedRows();
    const std::list<int> before = lastSelection;
    std::vector<int> changed;
    for (int row : before) {
        if (std::find(now.begin(), now.end(), row) == now.end())
            changed.push_back(row);
    }
    for (int row : now) {
        if (std::find(before.begin(), before.end(), row) == before.end())
            changed.push_back(row);
    }
    for (int row : changed) {
        if (!(control = Owner()))
            return;
        control->OnRowSelectionChanged.Emit(row);
        if (!(control = Owner()))
            return;
        control->OnSelectionChanged.Emit();
    }
    ListBoxQt* table = table_.Get();
    if (!table)
        return;
    if (checkMode == ListBox::CheckSelection && !singleSelection &&
        (QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier || table->leftButtonMoved)) {
        table->setUpdatesEnabled(false);
        for (int row : before) {
            if (std::find(now.begin(), now.end(), row) == now.end())
                SetCheck(row, false, false);
        }
        for (int row : now)
            SetCheck(row, true, false);
        if ((table = table_.Get()))
            table->setUpdatesEnabled(true);
    }
    lastSelection = now;
}

void ListBoxImpl::OnCloseEditor()
{
    if (editRow < 0)
        return;
    ListBox* control = Owner();
    if (!control)
        return;
    const EmissionHold hold(control->GetBaseImpl());
    const int row = editRow;
    const int column = editColumn;
    if (editItems != ListBox::EditableAllColumns)
        control->OnEditFinished.Emit(row);
    ListBoxQt* table = table_.Get();
    if (!table || !delegate || table->itemDelegate() != delegate.data())
        return;
    QTableWidgetItem* cell = table->item(row, column);
    const std::wstring after = cell ? ToWide(cell->text()) : std::wstring();
    const std::wstring before = delegate->textBeforeEdit;
    if ((control = Owner()))
        control->OnCellEdited.Emit(row, column, before, after);
    if (!delegate || !table_.Get())
        return;
    ApplySelectionDisplay(delegate->showSelection);
    delegate->DeleteEditors();
    delegate->textBeforeEdit.clear();
}

} // namespace AUILib
