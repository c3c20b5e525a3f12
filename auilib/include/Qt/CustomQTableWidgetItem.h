// A cell of the list box. Its ordering drives the table's sort: numbers by
// value, texts by the column's sort function or by text (case as the list
// box says); a cell of a pinned row is never less or greater than a text.
#pragma once

#include "ListBox.h"

#include <QTableWidgetItem>

#include <map>
#include <memory>

namespace AUILib {

class ItemDataMap;

class CustomQTableWidgetItem : public QTableWidgetItem {
public:
    using SortFunctions = std::map<int, ListBox::SortFunction>;

    // How the list box orders its cells, shared by the control and every
    // cell it made. The table and its cells outlive the control by design:
    // the control empties the functions and the item data when it goes, so
    // that a later sort (a header click) orders by plain text and reads
    // nothing of the control.
    struct SortRules {
        bool caseSensitive = true;
        SortFunctions functions;
        const ItemDataMap* itemData = nullptr;
    };

    CustomQTableWidgetItem(const QString& text, std::shared_ptr<const SortRules> rules)
        : QTableWidgetItem(text, 0), rules_(std::move(rules))
    {
    }
    ~CustomQTableWidgetItem() override = default;

    // Qt's own sorts: the column is asked of the table.
    bool operator<(const QTableWidgetItem& other) const override;
    // The same order when the caller knows the column both cells are in:
    // asking the table for a cell's column searches its whole item list.
    bool LessThan(const QTableWidgetItem& other, int column) const;

    bool IsPinned() const { return pinned_; }
    void SetPinned(bool pinned) { pinned_ = pinned; }
    ListBox::EditMode GetEditMode() const { return editMode_; }
    void SetEditMode(ListBox::EditMode mode) { editMode_ = mode; }

private:
    bool pinned_ = false;
    ListBox::EditMode editMode_ = ListBox::EditNone;
    std::shared_ptr<const SortRules> rules_;
};

} // namespace AUILib
