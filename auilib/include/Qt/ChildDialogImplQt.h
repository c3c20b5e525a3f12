// The implementation of ChildDialog: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ChildDialog.h"
#include "ChildDialogQt.h"


namespace AUILib {

class ChildDialog::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ChildDialogQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ChildDialogQt> widget_;
};

} // namespace AUILib
