// The implementation of DateEdit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DateEdit.h"
#include "DateEditQt.h"


namespace AUILib {

class DateEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DateEditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<DateEditQt> widget_;
};

} // namespace AUILib
