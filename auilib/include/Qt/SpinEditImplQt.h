// The implementation of SpinEdit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "SpinEdit.h"
#include "SpinEditQt.h"


namespace AUILib {

class SpinEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SpinEditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<SpinEditQt> widget_;
};

} // namespace AUILib
