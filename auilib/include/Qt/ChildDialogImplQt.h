// The implementation of ChildDialog: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ChildDialog.h"
#include "ChildDialogQt.h"

#include <QPointer>

namespace AUILib {

class ChildDialog::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ChildDialogQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ChildDialogQt> widget_;
};

} // namespace AUILib
