// The implementation of RadioButton: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "RadioButton.h"
#include "RadioButtonQt.h"


namespace AUILib {

class RadioButton::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    RadioButtonQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<RadioButtonQt> widget_;
};

} // namespace AUILib
