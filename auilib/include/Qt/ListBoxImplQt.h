// The implementation of ListBox: owns the table's settings, item data and
// connections. The table and its delegate may outlive it: its destructor
// drops its connections and clears their back pointers.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "CustomQTableWidgetItem.h"
#include "HeaderProxyStyle.h"
#include "ItemDelegate.h"
#include "ListBox.h"
#include "ListBoxQt.h"
#include "PendingRows.h"

#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QStringList>

#include <list>
#include <map>
#include <memory>
#include <vector>

namespace AUILib {

class ItemDataMap;

class ListBoxImpl : public BaseImplQt {
public:
    explicit ListBoxImpl(ListBox& owner);
    ~ListBoxImpl() override;

    Point ScreenToClient(Point point) override;
    Point ClientToScreen(Point point) override;
    void SetAcceptDrops(bool accept) override;
    bool IsAcceptDrops() override;
    bool ShowToolTipAt(Point screenPosition) override;
    QWidget* GetWndPtr() override;
    FontData GetFont() override;
    virtual void ClearSelection();

    // The table, with every row added so far in it: whatever reads or
    // changes the table goes through here (or flushes first).
    ListBoxQt* GetWidget()
    {
        FlushPending();
        return table_.data();
    }
    // The table as it is, rows added at the end perhaps still waiting: for
    // the adds themselves and the table's own painting.
    ListBoxQt* Table() const { return table_.data(); }
    // Rows of the table and rows waiting to go in; -1 without a table.
    int RowCount() const;

    // Rows added at the end wait (see PendingRows) until this puts them in
    // the table as one change; it reports nothing to the control's handlers
    // (the adds did).
    void FlushPending()
    {
        if (!pending_.Empty())
            FlushRows();
    }
    // Takes a new row's cells (every column's, or column 0's alone) and
    // places it after the last row, where sorting puts it; returns its row.
    // The cells may still be set up afterwards (item data, check rules):
    // they are in no table yet.
    int PlaceAppended(CustomQTableWidgetItem* const* cells, int count, bool allColumns);
    // Reports the cells of a row PlaceAppended placed at row the way the
    // table reports a cell set in it; returns the row it has now, -1 when it
    // went (a handler may change the list or drop the control).
    int ReportAppended(CustomQTableWidgetItem* const* cells, int count, int row);
    ListBox* Owner() const { return table_.Owner(); }
    void ForgetOwner();

    // Removes every row without selection notifications; item data stays.
    void Clear();
    void SetColumnsCount(int count);

    // A new cell of this list box.
    CustomQTableWidgetItem* MakeCell(const QString& text) const;
    // Fits a fit-to-content column to its cells again.
    void RefitColumn(int column);
    void RefitAllColumns();
    // The header width the first fill gives when nothing set one yet.
    void ApplyFirstFillHeaderWidth();
    // The selected rows (column-0 cell selected), ascending.
    std::list<int> SelectedRows() const;
    void SetCheck(int row, bool checked, bool repaint);
    // Shows or hides the selection highlight by the palette alone.
    void ApplySelectionDisplay(bool show);
    void AddButtonColumn();
    void RemoveButtonColumn();
    // Where a new row goes so that the table stays sorted: the row a stable
    // resort would give it, pinned rows first. requested is the row asked
    // for (already in 0..Count()).
    int SortedInsertionRow(const CustomQTableWidgetItem& cell, int column, int requested) const;

    // Item data, through the list box's shared store.
    int AddData(const any& value, int column);
    any GetData(int id, int column) const;
    int SetData(int id, int column, const any& value);
    bool EraseData(int id);

    int backgroundColour = -1;
    int textColour = -1;
    bool singleSelection = true;
    int editRow = -1;
    int editColumn = -1;
    bool underlineItems = false;
    QPointer<ItemDelegate> delegate;
    QImage rowButtonImage;
    int columnCount = 0;
    std::vector<int> columnWidths{-1};
    std::map<int, ListBox::EditMode> columnEditModes;
    QStringList headerLabels;
    int rowHeight = 14;
    ListBox::CheckMode checkMode = ListBox::CheckNone;
    std::shared_ptr<ItemDataMap> itemData;
    bool headerSized = false;
    int pinnedCount = 0;
    bool rowsDragAndDrop = false;
    bool acceptDrops = false;
    std::list<int> lastSelection;
    // Shared with the cells; emptied when this object goes.
    std::shared_ptr<CustomQTableWidgetItem::SortRules> sortRules;
    std::unique_ptr<HeaderProxyStyle> headerStyle;
    bool itemsAutoTooltip = false;
    bool wordWrap = false;
    ListBox::Editable editItems = ListBox::EditableOff;
    QPalette savedPalette;

private:
    void OnSelectionChangedByTable();
    void OnCloseEditor();
    void RefreshLastSelection() { lastSelection = SelectedRows(); }
    void FlushRows();
    // Puts the sorted rows in one by one at their places (few rows, or a
    // table whose order cannot be ranked).
    void InsertSortedRows(const PendingRows& rows);
    // Appends every waiting row, then moves the sorted ones to their places
    // with one sort by rank; false, changing nothing, where inserting them
    // one by one costs less or the table's order cannot be ranked.
    bool MergeSortedRows(const PendingRows& rows, int sortColumn);
    void SetCells(const PendingRows& rows, const PendingRows::Row& row, int tableRow);
    // The row of a cell in the table, found without touching the cell.
    int FindCell(const QTableWidgetItem* cell, int column) const;

    PendingRows pending_;
    // Bumped by every placed or flushed row: an add that sees it changed
    // while it reported knows other changes came in between.
    unsigned rowChanges_ = 0;
    bool flushing_ = false;
    bool flushPosted_ = false;
    // The columns to refit once the waiting rows are in.
    bool refitFirst_ = false;
    bool refitAll_ = false;

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<ListBoxQt, ListBox> table_;
};

// The shared item-data store of one list box (defined where the store's
// type is known).
std::shared_ptr<ItemDataMap> MakeListBoxItemData();
any ListBoxItemDataValue(const ItemDataMap* data, int id, int column);

} // namespace AUILib
