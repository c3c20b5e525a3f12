// Rows added at the end of the list box: placed among the waiting rows as
// they come, put into the table together (see PendingRows).
#include "ListBoxImplQt.h"

#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "SortPause.h"

#include <QHeaderView>
#include <QMetaObject>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace AUILib {

namespace {

// Below this many sorted rows (or a 256th of the table) inserting each at
// its place costs less than one sort of the whole table.
constexpr int kFewRows = 16;

} // namespace

int ListBoxImpl::RowCount() const
{
    ListBoxQt* table = table_.Get();
    return table ? table->rowCount() + pending_.Count() : -1;
}

int ListBoxImpl::PlaceAppended(CustomQTableWidgetItem* const* cells, int count, bool allColumns)
{
    ListBoxQt* table = table_.Get();
    int sortColumn = -1;
    bool descending = false;
    if (table->isSortingEnabled()) {
        const QHeaderView* header = table->horizontalHeader();
        sortColumn = header->sortIndicatorSection();
        descending = header->sortIndicatorOrder() == Qt::DescendingOrder;
        if (sortColumn >= table->columnCount())
            sortColumn = -1;
    }
    // A row without a cell in the sort column goes last, as the sort
    // leaves such rows.
    const CustomQTableWidgetItem* key =
        sortColumn >= 0 && sortColumn < count ? cells[sortColumn] : nullptr;
    if (key && pending_.SortedCount() > 0 &&
        (pending_.SortColumn() != sortColumn || pending_.Descending() != descending))
        FlushPending();
    if (pending_.Empty() && !flushPosted_) {
        // Nothing may find the rows waiting for long: the event loop puts
        // them in as soon as it runs.
        flushPosted_ = true;
        QMetaObject::invokeMethod(
            table,
            [table] {
                if (ListBoxImpl* impl = table->owner ? table->owner->GetImpl() : nullptr) {
                    impl->flushPosted_ = false;
                    impl->FlushPending();
                }
            },
            Qt::QueuedConnection);
    }
    int row;
    if (!key) {
        row = table->rowCount() + pending_.Count();
        pending_.AddLast(cells, count);
    } else {
        // Where SortedInsertionRow puts a row asked for at the end: after
        // every table row that sorts equal to it.
        const int tableRows = SortedInsertionRow(*key, sortColumn, std::numeric_limits<int>::max());
        PendingRows::Order order;
        order.before = [descending, sortColumn](const QTableWidgetItem& a, const QTableWidgetItem& b) {
            // Every waiting key is a cell of this list box.
            return descending ? static_cast<const CustomQTableWidgetItem&>(b).LessThan(a, sortColumn)
                              : static_cast<const CustomQTableWidgetItem&>(a).LessThan(b, sortColumn);
        };
        // Texts compare unit by unit unless a sort function or the case
        // rule decides.
        order.byText = sortRules->caseSensitive && sortRules->functions.find(sortColumn) == sortRules->functions.end();
        order.descending = descending;
        row = tableRows + pending_.AddSorted(cells, count, *key, key->SortText(), tableRows, sortColumn, order);
    }
    ++rowChanges_;
    (allColumns ? refitAll_ : refitFirst_) = true;
    return row;
}

int ListBoxImpl::ReportAppended(CustomQTableWidgetItem* const* cells, int count, int row)
{
    const unsigned placed = rowChanges_;
    // A handler may have changed the rows: the row is then looked up.
    const auto rowOf = [&](int column) {
        if (rowChanges_ == placed)
            return row;
        FlushPending();
        return FindCell(cells[column], column);
    };
    for (int column = 0; column < count; ++column) {
        ListBox* control = Owner();
        ListBoxQt* table = table_.Get();
        if (!control || !table || table->signalsBlocked() || table->model()->signalsBlocked() ||
            control->OnItemChanged.Count() == 0)
            break;
        const int at = rowOf(column);
        if (at < 0 || !(control = Owner()))
            break;
        const EmissionHold hold(control->GetBaseImpl());
        control->OnItemChanged.Emit(at);
    }
    return rowOf(0);
}

int ListBoxImpl::FindCell(const QTableWidgetItem* cell, int column) const
{
    ListBoxQt* table = table_.Get();
    if (!table)
        return -1;
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        if (table->item(row, column) == cell)
            return row;
    }
    return -1;
}

void ListBoxImpl::SetCells(const PendingRows& rows, const PendingRows::Row& row, int tableRow)
{
    ListBoxQt* table = table_.Get();
    for (int column = 0; column < row.cellCount; ++column)
        table->setItem(tableRow, column, rows.Cell(row, column));
}

void ListBoxImpl::FlushRows()
{
    if (flushing_)
        return;
    PendingRows rows = std::move(pending_);
    ++rowChanges_;
    const bool refitAll = refitAll_;
    const bool refitFirst = refitFirst_;
    refitAll_ = refitFirst_ = false;
    ListBoxQt* table = table_.Get();
    if (!table)
        return;  // the cells go with the rows
    flushing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{flushing_};
    const ChangeFlagGuard guard(*this);
    {
        const SortPause pause(table);
        const int sortColumn = rows.SortedCount() > 0 ? rows.SortColumn() : -1;
        if (sortColumn >= 0 && table->rowCount() == 0) {
            // Nothing to merge with: every row goes straight to its place,
            // in the order the rows came (the order their cells lie in
            // memory, which the table's order is not).
            std::vector<int> places(rows.Rows().size());
            int at = 0;
            for (int index : rows.SortedOrder())
                places[static_cast<size_t>(index)] = at++;
            for (size_t index = 0; index < places.size(); ++index) {
                if (rows.Rows()[index].tableRows < 0)
                    places[index] = at++;
            }
            table->setRowCount(rows.Count());
            const QSignalBlocker block(table->model());
            for (size_t index = 0; index < places.size(); ++index)
                SetCells(rows, rows.Rows()[index], places[index]);
        } else if (sortColumn < 0 || !MergeSortedRows(rows, sortColumn)) {
            if (sortColumn >= 0)
                InsertSortedRows(rows);
            // The rows that go last, in the order they came, with one
            // change of the row count. Their cells were reported as they
            // were added: the model says nothing more of them.
            const int base = table->rowCount();
            int count = 0;
            for (const PendingRows::Row& row : rows.Rows())
                count += row.tableRows < 0 || sortColumn < 0 ? 1 : 0;
            if (count > 0) {
                table->setRowCount(base + count);
                const QSignalBlocker block(table->model());
                int at = base;
                for (const PendingRows::Row& row : rows.Rows()) {
                    if (row.tableRows < 0 || sortColumn < 0)
                        SetCells(rows, row, at++);
                }
            }
        }
    }
    rows.ReleaseCells();
    // The cells went in with the model's signals held.
    if ((table = table_.Get()))
        table->ForgetRowHeights();
    if (refitAll)
        RefitAllColumns();
    else if (refitFirst)
        RefitColumn(0);
    if ((table = table_.Get()))
        table->viewport()->update();
}

void ListBoxImpl::InsertSortedRows(const PendingRows& rows)
{
    ListBoxQt* table = table_.Get();
    const int tableRows = table->rowCount();
    const std::vector<int> order = rows.SortedOrder();
    int after = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const PendingRows::Row& row = rows.Rows()[static_cast<size_t>(order[i])];
        // Each goes in before the table row it was placed before; the
        // sorted rows before it are in already.
        after = std::clamp(row.tableRows, after, tableRows);
        const int at = after + static_cast<int>(i);
        table->insertRow(at);
        const QSignalBlocker block(table->model());
        SetCells(rows, row, at);
    }
}

bool ListBoxImpl::MergeSortedRows(const PendingRows& rows, int sortColumn)
{
    ListBoxQt* table = table_.Get();
    const int tableRows = table->rowCount();
    if (rows.SortedCount() <= std::max(kFewRows, tableRows / 256))
        return false;
    // The rows the sort ranks: every one up to the trailing rows without a
    // cell in the sort column, each with a cell of this list box there.
    int end = tableRows;
    while (end > pinnedCount && !table->item(end - 1, sortColumn))
        --end;
    std::vector<CustomQTableWidgetItem*> keys(static_cast<size_t>(end));
    for (int row = 0; row < end; ++row) {
        QTableWidgetItem* cell = table->item(row, sortColumn);
        if (!cell || !CustomQTableWidgetItem::Of(*cell))
            return false;
        keys[static_cast<size_t>(row)] = static_cast<CustomQTableWidgetItem*>(cell);
    }
    // Ranks: a waiting row goes in before the table row it was placed
    // before, after the waiting rows placed before it.
    const std::vector<int> order = rows.SortedOrder();
    int rank = 0;
    size_t next = 0;
    const auto rankWaiting = [&](int upTo) {
        while (next < order.size()) {
            const PendingRows::Row& row = rows.Rows()[static_cast<size_t>(order[next])];
            if (row.tableRows > upTo)
                break;
            rows.Cell(row, sortColumn)->SetRank(rank++);
            ++next;
        }
    };
    for (int row = 0; row < end; ++row) {
        rankWaiting(row);
        keys[static_cast<size_t>(row)]->SetRank(rank++);
    }
    rankWaiting(std::numeric_limits<int>::max());

    // Every waiting row at the end, in the order they came; the sort keeps
    // the rows without a cell in the sort column last, in that order.
    table->setRowCount(tableRows + rows.Count());
    {
        const QSignalBlocker block(table->model());
        int at = tableRows;
        for (const PendingRows::Row& row : rows.Rows())
            SetCells(rows, row, at++);
    }
    sortRules->byRank = true;
    table->model()->sort(sortColumn, Qt::AscendingOrder);
    sortRules->byRank = false;
    return true;
}

} // namespace AUILib
