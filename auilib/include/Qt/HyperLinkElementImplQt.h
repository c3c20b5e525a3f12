// The implementation of HyperLinkElement: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "HyperLinkElement.h"
#include "HyperLinkElementQt.h"


namespace AUILib {

class HyperLinkElementImpl : public BaseImplQt {
public:
    HyperLinkElementImpl();
    ~HyperLinkElementImpl() override;

    QWidget* GetWndPtr() override;
    HyperLinkElementQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<HyperLinkElementQt> widget_;
};

} // namespace AUILib
