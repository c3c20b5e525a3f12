// The implementation of Label: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Label.h"
#include "LabelQt.h"


namespace AUILib {

class Label::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    LabelQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<LabelQt> widget_;
};

} // namespace AUILib
