// The implementation of RichEdit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "RichEdit.h"
#include "RichEditQt.h"

#include <QPointer>

namespace AUILib {

class RichEdit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    RichEditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<RichEditQt> widget_;
};

} // namespace AUILib
