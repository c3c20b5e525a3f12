// The implementation of DrawElement: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DrawElement.h"
#include "DrawElementQt.h"


namespace AUILib {

class DrawElement::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DrawElementQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<DrawElementQt> widget_;
};

} // namespace AUILib
