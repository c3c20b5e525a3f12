// Raises an implementation's programmatic-change flag for one change the
// implementation makes to its own widget, and puts the flag back however
// the change ends (return or exception). The widget's notification
// handlers read the flag (BaseImplQt::IsChangeInProgress) and do not report
// such a change as the user's.
//
// Use: a block per change,
//     ChangeFlagGuard guard(*this);
//     widget->setText(text);
// Guards nest: the inner one restores the value it found (raised), so the
// flag stays up until the outermost change is over. The implementation must
// outlive the guard; a change whose handlers may drop the control holds the
// implementation (GetBaseImpl) across it.
#pragma once

#include "BaseImplQt.h"

namespace AUILib {

class ChangeFlagGuard {
public:
    explicit ChangeFlagGuard(BaseImplQt& impl) : impl_(impl), previous_(impl.IsChangeInProgress())
    {
        impl_.SetChangeInProgress(true);
    }
    ~ChangeFlagGuard() { impl_.SetChangeInProgress(previous_); }
    ChangeFlagGuard(const ChangeFlagGuard&) = delete;
    ChangeFlagGuard& operator=(const ChangeFlagGuard&) = delete;

private:
    BaseImplQt& impl_;
    const bool previous_;
};

} // namespace AUILib
