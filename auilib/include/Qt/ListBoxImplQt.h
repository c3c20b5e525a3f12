// The implementation of ListBox: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ListBox.h"
#include "ListBoxQt.h"


namespace AUILib {

class ListBoxImpl : public BaseImplQt {
public:
    ListBoxImpl();
    ~ListBoxImpl() override;

    QWidget* GetWndPtr() override;
    ListBoxQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<ListBoxQt> widget_;
};

} // namespace AUILib
