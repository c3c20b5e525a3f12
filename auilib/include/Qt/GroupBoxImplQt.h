// The implementation of GroupBox: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "GroupBox.h"
#include "GroupBoxQt.h"


namespace AUILib {

class GroupBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    GroupBoxQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<GroupBoxQt> widget_;
};

} // namespace AUILib
