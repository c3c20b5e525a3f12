// The implementation of MultiLineEdit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"


namespace AUILib {

class MultiLineEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    MultiLineEditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<MultiLineEditQt> widget_;
};

} // namespace AUILib
