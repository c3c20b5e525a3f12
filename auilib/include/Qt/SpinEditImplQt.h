// The implementation of SpinEdit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "SpinEdit.h"
#include "SpinEditQt.h"

#include <QPointer>

namespace AUILib {

class SpinEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SpinEditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<SpinEditQt> widget_;
};

} // namespace AUILib
