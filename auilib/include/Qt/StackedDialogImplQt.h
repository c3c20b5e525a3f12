// The implementation of StackedDialog: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "StackedDialog.h"
#include "StackedDialogQt.h"

#include <QPointer>

namespace AUILib {

class StackedDialog::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    StackedDialogQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<StackedDialogQt> widget_;
};

} // namespace AUILib
