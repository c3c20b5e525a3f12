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
        // Set while the list box puts rows in an order it worked out itself:
        // cells then order by their rank alone.
        bool byRank = false;
    };

    // The item type every cell of the list box has: tells them from plain
    // cells without a dynamic cast (the sorted insert compares often).
    static constexpr int Type = QTableWidgetItem::UserType + 18;

    CustomQTableWidgetItem(const QString& text, std::shared_ptr<const SortRules> rules)
        : QTableWidgetItem(text, Type), rules_(std::move(rules))
    {
        NoteRole(Qt::DisplayRole, data(Qt::DisplayRole));
    }
    // Null for a cell made elsewhere.
    static const CustomQTableWidgetItem* Of(const QTableWidgetItem& cell)
    {
        return cell.type() == Type ? static_cast<const CustomQTableWidgetItem*>(&cell) : nullptr;
    }
    ~CustomQTableWidgetItem() override = default;
    // A copy is a cell of the same list box (a plain copy would carry Type).
    QTableWidgetItem* clone() const override { return new CustomQTableWidgetItem(*this); }

    // Qt's own sorts: the column is asked of the table.
    bool operator<(const QTableWidgetItem& other) const override;
    // The same order when the caller knows the column both cells are in:
    // asking the table for a cell's column searches its whole item list.
    bool LessThan(const QTableWidgetItem& other, int column) const;

    void setData(int role, const QVariant& value) override;

    // What decides the height of the cell's row, kept as the cell changes:
    // PlainText is one line the row's font draws; the others say the role
    // holds a value.
    enum Shape : unsigned {
        NoText = 0,
        EmptyText = 1,
        PlainText = 2,
        OtherText = 3,
        TextMask = 3,
        HasCheck = 4,
        HasPicture = 8,
        HasFont = 16,
        HasSizeHint = 32,
    };
    unsigned GetShape() const { return shape_; }

    bool IsPinned() const { return pinned_; }
    void SetPinned(bool pinned) { pinned_ = pinned; }
    ListBox::EditMode GetEditMode() const { return editMode_; }
    // The text the cell sorts by, compared unit by unit or by the case rule
    // (LessThan); null when its value is no text or its row is pinned.
    const QString* SortText() const { return isText_ && !pinned_ ? &text_ : nullptr; }
    // The row the cell goes to when the list box orders by rank.
    void SetRank(int rank) { rank_ = rank; }
    void SetEditMode(ListBox::EditMode mode) { editMode_ = mode; }

private:
    void NoteRole(int role, const QVariant& value);

    unsigned shape_ = NoText;
    // The shown value when it is a text, kept as the cell changes: a sort
    // compares it without copying the value out of the cell's roles.
    QString text_;
    bool isText_ = false;
    bool pinned_ = false;
    int rank_ = 0;
    ListBox::EditMode editMode_ = ListBox::EditNone;
    std::shared_ptr<const SortRules> rules_;
};

} // namespace AUILib
