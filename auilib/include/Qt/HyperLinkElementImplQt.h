// The implementation of HyperLinkElement: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "HyperLinkElement.h"
#include "HyperLinkElementQt.h"

#include <QPointer>

namespace AUILib {

class HyperLinkElementImpl : public BaseImplQt {
public:
    HyperLinkElementImpl();
    ~HyperLinkElementImpl() override;

    QWidget* GetWndPtr() override;
    HyperLinkElementQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<HyperLinkElementQt> widget_;
};

} // namespace AUILib
