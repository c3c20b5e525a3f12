// A control's pop-up menu, held through std::shared_ptr and attached with
// BaseGUIObject::InsertContextMenu. This version makes the menu window but
// has no entries yet, so showing it shows nothing.
#pragma once

#include <memory>

class QWidget;

namespace AUILib {

class SkinManager;

class ContextMenu {
public:
    class impl;

    ContextMenu();
    // Not virtual: the menu is always destroyed through the deleter of the
    // shared pointer it was made with.
    ~ContextMenu();

    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    // False for a null parent; otherwise a new menu window under parent
    // replaces the previous one.
    virtual bool Create(QWidget* parent);
    // True would pop the menu up at the cursor and return once it closed;
    // false closes the menu window.
    virtual void Show(bool show);
    // Would pop the menu up at (x, y) on the screen and return once it closed.
    virtual void Show(int x, int y);

    SkinManager* GetSkinManager();

private:
    std::unique_ptr<impl> impl_;
};

} // namespace AUILib
