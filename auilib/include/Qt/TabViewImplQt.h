// The implementation of TabView: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "TabView.h"
#include "TabViewQt.h"

#include <QPointer>

namespace AUILib {

class TabView::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    TabViewQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<TabViewQt> widget_;
};

} // namespace AUILib
