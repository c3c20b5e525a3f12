// The implementation of RadioButton: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "RadioButton.h"
#include "RadioButtonQt.h"

#include <QPointer>

namespace AUILib {

class RadioButton::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    RadioButtonQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<RadioButtonQt> widget_;
};

} // namespace AUILib
