// The implementation of SpinEdit: watches its widget, never deletes a placed
// one, and passes the widget's notifications on to the control's signals.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "SpinEdit.h"
#include "SpinEditQt.h"

namespace AUILib {

class SpinEdit::impl : public BaseImplQt {
public:
    explicit impl(SpinEdit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    SpinEditQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    void OnValueChanged(long long value);
    void OnArrowValueChanged(long long value, long long step);

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<SpinEditQt, SpinEdit> widget_;
};

} // namespace AUILib
