// Acts inside a pop-up's own event loop (a menu's exec, a combo box's list):
// once QApplication::activePopupWidget() is there, runs the given action on
// it from the event loop, as a user would act on the open pop-up. Waits for
// the pop-up by checking on each turn of the loop; gives up, and closes any
// popup, after `turns` checks so that a test whose pop-up never opened fails
// instead of hanging.
#pragma once

#include <functional>

class QAction;
class QMenu;
class QWidget;

class PopupPicker {
public:
    explicit PopupPicker(std::function<void(QWidget* popup)> action, int turns = 500);
    ~PopupPicker();
    PopupPicker(const PopupPicker&) = delete;
    PopupPicker& operator=(const PopupPicker&) = delete;

    bool Acted() const { return acted_; }

private:
    void Check();

    std::function<void(QWidget*)> action_;
    int turnsLeft_;
    bool acted_ = false;
    class QTimer* timer_;
};

// A left click in the middle of the action's place in the menu.
void ClickAction(QMenu* menu, QAction* action);
