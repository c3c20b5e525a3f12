// The implementation of TabView: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent),
// and passes the widget's changes of the current tab on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "TabView.h"
#include "TabViewQt.h"

namespace AUILib {

class TabView::impl : public BaseImplQt {
public:
    explicit impl(TabView& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    TabViewQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    // Last, so it goes first: the connection ends before anything else.
    ControlLifetime<TabViewQt, TabView> widget_;
};

} // namespace AUILib
