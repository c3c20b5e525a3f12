// A pop-up menu of command items, separators and submenus, shown at the
// cursor or at a screen point. It is not a control: it is always held
// through std::shared_ptr and attached to a control with
// BaseGUIObject::InsertContextMenu, or given to a push button as its
// drop-down menu.
//
// Every entry draws an id from the counter of its menu tree (the top-level
// menu and all its submenus): ids start at 0, are unique in the tree and are
// never reused. Before Create every operation fails (-1, false, 0, null or an
// empty list); once the menu window is gone the menu has no entries.
#pragma once

#include "AUILibEnums.h"

#include <functional>
#include <list>
#include <memory>
#include <string>

class QImage;
class QWidget;

namespace AUILib {

class ContextMenu;
class SkinManager;

// The record of one menu entry.
struct ItemData {
    ItemData() = default;
    ItemData(const std::wstring& text, const std::function<void()>& handler, int flags)
        : handler(handler), text(text), flags(flags)
    {
    }
    ItemData(const std::wstring& text, const std::function<void(int)>& idHandler, int flags)
        : idHandler(idHandler), text(text), flags(flags)
    {
    }

    std::function<void()> handler;      // called with no argument when picked
    std::function<void(int)> idHandler; // called with the entry's id when picked
    std::wstring text;                  // title for a submenu, empty for a separator
    int flags = 0;                      // ContextMenu::ItemFlag bits; others kept as given
    std::shared_ptr<ContextMenu> submenu;
    int id = -1;
    std::shared_ptr<QImage> checkedPicture;
    std::shared_ptr<QImage> uncheckedPicture;
};

class ContextMenu {
public:
    class impl;

    enum ItemFlag : int {
        DisabledIfReadOnly = 1,
        DisabledIfEmptyClipBoard = 2,
        Checkable = 4,
        Checked = 8,  // initial state; counts only together with Checkable
    };

    ContextMenu();
    // Not virtual: the menu is always destroyed through the deleter of the
    // shared pointer it was made with.
    ~ContextMenu();

    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    // False for a null parent; otherwise a new, empty menu window under
    // parent replaces the previous menu.
    virtual bool Create(QWidget* parent);
    // True pops the menu up at the cursor and returns once it closed (a
    // picked item's handler has run by then); false closes the menu window.
    virtual void Show(bool show);
    // Pops the menu up at (x, y) on the screen and returns once it closed.
    virtual void Show(int x, int y);
    // The new entry's id; -1 for an empty handler or a text this menu
    // already holds (a separator's text is empty).
    virtual int AddItem(const std::wstring& text, const std::function<void()>& handler, int flags);
    virtual int AddItem(const std::wstring& text, const std::function<void(int)>& handler, int flags);
    // Before the entry at position; at the end when there is none there.
    virtual int InsertItem(int position, const std::wstring& text, const std::function<void()>& handler,
                           int flags);
    virtual int InsertItem(int position, const std::wstring& text, const std::function<void(int)>& handler,
                           int flags);
    virtual int AddSeparator();
    virtual int InsertSeparator(int position);
    // Searches the whole tree.
    virtual bool RemoveItem(int id);
    virtual bool EnableItem(int id, bool enable, bool unused);
    virtual bool IsEnabledItem(int id);
    // Entries of this menu, submenu entries included, not their contents.
    virtual int Count();
    // Position among this menu's own entries; -1 when not there.
    virtual int GetMenuItemIndex(int id);
    virtual int GetMenuItemID(int position);
    // False when the entry is missing or not checkable.
    virtual bool CheckItem(int id, bool check);
    virtual bool IsCheckedItem(int id);
    // The picture shown while the entry is (checked) or is not checked; the
    // first picture given for a state stays.
    virtual void AddPictureToItem(int id, const std::wstring& path, bool checked, int unused, BitmapType type);
    virtual void AddPictureToItem(int id, const unsigned char* data, int length, ImageTypes imageType, int unused,
                                  BitmapType type, bool checked);

    // Null when the menu has no window or, for InsertSubmenu, there is no
    // entry at position.
    std::shared_ptr<ContextMenu> AddSubmenu(const std::wstring& title);
    std::shared_ptr<ContextMenu> InsertSubmenu(int position, const std::wstring& title);
    // Ids of the tree's entries with the flag, a submenu's ids at its place.
    std::list<int> ItemsDisabledIfReadOnly();
    std::list<int> ItemsDisabledIfEmptyClipBoard();
    std::list<int> ItemsCheckable();
    // Those of ItemsCheckable that are checked now.
    std::list<int> ItemsChecked();
    // Flags of an entry of this menu (submenus not searched); 0 when none.
    int GetItemFlags(int id);
    SkinManager* GetSkinManager();

    impl* GetImpl() const { return impl_.get(); }

private:
    std::unique_ptr<impl> impl_;
};

} // namespace AUILib
