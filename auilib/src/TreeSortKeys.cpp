#include "TreeSortKeys.h"

#include "CustStandardItem.h"
#include "ItemDataMap.h"
#include "WideQt.h"

#include <atomic>

namespace AUILib {

namespace {

// The tree keeps every value in column 0 of the item-data map.
constexpr int kDataColumn = 0;
constexpr std::uintptr_t kHasValue = 1;

std::uint64_t NextSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Fibonacci hashing of the address (items come from the heap in runs; the
// multiply spreads neighbours over the whole table), mapped onto the table
// by a multiply instead of a division: (hash * size) / 2^64, done in 32-bit
// halves to need no 128-bit type. size stays below 2^32.
std::size_t Place(std::uintptr_t item, std::size_t size)
{
    const std::uint64_t hash = static_cast<std::uint64_t>(item) * 0x9E3779B97F4A7C15ULL;
    const std::uint64_t n = static_cast<std::uint64_t>(size);
    const std::uint64_t high = hash >> 32;
    const std::uint64_t low = hash & 0xFFFFFFFFULL;
    return static_cast<std::size_t>((high * n + ((low * n) >> 32)) >> 32);
}

} // namespace

TreeSortKeys::TreeSortKeys(QStandardItem* parent, bool recursive, const ItemDataMap* data) : serial_(NextSerial())
{
    const std::size_t count = parent ? Count(*parent, recursive) : 0;
    // Sized once, from the count: growing would move every entry onto new
    // pages again.
    slots_.resize(count + count / 2 + 1);
    // Only the pages written are taken; more than this costs one move.
    pool_.reserve(count * 16);
    if (parent)
        Collect(*parent, recursive, data);
}

std::size_t TreeSortKeys::Count(const QStandardItem& parent, bool recursive)
{
    const int rows = parent.rowCount();
    const int columns = parent.columnCount();
    std::size_t count = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (recursive) {
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const QStandardItem* child = parent.child(row, column);
                if (child && child->hasChildren())
                    count += Count(*child, true);
            }
        }
    }
    return count;
}

std::wstring TreeSortKeys::TextOf(const QStandardItem& item) { return ToWide(item.data(Qt::DisplayRole).toString()); }

any TreeSortKeys::ValueOf(const QStandardItem& item, const ItemDataMap* data)
{
    if (!data)
        return any();
    // Most items carry no value: no lookup for them.
    const QVariant id = item.data(CustStandardItem::DataIdRole);
    const int number = id.isValid() ? id.toInt() : -1;
    return number >= 0 ? data->Get(number, kDataColumn) : any();
}

void TreeSortKeys::Collect(QStandardItem& parent, bool recursive, const ItemDataMap* data)
{
    // Every column: the model sorts the children of items in any column.
    const int rows = parent.rowCount();
    const int columns = parent.columnCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QStandardItem* child = parent.child(row, column);
            if (!child)
                continue;
            const auto address = reinterpret_cast<std::uintptr_t>(child);
            Entry& entry = slots_[SlotOf(address)];
            entry.item = address;
            const QString text = child->data(Qt::DisplayRole).toString();
            entry.text = static_cast<std::uint32_t>(pool_.size());
            entry.size = static_cast<std::uint32_t>(text.size());
            pool_.insert(pool_.end(), text.constData(), text.constData() + text.size());
            any value = ValueOf(*child, data);
            const any* kept = nullptr;
            if (value.has_value()) {
                entry.item |= kHasValue;
                kept = &values_.emplace(address, std::move(value)).first->second;
            }
            if (auto* own = dynamic_cast<CustStandardItem*>(child))
                own->SetSortKey(serial_, entry.text, entry.size, kept);
            if (recursive && child->hasChildren())
                Collect(*child, true, data);
        }
    }
}

std::size_t TreeSortKeys::SlotOf(std::uintptr_t item) const
{
    // Item addresses are at least 2-aligned, so the value mark never hides
    // one; an empty slot is 0.
    const std::size_t size = slots_.size();
    std::size_t at = Place(item, size);
    while (slots_[at].item && (slots_[at].item & ~kHasValue) != item) {
        if (++at == size)
            at = 0;
    }
    return at;
}

const TreeSortKeys::Entry* TreeSortKeys::Find(const QStandardItem* item) const
{
    const Entry& entry = slots_[SlotOf(reinterpret_cast<std::uintptr_t>(item))];
    return entry.item ? &entry : nullptr;
}

std::wstring TreeSortKeys::Text(std::uint32_t start, std::uint32_t size) const
{
    return ToWide(pool_.data() + start, static_cast<int>(size));
}

any TreeSortKeys::Value(const Entry& entry) const
{
    if (!(entry.item & kHasValue))
        return any();
    return values_.at(entry.item & ~kHasValue);
}

} // namespace AUILib
