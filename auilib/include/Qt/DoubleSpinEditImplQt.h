// The implementation of DoubleSpinEdit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "DoubleSpinEdit.h"
#include "DoubleSpinEditQt.h"

#include <QPointer>

namespace AUILib {

class DoubleSpinEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    DoubleSpinEditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<DoubleSpinEditQt> widget_;
};

} // namespace AUILib
