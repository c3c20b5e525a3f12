// The private part of ContextMenu: the menu window (watched only: its Qt
// parent owns it), the records of this menu's entries and the link to the
// menu holding this one as a submenu.
#pragma once

#include "ContextMenu.h"
#include "ContextMenuQt.h"

#include <QPointer>

#include <vector>

class QAction;
class QImage;

namespace AUILib {

class ContextMenu::impl {
public:
    explicit impl(QWidget* parent);
    // Submenus that outlive this menu become top-level menus whose counter
    // goes on from this tree's, so their new entries never repeat an id.
    ~impl();

    impl(const impl&) = delete;
    impl& operator=(const impl&) = delete;

    QPointer<ContextMenuQt> GetCtrl() const { return menu_; }
    // Draws an id from the tree's counter.
    int GetNextID();
    void SetParent(impl* parent) { parent_ = parent; }

    int InsertItem(int position, ItemData record);
    int InsertSeparator(int position);
    std::shared_ptr<ContextMenu> InsertSubmenu(int position, const std::wstring& title, bool append);
    bool RemoveItem(int id);
    int Count() const;
    int FindMenuItem(int id) const;
    int GetMenuItemID(int position) const;
    int GetItemFlags(int id) const;
    // The entry's action anywhere in the tree, null when none.
    QAction* FindAction(int id) const;
    ItemData* FindRecord(int id);
    std::list<int> ItemsWithFlag(int flag) const;
    void SetPictureData(int id, const QImage& image, bool checked);
    // Shows the picture of the action's current state, if one is held.
    void RefreshPicture(QAction* action);

    // While a menu's loop runs, a picked entry's handler waits until the
    // loop has returned (before Show does): the handler may then delete the
    // menu's window, or the window holding it, without Qt's menu code still
    // running on it. ExecFrame marks such a loop; Defer holds the handler
    // back when the action belongs to the open menu tree.
    class ExecFrame {
    public:
        explicit ExecFrame(QObject* menu);
        ~ExecFrame();
        ExecFrame(const ExecFrame&) = delete;
        ExecFrame& operator=(const ExecFrame&) = delete;
        // Runs the held handlers, in pick order.
        void RunHeld();

    private:
        friend class impl;
        QPointer<QObject> menu_;
        std::vector<std::function<void()>> held_;
    };
    static bool Defer(QObject* action, const std::function<void()>& call);

private:
    impl* Top();
    // Erases the records with the id from this list or, when none is here,
    // from the first submenu (depth first) that holds one.
    bool EraseRecord(int id);
    QAction* ActionAt(int position) const;
    // Stores the entry's record at the menu position (at the end when past
    // it) and gives back its id.
    int KeepRecord(int position, ItemData record);
    static bool ActionHasId(const QAction* action, int id);

    QPointer<ContextMenuQt> menu_;
    std::vector<ItemData> items_;
    impl* parent_ = nullptr;
    int nextId_ = 0;
};

} // namespace AUILib
