// The implementation of Edit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Edit.h"
#include "EditQt.h"


namespace AUILib {

class Edit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    EditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<EditQt> widget_;
};

} // namespace AUILib
