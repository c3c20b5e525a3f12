// The implementation of DateEdit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "DateEdit.h"
#include "DateEditQt.h"

#include <QPointer>

namespace AUILib {

class DateEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DateEditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<DateEditQt> widget_;
};

} // namespace AUILib
