// The implementation of Slider: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Slider.h"
#include "SliderQt.h"


namespace AUILib {

class Slider::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SliderQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<SliderQt> widget_;
};

} // namespace AUILib
