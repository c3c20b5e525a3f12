// The implementation of CheckBox: watches its widget (deletes it only if it
// goes while the widget was never placed) and reports the widget's clicks
// through the control's OnClicked while the control exists.
#pragma once

#include "BaseImplQt.h"
#include "CheckBox.h"
#include "CheckBoxQt.h"
#include "ControlLifetime.h"

namespace AUILib {

class CheckBox::impl : public BaseImplQt {
public:
    explicit impl(CheckBox& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    CheckBoxQt* GetWidget() const { return widget_.data(); }

    // Called by the control as it goes: clicks are no longer reported.
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    ControlLifetime<CheckBoxQt, CheckBox> widget_;
};

} // namespace AUILib
