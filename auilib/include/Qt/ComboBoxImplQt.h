// The implementation of ComboBox: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ComboBox.h"
#include "ComboBoxQt.h"


namespace AUILib {

class ComboBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ComboBoxQt> widget_;
};

} // namespace AUILib
