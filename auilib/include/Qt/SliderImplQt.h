// The implementation of Slider: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "Slider.h"
#include "SliderQt.h"

#include <QPointer>

namespace AUILib {

class Slider::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SliderQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<SliderQt> widget_;
};

} // namespace AUILib
