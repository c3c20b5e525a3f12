// The implementation of TabView: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "TabView.h"
#include "TabViewQt.h"


namespace AUILib {

class TabView::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    TabViewQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<TabViewQt> widget_;
};

} // namespace AUILib
