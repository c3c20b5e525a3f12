// What one sort of the tree control's standard model shows the caller's
// comparison for each item it may compare: the item's text and its value,
// each looked up once. The comparison runs n·log n times while the model
// holds still; reading an item's text through its role data and its value
// through the item-data map on every comparison repeated the same lookups
// about log n times per item.
//
// The comparison runs on scattered items, so its cost is memory reads: the
// texts are copied, in UTF-16, into one pool in scope order (a few pages
// instead of the whole heap the items live in), a table on the item's
// address says where each text is and marks the items with a value, and the
// control's own items keep the same for themselves, so that the item on the
// left of a comparison needs no lookup. Fresh memory is dear too (every new
// page is a fault), so the table is sized once, from a count.
#pragma once

#include "AUILibAny.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class QStandardItem;

namespace AUILib {

class ItemDataMap;

class TreeSortKeys {
public:
    struct Entry {
        std::uintptr_t item = 0;   // the item's address; low bit set: it has a value
        std::uint32_t text = 0;    // start in the pool
        std::uint32_t size = 0;
    };

    // Takes the items of the scope: the children of parent, and with
    // recursive every item below it; none for a null parent. data may be
    // null (no values). The control's own items of the scope learn where
    // their text and value are, and this sort's serial.
    TreeSortKeys(QStandardItem* parent, bool recursive, const ItemDataMap* data);
    TreeSortKeys(const TreeSortKeys&) = delete;
    TreeSortKeys& operator=(const TreeSortKeys&) = delete;

    // Distinct for every set of keys in the process's life, so that what an
    // item kept from an earlier sort is never taken for this one's.
    std::uint64_t Serial() const { return serial_; }
    // Null when item is not one of the scope's items.
    const Entry* Find(const QStandardItem* item) const;
    std::wstring Text(std::uint32_t start, std::uint32_t size) const;
    std::wstring Text(const Entry& entry) const { return Text(entry.text, entry.size); }
    any Value(const Entry& entry) const;

    // Read from the item's own data, as a sort without keys reads it.
    static std::wstring TextOf(const QStandardItem& item);
    static any ValueOf(const QStandardItem& item, const ItemDataMap* data);

private:
    static std::size_t Count(const QStandardItem& parent, bool recursive);
    void Collect(QStandardItem& parent, bool recursive, const ItemDataMap* data);
    std::size_t SlotOf(std::uintptr_t item) const;

    std::uint64_t serial_;
    // Open addressing, at most two thirds full: one probe in the common
    // case, where a node-based map would chase a pointer per lookup.
    std::vector<Entry> slots_;
    std::vector<QChar> pool_;
    // Only the items that have one; most have none.
    std::unordered_map<std::uintptr_t, any> values_;
};

} // namespace AUILib
