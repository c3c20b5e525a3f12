// The implementation of Slider: watches its widget, never deletes a placed
// one, and passes the widget's notifications on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Slider.h"
#include "SliderQt.h"

namespace AUILib {

class Slider::impl : public BaseImplQt {
public:
    explicit impl(Slider& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    SliderQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<SliderQt, Slider> widget_;
};

} // namespace AUILib
