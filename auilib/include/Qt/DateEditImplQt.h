// The implementation of DateEdit: watches its widget, never deletes a placed
// one, and passes the widget's changes on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "DateEdit.h"
#include "DateEditQt.h"

namespace AUILib {

class DateEdit::impl : public BaseImplQt {
public:
    explicit impl(DateEdit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    DateEditQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    void OnDateTimeChanged(const QDateTime& value);

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<DateEditQt, DateEdit> widget_;
};

} // namespace AUILib
