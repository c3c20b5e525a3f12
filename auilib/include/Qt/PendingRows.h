// Rows added at the end of a list box that are not in its table yet.
//
// Putting each added row into the table at once cost Qt a middle insert per
// row when the list sorts (its item vector, the header's sections and the
// persistent indexes all move) and signals and header work per row when it
// does not: a large fill was quadratic. The rows wait here instead and go
// into the table together (ListBoxImpl::FlushPending) before anything reads
// the table.
//
// A row with a cell in the sort column while the list sorts is kept in its
// sorted place among the waiting rows, in blocks of bounded size, so that
// the row it will have is known as it is added: the table rows that stay
// before it (a binary search over the table) plus the waiting rows that stay
// before it (a binary search here). Every other row goes after all of them,
// in the order it was added.
#pragma once

#include <functional>
#include <vector>

class QTableWidgetItem;

namespace AUILib {

class CustomQTableWidgetItem;

class PendingRows {
public:
    // "a goes before b" as the table's sort orders them.
    using Before = std::function<bool(const QTableWidgetItem& a, const QTableWidgetItem& b)>;

    struct Row {
        int firstCell;  // into the cells, in column order from column 0
        int cellCount;
        // A sorted row: the table rows that stay before it; -1 for a row
        // that goes last.
        int tableRows;
        const QTableWidgetItem* key;  // its cell in the sort column, or null
    };

    PendingRows() = default;
    // Deletes the cells no table took.
    ~PendingRows();
    PendingRows(const PendingRows&) = delete;
    PendingRows& operator=(const PendingRows&) = delete;
    PendingRows(PendingRows&& other) noexcept;
    PendingRows& operator=(PendingRows&& other) noexcept;

    bool Empty() const { return rows_.empty(); }
    int Count() const { return static_cast<int>(rows_.size()); }
    int SortedCount() const { return sortedCount_; }
    // The sort column and order the sorted rows were placed by; -1 with none.
    int SortColumn() const { return sortColumn_; }
    bool Descending() const { return descending_; }

    // Takes the cells of a row that goes after every waiting row.
    void AddLast(CustomQTableWidgetItem* const* cells, int count);
    // Takes the cells of a sorted row whose cell in the sort column is key,
    // with tableRows rows of the table before it; returns the waiting sorted
    // rows that stay before it (after every one that sorts equal to it).
    int AddSorted(CustomQTableWidgetItem* const* cells, int count, const QTableWidgetItem& key, int tableRows,
                  int sortColumn, bool descending, const Before& before);

    // The rows in the order they were added.
    const std::vector<Row>& Rows() const { return rows_; }
    CustomQTableWidgetItem* Cell(const Row& row, int column) const
    {
        return cells_[static_cast<size_t>(row.firstCell + column)];
    }
    // The sorted rows (indexes into Rows) in their order.
    std::vector<int> SortedOrder() const;
    // The table took every cell: nothing is deleted any more.
    void ReleaseCells();

private:
    int AddRow(CustomQTableWidgetItem* const* cells, int count, int tableRows, const QTableWidgetItem* key);
    void DeleteCells();

    std::vector<CustomQTableWidgetItem*> cells_;
    std::vector<Row> rows_;
    // A sorted row in the blocks: its key beside it, so that a search
    // reads no row.
    struct Entry {
        const QTableWidgetItem* key;
        int row;  // into rows_
    };
    // The sorted rows in order, in blocks of at most twice kBlock: an insert
    // moves one block, a rank sums block sizes.
    std::vector<std::vector<Entry>> blocks_;
    int sortedCount_ = 0;
    int sortColumn_ = -1;
    bool descending_ = false;
};

} // namespace AUILib
