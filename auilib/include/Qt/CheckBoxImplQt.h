// The implementation of CheckBox: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "CheckBox.h"
#include "CheckBoxQt.h"

#include <QPointer>

namespace AUILib {

class CheckBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    CheckBoxQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<CheckBoxQt> widget_;
};

} // namespace AUILib
