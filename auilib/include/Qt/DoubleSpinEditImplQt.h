// The implementation of DoubleSpinEdit: watches its widget, never deletes a
// placed one, and passes the widget's notifications on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DoubleSpinEdit.h"
#include "DoubleSpinEditQt.h"

namespace AUILib {

class DoubleSpinEdit::impl : public BaseImplQt {
public:
    explicit impl(DoubleSpinEdit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    DoubleSpinEditQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    void OnValueChanged(double value);
    void OnArrowValueChanged(double value, double step);

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<DoubleSpinEditQt, DoubleSpinEdit> widget_;
};

} // namespace AUILib
