// The implementation of ProgressBar: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ProgressBar.h"
#include "ProgressBarQt.h"


namespace AUILib {

class ProgressBar::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ProgressBarQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ProgressBarQt> widget_;
};

} // namespace AUILib
