// ListBox: the multi-column list box (form classes QTableWidget and
// QListWidget): rows of texts with optional check boxes, pictures, item data,
// per-column sorting, in-place editors and a trailing row-button column.
// Row numbers are the table's current rows: they change when rows are
// inserted, deleted or sorted.
#pragma once

#include "AUILibAny.h"
#include "AUILibEnums.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace AUILib {

class ListBoxImpl;
class Edit;

// Rows of the list box have no tree; the tree calls below answer nothing.
struct ListBoxTreeItem;

class ListBox : public BaseGUIObject {
public:
    enum CheckMode : int {
        CheckNone = 0,
        CheckUser = 1,       // the user toggles the boxes
        CheckProgram = 2,    // only the program sets them
        CheckSelection = 3,  // checks follow the selection
    };
    enum EditMode : int { EditNone = 0, EditText = 1, EditCombo = 2 };
    enum Editable : int { EditableOff = 0, EditableBorder = 1, EditableFrameless = 2, EditableAllColumns = 3 };
    enum HeaderStyle : int { HeaderPictureDefault = 0, HeaderPictureRight = 1 };
    enum SortMode : int { SortAscending = 0, SortDescending = 1 };

    using SortFunction = std::function<bool(std::wstring, any, std::wstring, any)>;

    ListBox();
    ~ListBox() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Colours are 0xRRGGBB; -1 until set.
    virtual void SetBackgroundColor(int colour);
    virtual int GetBackgroundColor();
    virtual void SetTextColor(int colour);
    virtual int GetTextColor();
    virtual void AddPictureToHeader(int column, const std::wstring& path, int size, BitmapType type);
    virtual void AddPictureToHeader(int column, const unsigned char* data, int length, ImageTypes format, int size,
                                    BitmapType type);

    // Each returns the row the entry ended in (after sorting), or -1.
    virtual int AddItem(const std::wstring& text, any data = any());
    virtual int AddItemEx(std::list<std::wstring>& texts, any data = any());
    virtual int AddRow(std::list<std::wstring>& texts, std::list<any> datas);
    virtual int InsertItem(int row, const std::wstring& text, any data = any());
    virtual int InsertItemEx(int row, std::list<std::wstring>& texts, any data = any());
    virtual int InsertRow(int row, std::list<std::wstring>& texts, std::list<any> datas);

    virtual void AddPictureEx(int row, int column, const std::wstring& path, int size, BitmapType type);
    virtual void AddPictureEx(int row, int column, const unsigned char* data, int length, ImageTypes format,
                              int size, BitmapType type);
    virtual void AddPicture(int row, const std::wstring& path, int size, BitmapType type);
    virtual void AddPicture(int row, const unsigned char* data, int length, ImageTypes format, int size,
                            BitmapType type);
    virtual void AddPictureSysIcon(int row, const std::wstring& path);
    virtual void AddPictureSysIconEx(int row, int column, const std::wstring& path);

    // Removes every row without selection notifications; item data stays.
    virtual void Clear();
    virtual int Count();
    virtual std::wstring GetItem(int row, int column = 0);
    virtual std::list<std::wstring> GetItemEx(int row);
    virtual int GetItemIndex(const std::wstring& text);
    virtual bool DeleteItem(int row);
    // False, changing nothing, unless every row of the range exists.
    virtual bool DeleteItems(int row, int count);
    virtual bool DeleteSelItems();

    virtual void SetSel(int row, bool select);
    virtual void ClearSel();
    virtual std::list<std::wstring> SelectedItems();
    virtual std::list<int> SelectedItemsIndexes();
    virtual void SetCheckMode(CheckMode mode);
    virtual CheckMode GetCheckMode();
    virtual void SetCheck(int row, bool checked);
    // Partially checked rows count as checked here, not in CheckedItems.
    virtual bool GetCheck(int row);
    virtual std::list<std::wstring> CheckedItems();
    virtual std::list<int> CheckedItemsIndexes();
    virtual bool IsSingleSelection();
    virtual void SetSingleSelection(bool single);
    virtual bool IsSortingEnabled();
    virtual void SortingEnable(bool on);
    virtual bool EnsureVisible(int row);

    virtual any GetItemData(int row);
    virtual any GetItemDataEx(int row, int column);
    virtual bool SetItemData(int row, any data);
    virtual bool SetItemDataEx(int row, int column, any data);
    virtual bool SetItemText(int row, const std::wstring& text);
    virtual bool SetItemText(int row, int column, const std::wstring& text);
    // False for a row that does not exist; texts beyond the last column are
    // dropped.
    virtual bool SetItemTextEx(int row, std::list<std::wstring>& texts);
    virtual bool RemoveItemData(int row);
    virtual void SetShowGridlines(bool on);
    // The next row after start whose text starts with text (wrapping), -1.
    virtual int FindString(const std::wstring& text, int start);
    // The row at a client point, -1; flags: 1 nothing, 2 picture, 4 cell,
    // 8 check box, 16 row button (reported as the last data column).
    virtual int HitTest(Point point, unsigned int* flags, int* column);
    // A failed load keeps the current picture and column; no data removes
    // the button column.
    virtual bool AddRowButton(const unsigned char* data, int length, ImageTypes format);

    bool AddRowButton(const std::wstring& path);
    void SelectItemOnSetFocus(bool on);
    void SetAutomaticSearch(bool on);
    void SetColumnsCount(int count);
    int GetColumnsCount();
    void SetColumnWidth(int column, int width);
    void ResizeColumnToContent(int column, bool fit);
    bool IsSetResizeColumnToContent(int column);
    std::vector<int> GetColumnsWidth();
    bool SetColumnName(int column, const std::wstring& name);
    void EnableColumnNames(bool show);
    void SetHeaderTooltip(int column, const std::wstring& text);
    void SetHeaderPictureAlign(int column, HeaderStyle style);
    HeaderStyle GetHeaderPictureAlign(int column);
    bool SortColumn(int column, bool caseSensitive);
    bool SortColumn(int column, SortMode mode, bool caseSensitive);
    void SetColumnSortFunc(int column, const SortFunction& func);
    // Moves an unpinned row to the top, where sorting leaves it.
    void DisableSortingForRow(int row);
    void SetItemTextColor(int row, RGBColor colour);
    void ShowSelection(bool show);
    void UnderlineItems(bool on);
    void SetEditItems(Editable mode);
    Editable IsSetEditItems();
    void SetItemEditMode(int row, int column, EditMode mode);
    void SetColumnEditMode(int column, EditMode mode);
    void EnableWordWrapText(bool on);
    bool IsEnableWordWrapText();
    void EnableItemsAutoTooltip(bool on);
    void EnableRowsDragAndDrop(bool on);
    bool IsEnableRowsDragAndDrop();

    ListBoxTreeItem* AddRootItem(std::list<std::wstring>& texts, std::list<any> datas);
    ListBoxTreeItem* InsertRootItem(int row, std::list<std::wstring>& texts, std::list<any> datas);
    ListBoxTreeItem* AddSubitem(ListBoxTreeItem* parent, std::list<std::wstring>& texts, std::list<any> datas);
    ListBoxTreeItem* GetTreeItem(int row);
    ListBoxTreeItem* GetParentItem(ListBoxTreeItem* item);
    std::list<ListBoxTreeItem*> GetRootItems();
    std::list<ListBoxTreeItem*> GetChildItems(ListBoxTreeItem* item);
    std::list<std::wstring> GetItemTexts(ListBoxTreeItem* item);
    std::list<any> GetItemDatas(ListBoxTreeItem* item);
    std::list<int> GetItemImageIndexes(ListBoxTreeItem* item);
    int SetExpanded(ListBoxTreeItem* item, bool expanded);

    // The implementation, for the table and its delegate.
    ListBoxImpl* GetImpl() const { return impl_.get(); }

    Signal<int> OnItemClicked;
    // Its handlers, and those of OnItemChanged, OnHeaderClicked and the two
    // selection signals, must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    Signal<int> OnItemDoubleClicked;
    // Kept for callers that connect to them; the list box fires neither.
    Signal<int> OnItemPressed;
    Signal<int> OnItemEntered;
    Signal<int> OnItemChanged;
    Signal<> OnSelectionChanged;
    Signal<int> OnRowSelectionChanged;
    Signal<int> OnHeaderClicked;
    Signal<> OnSelectionBegin;
    Signal<> OnSelectionEnd;
    Signal<int, Edit*> OnEditorCreated;
    Signal<int, int, BaseGUIObject*> OnCellEditorCreated;
    Signal<int> OnEditFinished;
    // Row, column, text before and after editing.
    Signal<int, int, std::wstring, std::wstring> OnCellEdited;

private:
    std::shared_ptr<ListBoxImpl> impl_;
};

} // namespace AUILib
