// The implementation of Edit: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "Edit.h"
#include "EditQt.h"

#include <QPointer>

namespace AUILib {

class Edit::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    EditQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<EditQt> widget_;
};

} // namespace AUILib
