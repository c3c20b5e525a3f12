// The implementation of DrawElement: watches its drawing pad, never deletes
// a placed one; the pad knows its control until the control goes.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DrawElement.h"
#include "DrawElementQt.h"

namespace AUILib {

class DrawElement::impl : public BaseImplQt {
public:
    explicit impl(DrawElement& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    DrawElementQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    ControlLifetime<DrawElementQt, DrawElement> widget_;
};

} // namespace AUILib
