// The implementation of ComboBox: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ComboBox.h"
#include "ComboBoxQt.h"

#include <QPointer>

namespace AUILib {

class ComboBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ComboBoxQt> widget_;
};

} // namespace AUILib
