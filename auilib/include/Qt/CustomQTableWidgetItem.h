// A cell of the list box. Its ordering drives the table's sort: numbers by
// value, texts by the column's sort function or by text (case as the list
// box says); a cell of a pinned row is never less or greater than a text.
#pragma once

#include "ListBox.h"

#include <QTableWidgetItem>

#include <map>

namespace AUILib {

class ItemDataMap;

class CustomQTableWidgetItem : public QTableWidgetItem {
public:
    using SortFunctions = std::map<int, ListBox::SortFunction>;

    CustomQTableWidgetItem(const QString& text, const bool* caseSensitive, const SortFunctions* sortFunctions,
                           const ItemDataMap* itemData)
        : QTableWidgetItem(text, 0), caseSensitive_(caseSensitive), sortFunctions_(sortFunctions),
          itemData_(itemData)
    {
    }
    ~CustomQTableWidgetItem() override = default;

    bool operator<(const QTableWidgetItem& other) const override;

    bool IsPinned() const { return pinned_; }
    void SetPinned(bool pinned) { pinned_ = pinned; }
    ListBox::EditMode GetEditMode() const { return editMode_; }
    void SetEditMode(ListBox::EditMode mode) { editMode_ = mode; }

private:
    bool pinned_ = false;
    ListBox::EditMode editMode_ = ListBox::EditNone;
    const bool* caseSensitive_;
    const SortFunctions* sortFunctions_;
    const ItemDataMap* itemData_;
};

} // namespace AUILib
