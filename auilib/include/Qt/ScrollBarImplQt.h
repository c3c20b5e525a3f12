// The implementation of ScrollBar: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ScrollBar.h"
#include "ScrollBarQt.h"


namespace AUILib {

class ScrollBar::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ScrollBarQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ScrollBarQt> widget_;
};

} // namespace AUILib
