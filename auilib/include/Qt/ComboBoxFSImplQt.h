// The implementation of ComboBoxFS: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ComboBoxFS.h"
#include "ComboBoxFSQt.h"


namespace AUILib {

class ComboBoxFS::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxFSQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ComboBoxFSQt> widget_;
};

} // namespace AUILib
