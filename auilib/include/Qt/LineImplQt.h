// The implementation of Line: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "Line.h"
#include "LineQt.h"

#include <QPointer>

namespace AUILib {

class Line::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    LineQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<LineQt> widget_;
};

} // namespace AUILib
