// The item class of the tree control's standard model. Every item the
// control makes is one of these, so that behaviour shared by all items
// (their ordering among siblings) has one place to live.
#pragma once

#include "AUILibAny.h"

#include <QStandardItem>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace AUILib {

class ItemDataMap;
class TreeSortKeys;

class CustStandardItem : public QStandardItem {
public:
    // Role where the tree's widget keeps the item's last known text, to
    // report it as the previous text when the text changes.
    static constexpr int LastTextRole = Qt::UserRole + 1;
    // Role holding the id of the item's value in the control's item data;
    // -1 (or nothing) for no value.
    static constexpr int DataIdRole = Qt::UserRole;

    // The control's ordering of its items, shared by all of them: the
    // caller's comparison, the item whose children (or subtree) it orders
    // (null: the top level) and the values the comparison is shown. The
    // model and its items outlive the control with the widget: the control
    // empties the context when it goes, and a later sort leaves the order.
    struct SortContext {
        std::function<bool(std::wstring, any, std::wstring, any)> callback;
        QStandardItem* root = nullptr;
        bool recursive = false;
        const ItemDataMap* data = nullptr;
        // While the control's own sort runs: the texts and values of the
        // items in scope, taken once; the items it lacks are out of scope.
        const TreeSortKeys* keys = nullptr;
    };

    explicit CustStandardItem(const QString& text);
    ~CustStandardItem() override;

    int type() const override { return QStandardItem::UserType + 18; }
    QStandardItem* clone() const override;
    // Ordered by the control's comparison, only within the sort scope;
    // every other pair compares false, so the stable sort leaves it alone.
    // Reads other through its QStandardItem data only: it may be a plain
    // item that never met this control.
    bool operator<(const QStandardItem& other) const override;
    void SetSortContext(std::shared_ptr<const SortContext> context) { sortContext_ = std::move(context); }
    // Where this item's text (in the pool) and value are for the sort with
    // the given serial: the item is read anyway to be compared, so its own
    // side of a comparison costs no lookup.
    void SetSortKey(std::uint64_t serial, std::uint32_t text, std::uint32_t size, const any* value)
    {
        sortSerial_ = serial;
        sortText_ = text;
        sortTextSize_ = size;
        sortValue_ = value;
    }

private:
    std::shared_ptr<const SortContext> sortContext_;
    std::uint64_t sortSerial_ = 0;
    std::uint32_t sortText_ = 0;
    std::uint32_t sortTextSize_ = 0;
    const any* sortValue_ = nullptr;
};

} // namespace AUILib
