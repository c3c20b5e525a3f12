// The implementation of DoubleSpinEdit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DoubleSpinEdit.h"
#include "DoubleSpinEditQt.h"


namespace AUILib {

class DoubleSpinEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DoubleSpinEditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<DoubleSpinEditQt> widget_;
};

} // namespace AUILib
