// The implementation of Button: watches its push button (its own ButtonQt
// or a wrapped one), never deletes it.
#pragma once

#include "BaseImplQt.h"
#include "Button.h"

#include <QPointer>
#include <QPushButton>

namespace AUILib {

class Button::impl : public BaseImplQt {
public:
    explicit impl(QPushButton* widget);
    ~impl() override;

    QWidget* GetWndPtr() override;
    QPushButton* GetWidget() const { return widget_.data(); }

private:
    QPointer<QPushButton> widget_;
};

} // namespace AUILib
