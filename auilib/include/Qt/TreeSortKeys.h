// What one sort of the tree control's standard model shows the caller's
// comparison for each item it may compare: the item's text, converted once,
// and its value, looked up once. The comparison runs n·log n times while the
// model holds still, so converting and looking up per comparison would
// repeat the same work for every item about log n times over.
//
// The comparison runs on scattered items, so its cost is memory reads: the
// texts sit in one pool in scope order, and an item's key (where its text
// is, which value it has) is kept on the control's own items and in a table
// on the item's address for the other side of a comparison.
#pragma once

#include "AUILibAny.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QStandardItem;

namespace AUILib {

class ItemDataMap;

class TreeSortKeys {
public:
    struct Key {
        std::size_t text = 0;   // start in the pool
        std::uint32_t length = 0;
        std::int32_t value = -1;   // index of the value; -1: none
    };

    // Takes the items of the scope: the children of parent, and with
    // recursive every item below it; none for a null parent. data may be
    // null (no values). The control's own items of the scope learn their
    // key and this sort's serial.
    TreeSortKeys(QStandardItem* parent, bool recursive, const ItemDataMap* data);
    TreeSortKeys(const TreeSortKeys&) = delete;
    TreeSortKeys& operator=(const TreeSortKeys&) = delete;

    // Distinct for every set of keys in the process's life, so that a key
    // an item kept from an earlier sort is never taken for one of this.
    std::uint64_t Serial() const { return serial_; }
    // Null when item is not one of the scope's items.
    const Key* Find(const QStandardItem* item) const;
    std::wstring Text(const Key& key) const { return std::wstring(pool_.data() + key.text, key.length); }
    any Value(const Key& key) const { return key.value < 0 ? any() : values_[static_cast<std::size_t>(key.value)]; }

    // Read from the item's own data, as a sort without keys reads it.
    static std::wstring TextOf(const QStandardItem& item);
    static any ValueOf(const QStandardItem& item, const ItemDataMap* data);

private:
    struct Slot {
        const QStandardItem* item = nullptr;
        Key key;
    };

    void Collect(QStandardItem& parent, bool recursive, const ItemDataMap* data,
                 std::vector<const QStandardItem*>& items, std::vector<Key>& keys);
    void Index(const std::vector<const QStandardItem*>& items, const std::vector<Key>& keys);
    std::size_t SlotOf(const QStandardItem* item) const;

    std::uint64_t serial_;
    std::vector<wchar_t> pool_;
    std::vector<any> values_;
    // Open addressing on the item's address: one probe in the common case,
    // where a node-based map would chase a pointer per lookup.
    std::vector<Slot> slots_;
    unsigned shift_ = 64;
};

} // namespace AUILib
