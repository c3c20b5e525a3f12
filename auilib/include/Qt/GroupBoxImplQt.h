// The implementation of GroupBox: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "GroupBox.h"
#include "GroupBoxQt.h"

#include <QPointer>

namespace AUILib {

class GroupBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    GroupBoxQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<GroupBoxQt> widget_;
};

} // namespace AUILib
