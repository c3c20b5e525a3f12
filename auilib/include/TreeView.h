// TreeView: the tree control. Items are handed out as QStandardItem*
// handles of the control's own model; three handle values never name an
// item (TreeItemRoot, TreeItemFirst, TreeItemLast) and steer InsertItem.
// An operation given a null handle, a special handle, an item of another
// model or an item that is gone, or called once the widget is gone, does
// nothing and returns its empty result.
#pragma once

#include "AUILibAny.h"
#include "AUILibEnums.h"
#include "AUILibTypes.h"
#include "BaseGUIObject.h"
#include "Event.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

class QStandardItem;

namespace AUILib {

class Edit;
class VirtTreeItem;

// The special handles, read as signed 64-bit integers.
inline QStandardItem* const TreeItemRoot = reinterpret_cast<QStandardItem*>(static_cast<intptr_t>(-65536));
inline QStandardItem* const TreeItemFirst = reinterpret_cast<QStandardItem*>(static_cast<intptr_t>(-65535));
inline QStandardItem* const TreeItemLast = reinterpret_cast<QStandardItem*>(static_cast<intptr_t>(-65534));

class TreeView : public BaseGUIObject {
public:
    class impl;

    // 0 no check boxes; 1 check boxes whose clicks spread through the tree
    // and Shift ranges of siblings; any other value plain check boxes.
    using CheckMode = int;
    // Bits of the flags HitTest writes.
    enum HitFlag : unsigned {
        HitNowhere = 1,
        HitIcon = 2,
        HitText = 4,
        HitIndent = 8,
        HitButton = 16,
        HitCheckBox = 32,
    };
    // (text, data, picture index) of the batch forms.
    using ItemEntries = std::list<std::tuple<const std::wstring, any, int>>;
    using CanMoveCallback = std::function<bool(QStandardItem*, std::vector<QStandardItem*>&, bool)>;

    TreeView();
    ~TreeView() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    virtual void SetHeaderLabel(const std::wstring& text);
    virtual void SetHeaderVisible(bool visible);
    virtual bool IsHeaderVisible();
    virtual QStandardItem* AddItem(const std::wstring& text, any data = any());
    virtual int AddItems(ItemEntries& entries);
    virtual QStandardItem* InsertItem(const std::wstring& text, QStandardItem* parent, QStandardItem* after,
                                      any data = any());
    virtual int InsertItems(ItemEntries& entries, QStandardItem* parent, QStandardItem* after);
    virtual QStandardItem* AddSubItem(const std::wstring& text, any data, QStandardItem* parent);
    virtual int AddSubItems(ItemEntries& entries, QStandardItem* parent);
    virtual QStandardItem* CurrentItem();
    virtual int Count();
    virtual void SetCurrentItem(QStandardItem* item);
    virtual void SelectItem(QStandardItem* item, bool select);
    virtual bool IsSelectedItem(QStandardItem* item);
    virtual std::wstring GetItemText(QStandardItem* item);
    virtual bool SetItemText(QStandardItem* item, const std::wstring& text);
    virtual any GetItemData(QStandardItem* item);
    virtual bool SetItemData(QStandardItem* item, any data);
    virtual bool RemoveItemData(QStandardItem* item);
    virtual bool RemoveItem(QStandardItem* item);
    virtual bool RemoveAllItems(bool alsoPictures);
    virtual void SetExpanded(QStandardItem* item, bool expanded);
    virtual bool IsExpanded(QStandardItem* item);
    virtual void EnableEditItems(bool enable);
    virtual bool IsEnabledEditItems();
    virtual QStandardItem* VisibleTopLevelItem(QStandardItem* item);
    virtual QStandardItem* GetTopLevelItem(QStandardItem* item);
    virtual QStandardItem* GetRootItem();
    virtual QStandardItem* GetParentItem(QStandardItem* item);
    virtual QStandardItem* GetFirstChild(QStandardItem* item);
    virtual QStandardItem* NextSibling(QStandardItem* item);
    virtual QStandardItem* PrevSibling(QStandardItem* item);
    virtual std::list<QStandardItem*> CheckedItems();
    virtual std::list<QStandardItem*> SelectedItems();
    virtual void SetCheckMode(CheckMode mode);
    virtual CheckMode GetCheckMode();
    virtual void SetCheck(QStandardItem* item, bool checked);
    virtual bool GetCheck(QStandardItem* item);
    // The item under point (viewport coordinates); flags get HitFlag bits.
    virtual QStandardItem* HitTest(Point point, unsigned int* flags);
    virtual Rect GetItemRect(QStandardItem* item, bool contentOnly);
    virtual bool ItemHasChildren(QStandardItem* item);

    void SetUpdatesEnabled(bool enabled);
    bool IsVirtualModeEnabled();
    int ChildCount(QStandardItem* item, bool recursive);

    void SetMultiSelection(bool on);
    bool IsSetMultiSelection();
    // Refused (false) while check boxes are on: the two exclude each other.
    bool EnableRowsDragAndDrop(bool on);
    bool IsEnableRowsDragAndDrop();
    void SetDragAndDropCanMove(const CanMoveCallback& canMove);
    void SetSingleRoot(bool singleRoot);
    bool IsSingleRoot();
    // Opens the label editor on item; null when the item cannot be edited.
    Edit* EditLabel(QStandardItem* item);
    // Closes the open label editor, storing its text first when save.
    void EndEditLabel(bool save);
    void DisableEditLabel(QStandardItem* item, bool disable);
    bool IsDisabledEditLabel(QStandardItem* item);

    // Item tooltips are kept wrapped at the tooltip width (HTML).
    void SetItemTooltip(QStandardItem* item, const std::wstring& text);
    std::wstring GetItemToolTip(QStandardItem* item);
    // Accepted from 51 to 32766 pixels; rewraps every stored tooltip.
    void SetItemToolTipMaxWidth(int width);
    void EnableWordWrapText(bool on);
    bool IsEnabledWordWrapText();
    void DisableAutomaticTooltips(bool disable);

    // ---- virtual mode: the view shows VirtTreeItem nodes instead ----
    // Switching either way discards the items and pictures of the mode left.
    void SetVirtualMode(bool on);
    // Nodes are added silently: UpdateVirtualView shows them.
    VirtTreeItem* AddVirtualTreeItem(const std::wstring& text, VirtTreeItem* parent, any data = any());
    virtual std::wstring GetItemText(VirtTreeItem* item);
    virtual bool SetItemText(VirtTreeItem* item, const std::wstring& text);
    virtual bool SetItemTooltip(VirtTreeItem* item, const std::wstring& text);
    virtual any GetItemData(VirtTreeItem* item);
    virtual bool SetItemData(VirtTreeItem* item, any data);
    int GetLevel(VirtTreeItem* item);
    void UpdateVirtualView();
    void SetCurrentVirtualItem(VirtTreeItem* item);
    VirtTreeItem* CurrentVirtualItem();
    VirtTreeItem* RootItem();
    VirtTreeItem* GetParentItem(VirtTreeItem* item);
    VirtTreeItem* GetChildItem(VirtTreeItem* item, int row);
    int ChildCount(VirtTreeItem* item);
    void EnableVirtualItemCheckboxes(bool on);
    void SetCheck(VirtTreeItem* item, bool check, bool withChildren);
    virtual bool GetCheck(VirtTreeItem* item);
    void SetCheckAllVirtualItems(bool check);
    bool IsCheckedAllVirtualItems();
    virtual void RemoveAllVirtualItems();
    virtual void SetExpanded(VirtTreeItem* item, bool expanded);
    virtual bool IsExpanded(VirtTreeItem* item);
    void SetBoldTextPosition(VirtTreeItem* item, int start, int end);

    // ---- pictures, in both modes; the bitmap type is not used ----
    virtual int AddPicture(QStandardItem* item, const std::wstring& path, int size, BitmapType type);
    virtual int AddPicture(QStandardItem* item, const unsigned char* data, int length, ImageTypes type, int size,
                           BitmapType bitmapType);
    virtual bool SetPicture(QStandardItem* item, int index);
    virtual std::wstring GetItemPicturePath(QStandardItem* item);
    virtual int AddPicture(VirtTreeItem* item, const std::wstring& path, int size, BitmapType type);
    virtual int AddPicture(VirtTreeItem* item, const unsigned char* data, int length, ImageTypes type, int size,
                           BitmapType bitmapType);
    virtual bool SetPicture(VirtTreeItem* item, int index);
    virtual std::wstring GetItemPicturePath(VirtTreeItem* item);

    // ---- appearance ----
    enum StyleFlag : int {
        StyleButtons = 1,        // branch marks shown
        StyleCommonMarks = 2,    // the common style's marks
        StyleCheckBoxes = 8,
        StyleKeepInactive = 16,  // an inactive selection keeps its colour
        StyleRowSelect = 32,
        StyleBoxMarks = 64,
    };
    // Adds the flags of add, then removes those of remove.
    void SetStyle(int remove, int add);
    void SetBackgroundColor(RGBColor colour);
    // Colours are 0x00RRGGBB; -1 means none.
    void SetTextColor(int colour, bool applyToItems);
    int GetTextColor();
    void SetSelectionColors(int textColour, int backgroundColour);
    void SetItemHeight(int height);
    int GetItemHeight();
    FontData GetFont();
    // Unspecified fields of font keep the current ones.
    void SetFont(FontData& font, bool applyToItems);
    FontData GetItemFont(QStandardItem* item);
    void SetItemFont(QStandardItem* item, FontData& font);
    void SetItemBold(QStandardItem* item, bool bold);
    bool IsItemBold(QStandardItem* item);
    void SetItemTextColor(QStandardItem* item, int colour);
    int GetItemTextColor(QStandardItem* item);

    // ---- sorting: always ascending in the callback's sense ----
    using SortCallback = std::function<bool(std::wstring, any, std::wstring, any)>;
    using VirtualSortCallback = std::function<bool(VirtTreeItem*, VirtTreeItem*)>;
    bool SetSortFunc(const SortCallback& callback);
    bool SetSortFunc(const VirtualSortCallback& callback);
    // Orders the children of item (top level for null), with recursively
    // every level below it.
    void SortChildren(QStandardItem* item, bool recursively);
    void SortVirtChildren(VirtTreeItem* item, bool recursively);

    Signal<QStandardItem*> OnItemClicked;
    // Handlers of the expand, collapse and selection signals (the virtual
    // ones too) must not delete the widget or its window at once: end a
    // dialog with Done, close() or deleteLater (see Signal.h).
    Signal<QStandardItem*> OnItemExpanded;
    Signal<QStandardItem*> OnItemCollapsed;
    Signal<QStandardItem*> OnItemCheckClicked;
    Signal<Event::Key> OnKeyReleased;
    // Every deselected item, then every selected one; SelectedItems() tells
    // them apart inside the handler.
    Signal<QStandardItem*> OnItemSelectionChanged;
    Signal<QStandardItem*> OnItemRightClicked;
    Signal<QStandardItem*> OnItemDoubleClicked;
    // (reference, items, after reference rather than as its child)
    Signal<QStandardItem*, std::vector<QStandardItem*>&, bool> OnItemsAboutToMove;
    Signal<QStandardItem*, std::vector<QStandardItem*>&, bool> OnItemsMoved;
    Signal<QStandardItem*, std::wstring> OnItemTextChanged;
    // (item, previous text, new text)
    Signal<QStandardItem*, std::wstring, std::wstring> OnItemTextEdited;
    Signal<QStandardItem*> OnLabelEditBegin;
    Signal<QStandardItem*, Edit*> OnEditorCreated;
    Signal<QStandardItem*> OnLabelEditEnd;
    Signal<QStandardItem*> OnItemRemoving;
    Signal<> OnAllItemsRemoved;
    Signal<> OnSelectionBegin;
    Signal<> OnSelectionEnd;
    Signal<VirtTreeItem*> OnVirtualItemClicked;
    Signal<VirtTreeItem*> OnVirtualItemExpanded;
    Signal<VirtTreeItem*> OnVirtualItemCollapsed;
    Signal<VirtTreeItem*> OnVirtualSelectionChanged;
    Signal<VirtTreeItem*> OnVirtualItemRightClicked;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
