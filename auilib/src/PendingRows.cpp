#include "PendingRows.h"

#include "CustomQTableWidgetItem.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace AUILib {

namespace {

// Rows per block: small enough that an insert moves little, large enough
// that a rank sums few sizes and the search for the block stays short.
constexpr size_t kBlock = 256;

} // namespace

PendingRows::~PendingRows() { DeleteCells(); }

PendingRows::PendingRows(PendingRows&& other) noexcept { *this = std::move(other); }

// Other is left empty: its cells are this one's to free now.
PendingRows& PendingRows::operator=(PendingRows&& other) noexcept
{
    if (this != &other) {
        DeleteCells();
        cells_ = std::exchange(other.cells_, {});
        rows_ = std::exchange(other.rows_, {});
        blocks_ = std::exchange(other.blocks_, {});
        sizes_ = std::exchange(other.sizes_, {});
        lasts_ = std::exchange(other.lasts_, {});
        sortedCount_ = std::exchange(other.sortedCount_, 0);
        sortColumn_ = std::exchange(other.sortColumn_, -1);
        descending_ = std::exchange(other.descending_, false);
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

bool PendingRows::GoesBefore(const Entry& a, const Entry& b, const Order& order)
{
    if (a.hasPrefix && b.hasPrefix && a.prefix != b.prefix)
        return order.descending ? a.prefix > b.prefix : a.prefix < b.prefix;
    return order.before(*a.key, *b.key);
}

int PendingRows::AddSorted(CustomQTableWidgetItem* const* cells, int count, const QTableWidgetItem& key,
                           const QString* text, int tableRows, int sortColumn, const Order& order)
{
    Entry entry{&key, 0, AddRow(cells, count, tableRows, &key), text && order.byText};
    if (entry.hasPrefix) {
        // The first four units, the first in the highest bits: numbers order
        // as the texts do up to there, a shorter text first (equal numbers
        // leave it to the texts).
        const ushort* units = text->utf16();
        const int length = text->size();
        for (int i = 0; i < 4; ++i)
            entry.prefix = (entry.prefix << 16) | (i < length ? units[i] : 0u);
    }
    sortColumn_ = sortColumn;
    descending_ = order.descending;
    const auto goesBefore = [&order](const Entry& a, const Entry& b) { return GoesBefore(a, b, order); };
    // The first block whose last row goes after the new one holds its place.
    size_t block = static_cast<size_t>(std::upper_bound(lasts_.begin(), lasts_.end(), entry, goesBefore) -
                                       lasts_.begin());
    if (block == blocks_.size()) {
        if (blocks_.empty() || blocks_.back().size() >= 2 * kBlock) {
            blocks_.emplace_back();
            sizes_.push_back(0);
            lasts_.push_back(entry);
        }
        block = blocks_.size() - 1;
    }
    std::vector<Entry>& entries = blocks_[block];
    // After every row of the block that sorts equal to it.
    const auto at = std::upper_bound(entries.begin(), entries.end(), entry, goesBefore);
    int rank = static_cast<int>(at - entries.begin());
    for (size_t b = 0; b < block; ++b)
        rank += sizes_[b];
    entries.insert(at, entry);
    if (entries.size() > 2 * kBlock) {
        std::vector<Entry> tail(entries.begin() + static_cast<std::ptrdiff_t>(kBlock), entries.end());
        entries.resize(kBlock);
        const auto next = static_cast<std::ptrdiff_t>(block) + 1;
        sizes_.insert(sizes_.begin() + next, static_cast<int>(tail.size()));
        lasts_.insert(lasts_.begin() + next, tail.back());
        blocks_.insert(blocks_.begin() + next, std::move(tail));
    }
    // A split moves the blocks: the block is read again.
    const std::vector<Entry>& placed = blocks_[block];
    sizes_[block] = static_cast<int>(placed.size());
    lasts_[block] = placed.back();
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
