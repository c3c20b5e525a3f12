#include "PendingRows.h"

#include "CustomQTableWidgetItem.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace AUILib {

namespace {

// Rows per block: small enough that an insert moves little, large enough
// that a rank sums few sizes.
constexpr size_t kBlock = 512;

} // namespace

PendingRows::~PendingRows() { DeleteCells(); }

PendingRows::PendingRows(PendingRows&& other) noexcept
    : cells_(std::move(other.cells_)), rows_(std::move(other.rows_)), blocks_(std::move(other.blocks_)),
      sortedCount_(other.sortedCount_), sortColumn_(other.sortColumn_), descending_(other.descending_)
{
    other.cells_.clear();
    other.rows_.clear();
    other.blocks_.clear();
    other.sortedCount_ = 0;
    other.sortColumn_ = -1;
}

PendingRows& PendingRows::operator=(PendingRows&& other) noexcept
{
    if (this != &other) {
        DeleteCells();
        cells_ = std::move(other.cells_);
        rows_ = std::move(other.rows_);
        blocks_ = std::move(other.blocks_);
        sortedCount_ = other.sortedCount_;
        sortColumn_ = other.sortColumn_;
        descending_ = other.descending_;
        other.cells_.clear();
        other.rows_.clear();
        other.blocks_.clear();
        other.sortedCount_ = 0;
        other.sortColumn_ = -1;
    }
    return *this;
}

void PendingRows::DeleteCells()
{
    for (CustomQTableWidgetItem* cell : cells_)
        delete cell;
    cells_.clear();
}

void PendingRows::ReleaseCells() { cells_.clear(); }

int PendingRows::AddRow(CustomQTableWidgetItem* const* cells, int count, int tableRows, const QTableWidgetItem* key)
{
    rows_.push_back(Row{static_cast<int>(cells_.size()), count, tableRows, key});
    cells_.insert(cells_.end(), cells, cells + count);
    return static_cast<int>(rows_.size()) - 1;
}

void PendingRows::AddLast(CustomQTableWidgetItem* const* cells, int count) { AddRow(cells, count, -1, nullptr); }

int PendingRows::AddSorted(CustomQTableWidgetItem* const* cells, int count, const QTableWidgetItem& key,
                           int tableRows, int sortColumn, bool descending, const Before& before)
{
    const int index = AddRow(cells, count, tableRows, &key);
    sortColumn_ = sortColumn;
    descending_ = descending;
    // The first block whose last row goes after the new one holds its place.
    size_t low = 0;
    size_t high = blocks_.size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (!before(key, *blocks_[mid].back().key))
            low = mid + 1;
        else
            high = mid;
    }
    if (low == blocks_.size()) {
        if (blocks_.empty() || blocks_.back().size() >= 2 * kBlock)
            blocks_.emplace_back();
        low = blocks_.size() - 1;
    }
    std::vector<Entry>& block = blocks_[low];
    // After every row of the block that sorts equal to it.
    const auto goesBefore = [&before](const QTableWidgetItem* a, const Entry& b) { return before(*a, *b.key); };
    const auto at = std::upper_bound(block.begin(), block.end(), &key, goesBefore);
    int rank = static_cast<int>(at - block.begin());
    for (size_t b = 0; b < low; ++b)
        rank += static_cast<int>(blocks_[b].size());
    block.insert(at, Entry{&key, index});
    if (block.size() > 2 * kBlock) {
        std::vector<Entry> tail(block.begin() + static_cast<std::ptrdiff_t>(kBlock), block.end());
        block.resize(kBlock);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(low) + 1, std::move(tail));
    }
    ++sortedCount_;
    return rank;
}

std::vector<int> PendingRows::SortedOrder() const
{
    std::vector<int> order;
    order.reserve(static_cast<size_t>(sortedCount_));
    for (const std::vector<Entry>& block : blocks_) {
        for (const Entry& entry : block)
            order.push_back(entry.row);
    }
    return order;
}

} // namespace AUILib
