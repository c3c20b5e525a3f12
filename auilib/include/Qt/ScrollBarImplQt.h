// The implementation of ScrollBar: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ScrollBar.h"
#include "ScrollBarQt.h"

#include <QPointer>

namespace AUILib {

class ScrollBar::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ScrollBarQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ScrollBarQt> widget_;
};

} // namespace AUILib
