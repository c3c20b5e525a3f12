// The implementation of RichEdit: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "RichEdit.h"
#include "RichEditQt.h"


namespace AUILib {

class RichEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    RichEditQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<RichEditQt> widget_;
};

} // namespace AUILib
