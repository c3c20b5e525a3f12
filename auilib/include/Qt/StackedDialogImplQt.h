// The implementation of StackedDialog: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "StackedDialog.h"
#include "StackedDialogQt.h"


namespace AUILib {

class StackedDialog::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    StackedDialogQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<StackedDialogQt> widget_;
};

} // namespace AUILib
