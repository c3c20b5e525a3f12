// The implementation of Line: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Line.h"
#include "LineQt.h"


namespace AUILib {

class Line::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    LineQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<LineQt> widget_;
};

} // namespace AUILib
