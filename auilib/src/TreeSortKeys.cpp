#include "TreeSortKeys.h"

#include "CustStandardItem.h"
#include "ItemDataMap.h"
#include "WideQt.h"

#include <atomic>

namespace AUILib {

namespace {

// The tree keeps every value in column 0 of the item-data map.
constexpr int kDataColumn = 0;

std::uint64_t NextSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Fibonacci hashing of the address: items come from the heap in runs, and
// the multiply spreads neighbouring addresses over the whole table.
std::size_t Hash(const QStandardItem* item, unsigned shift)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item));
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ULL) >> shift);
}

} // namespace

TreeSortKeys::TreeSortKeys(QStandardItem* parent, bool recursive, const ItemDataMap* data) : serial_(NextSerial())
{
    std::vector<const QStandardItem*> items;
    std::vector<Key> keys;
    if (parent)
        Collect(*parent, recursive, data, items, keys);
    Index(items, keys);
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

void TreeSortKeys::Collect(QStandardItem& parent, bool recursive, const ItemDataMap* data,
                           std::vector<const QStandardItem*>& items, std::vector<Key>& keys)
{
    // Every column: the model sorts the children of items in any column.
    const int rows = parent.rowCount();
    const int columns = parent.columnCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QStandardItem* child = parent.child(row, column);
            if (!child)
                continue;
            Key key;
            const std::wstring text = TextOf(*child);
            key.text = pool_.size();
            key.length = static_cast<std::uint32_t>(text.size());
            pool_.insert(pool_.end(), text.begin(), text.end());
            any value = ValueOf(*child, data);
            if (value.has_value()) {
                key.value = static_cast<std::int32_t>(values_.size());
                values_.push_back(std::move(value));
            }
            if (auto* own = dynamic_cast<CustStandardItem*>(child))
                own->SetSortKey(serial_, key);
            items.push_back(child);
            keys.push_back(key);
            if (recursive && child->hasChildren())
                Collect(*child, true, data, items, keys);
        }
    }
}

void TreeSortKeys::Index(const std::vector<const QStandardItem*>& items, const std::vector<Key>& keys)
{
    // At most half full, so that a probe rarely goes past its first slot.
    std::size_t capacity = 16;
    shift_ = 60;
    while (capacity < 2 * items.size()) {
        capacity *= 2;
        --shift_;
    }
    slots_.assign(capacity, Slot());
    for (std::size_t at = 0; at < items.size(); ++at) {
        Slot& slot = slots_[SlotOf(items[at])];
        slot.item = items[at];
        slot.key = keys[at];
    }
}

std::size_t TreeSortKeys::SlotOf(const QStandardItem* item) const
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = Hash(item, shift_);
    while (slots_[at].item && slots_[at].item != item)
        at = (at + 1) & mask;
    return at;
}

const TreeSortKeys::Key* TreeSortKeys::Find(const QStandardItem* item) const
{
    const Slot& slot = slots_[SlotOf(item)];
    return slot.item ? &slot.key : nullptr;
}

} // namespace AUILib
