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
// in the order it was added. A search compares the first units of the keys'
// texts, kept beside them, and reads a cell only when those are equal: the
// cells lie all over the heap, and a large fill would wait on memory for
// most of its comparisons.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QTableWidgetItem;

namespace AUILib {

class CustomQTableWidgetItem;

class PendingRows {
public:
    // How the sorted rows order.
    struct Order {
        // "a goes before b" as the table's sort orders them.
        std::function<bool(const QTableWidgetItem& a, const QTableWidgetItem& b)> before;
        // Keys with a text order by it, unit by unit (case-sensitive, no
        // sort function): their first units decide where they differ.
        bool byText = false;
        bool descending = false;
    };

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
    // Takes the cells of a sorted row whose cell in the sort column is key
    // (text: its text, null for a key without one), with tableRows rows of
    // the table before it; returns the waiting sorted rows that stay before
    // it (after every one that sorts equal to it).
    int AddSorted(CustomQTableWidgetItem* const* cells, int count, const QTableWidgetItem& key, const QString* text,
                  int tableRows, int sortColumn, const Order& order);

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
    // A sorted row in the blocks: its key and the key's first text units
    // beside it.
    struct Entry {
        const QTableWidgetItem* key;
        std::uint64_t prefix;
        int row;  // into rows_
        bool hasPrefix;
    };
    static bool GoesBefore(const Entry& a, const Entry& b, const Order& order);

    // The sorted rows in order, in blocks of at most twice kBlock: an insert
    // moves one block. Beside them, contiguous, each block's size (a rank
    // sums them) and its last entry (the search for the block reads them).
    std::vector<std::vector<Entry>> blocks_;
    std::vector<int> sizes_;
    std::vector<Entry> lasts_;
    int sortedCount_ = 0;
    int sortColumn_ = -1;
    bool descending_ = false;
};

} // namespace AUILib
