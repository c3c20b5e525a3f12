// The implementation of ProgressBar: watches its widget; deletes it only if it
// goes while the widget was never placed (a placed widget belongs to its
// parent), and passes the bar's value changes on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ProgressBar.h"
#include "ProgressBarQt.h"

namespace AUILib {

class ProgressBar::impl : public BaseImplQt {
public:
    explicit impl(ProgressBar& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    ProgressBarQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    // The control's operations; the caller holds this implementation, since
    // a value handler may drop the control.
    bool SetValue(int value);
    void SetRange(int minimum, int maximum);

private:
    // Last, so it goes first: the connection ends before anything else.
    ControlLifetime<ProgressBarQt, ProgressBar> widget_;
};

} // namespace AUILib
