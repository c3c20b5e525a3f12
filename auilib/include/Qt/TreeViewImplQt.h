// The implementation of TreeView: the standard model, the item delegate and
// style of the widget, the selection and check state the widget and the
// handlers share, and the handlers that turn the widget's Qt signals into
// the control's signals.
//
// The state keeps raw item pointers (anchor, clicked, edited items, the
// tracked selection, tooltips). Every removal of rows goes through one
// purge (rowsAboutToBeRemoved, modelAboutToBeReset) that drops each item of
// the removed subtrees from all of them, whoever removes the rows.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "CustStandardItem.h"
#include "PictureCache.h"
#include "TreeModel.h"
#include "ItemDataMap.h"
#include "TreeView.h"
#include "TreeViewQt.h"

#include <QItemSelection>
#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStandardItemModel>

#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace AUILib {

class CustomStyle;
class TreeViewItemDelegate;
class VirtualTreeDelegate;

class TreeView::impl : public BaseImplQt {
public:
    explicit impl(TreeView& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    void SetAcceptDrops(bool accept) override;
    bool IsAcceptDrops() override;
    bool ShowToolTipAt(Point screenPosition) override;

    TreeViewQt* GetView() const { return view_.data(); }
    TreeView* Owner() const { return view_.Owner(); }
    // The control goes first: the widget and the delegate forget it.
    void ForgetOwner();
    QStandardItemModel* Model() const { return model_.data(); }
    // View alive and standard mode.
    bool Usable() const { return view_.Get() && !virtualMode && model_; }
    // The item's index when the item is a real item of this model; else
    // invalid (null, a special handle, a foreign or removed item).
    QModelIndex IndexOf(QStandardItem* item) const;
    QStandardItem* ItemOf(const QModelIndex& index) const;
    static bool IsSpecialHandle(const QStandardItem* item);
    // The selection's indexes held persistently: a handler may remove rows
    // between two reports.
    static QList<QPersistentModelIndex> HeldIndexes(const QItemSelection& selection);

    // The control's item construction: text, last-known text, checkable.
    CustStandardItem* BuildItem(const QString& text) const;
    // Gives a just inserted item its data and, with wrapped text, its
    // height; null when the model did not take the item in.
    QStandardItem* FinishNewItem(QStandardItem* item, any data);
    void SetConnections();
    void RefitColumn();

    // Geometry and checks shared by the public operations and the widget.
    QStandardItem* HitTest(const QPoint& point, unsigned* flags) const;
    Rect GetItemRect(QStandardItem* item, bool contentOnly) const;
    bool GetCheck(QStandardItem* item) const;
    void SetCheck(QStandardItem* item, bool checked);
    QStandardItem* ParentItem(QStandardItem* item) const;
    QStandardItem* Sibling(QStandardItem* item, int step) const;
    QStandardItem* FirstChild(QStandardItem* item) const;
    std::list<QStandardItem*> SelectedItems() const;
    void SetCheckableRecursive(bool checkable, QStandardItem* start);

    // Word wrap: row heights that fit the wrapped text.
    void UpdateItemSizeHint(QStandardItem* item, bool clearHint);
    QRect ComputeWordWrapRect(QStandardItem* item) const;
    void UpdateWrappedTextSizeHint(bool clearHint);

    // Held by the caller: the text handlers may drop the control.
    bool SetItemText(QStandardItem* item, const std::wstring& text);
    void SetItemTooltip(QStandardItem* item, const std::wstring& text);

    // Item data: the value's id lives in the item's DataIdRole.
    bool SetItemData(QStandardItem* item, any data);
    any GetItemData(QStandardItem* item) const;
    bool RemoveItemData(QStandardItem* item);
    void CopyItemData(QStandardItem* source, QStandardItem* copy);
    void ClearItemData();
    void ForgetItemData(QStandardItem* item);

    // Drops every reference to the items of the removed subtrees.
    void ForgetItems(const std::list<QStandardItem*>& items);
    void ForgetAllItems();

    // Shared with TreeViewQt and the delegate.
    QStandardItem* anchorItem = nullptr;
    QStandardItem* lastClickedItem = nullptr;
    std::vector<QStandardItem*> trackedSelection;
    bool headerLabelSet = false;
    bool selectionNotification = true;
    bool inSelectionChange = false;
    QItemSelection reportedSelection;
    QStandardItem* editedItem = nullptr;
    int tooltipWidth = 32767;
    std::unordered_map<QStandardItem*, std::wstring> tooltips;
    // The texts as given, so that a new width wraps them afresh instead of
    // wrapping the HTML of the old width.
    std::unordered_map<QStandardItem*, std::wstring> tooltipSources;
    int checkMode = 0;
    bool hasButtons = true;
    QStandardItem* clickItem = nullptr;
    bool multiSelection = false;
    QPersistentModelIndex lastClickedIndex;
    bool virtualMode = false;
    bool rowsDragAndDrop = false;
    bool acceptDrops = false;
    bool singleRoot = false;
    bool updatesEnabled = true;
    QString initialStyleSheet;

    // ---- virtual mode, pictures, sorting ----
    // View alive and virtual mode on.
    bool VirtualUsable() const;
    TreeModel* VirtualModel() const { return virtualModel_.data(); }
    void SetVirtualMode(bool on);
    void ClearVirtualItems();
    // Creates the cache on first use and hands it to the virtual model.
    PictureCache& Pictures();
    PictureCache* PicturesIfAny() const { return pictures_.get(); }
    void DropPictures();
    // The shared part of both AddPicture forms: stores the bytes and sets
    // the view's icon size; -1 when refused.
    int StorePicture(const unsigned char* data, int length, ImageTypes type, int size, const std::wstring& path);
    // Standard mode: shows the cache's picture index on item.
    bool ShowPicture(QStandardItem* item, int index);
    // Drops item (null: every item) from the pictures, fonts and colours.
    void ForgetAppearance(QStandardItem* item);
    std::vector<QStandardItem*> fontItems;
    // Appearance: the view's font and look written as style-sheet rules.
    FontData GetFont() override;
    bool ShowVirtualToolTipAt(Point screenPosition);
    // Sets the custom style's flags and the style again, so the view
    // repaints with them.
    void SetStyleFlags(int flags);
    CustomStyle* Style() const { return customStyle_; }
    void AppendStyleRule(const QString& rule);
    VirtTreeItem* tooltipVirtualItem = nullptr;
    int textColor = -1;
    int itemHeight = -1;
    std::vector<QStandardItem*> colourItems;
    VirtTreeItem* lastSelectedVirtualItem = nullptr;
    VirtTreeItem* currentVirtualItem = nullptr;
    // What every CustStandardItem of this control orders itself by;
    // emptied when this object goes.
    std::shared_ptr<CustStandardItem::SortContext> sortContext = std::make_shared<CustStandardItem::SortContext>();
    // Values attached to items; ids start at 1 and are never reused.
    ItemDataMap itemData;

private:
    void OnClicked(const QModelIndex& index);
    void OnDoubleClicked(const QModelIndex& index);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnExpandedOrCollapsed(const QModelIndex& index, bool expanded);
    void OnCloseEditor();
    void OnVirtualSelectionChanged(TreeView& owner, const QItemSelection& selected, const QItemSelection& deselected);
    void OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void CheckClick(const QModelIndex& index, TreeView& owner);
    void ShiftRange(QStandardItem* hit, bool onBox);
    void CheckSiblingRange(QStandardItem* from, QStandardItem* to, bool downwards, bool target);
    void CheckChildren(QStandardItem* item, bool state);
    void UpdateParentCheck(QStandardItem* item, bool state);
    int TopOf(QStandardItem* item) const { return GetItemRect(item, true).top; }

    QPointer<QStandardItemModel> model_;
    QPointer<TreeViewItemDelegate> delegate_;
    CustomStyle* customStyle_ = nullptr;
    // The connections SetConnections made, dropped before it runs again.
    std::vector<QMetaObject::Connection> connections_;
    QPointer<TreeModel> virtualModel_;
    QPointer<VirtualTreeDelegate> virtualDelegate_;
    std::unique_ptr<PictureCache> pictures_;
    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<TreeViewQt, TreeView> view_;
};

} // namespace AUILib
