// The implementation of CheckBox: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "CheckBox.h"
#include "CheckBoxQt.h"


namespace AUILib {

class CheckBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    CheckBoxQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<CheckBoxQt> widget_;
};

} // namespace AUILib
