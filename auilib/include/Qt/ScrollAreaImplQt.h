// The implementation of ScrollArea: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ScrollArea.h"
#include "ScrollAreaQt.h"

#include <QPointer>

namespace AUILib {

class ScrollArea::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ScrollAreaQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ScrollAreaQt> widget_;
};

} // namespace AUILib
