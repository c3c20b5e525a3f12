// The implementation of ScrollArea: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ScrollArea.h"
#include "ScrollAreaQt.h"


namespace AUILib {

class ScrollArea::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ScrollAreaQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ScrollAreaQt> widget_;
};

} // namespace AUILib
