// The implementation of MultiLineEdit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"

#include <QPointer>

namespace AUILib {

class MultiLineEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    MultiLineEditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<MultiLineEditQt> widget_;
};

} // namespace AUILib
