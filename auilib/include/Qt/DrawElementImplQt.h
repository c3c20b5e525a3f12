// The implementation of DrawElement: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "DrawElement.h"
#include "DrawElementQt.h"

#include <QPointer>

namespace AUILib {

class DrawElement::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DrawElementQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<DrawElementQt> widget_;
};

} // namespace AUILib
