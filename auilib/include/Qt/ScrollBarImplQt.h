// The implementation of ScrollBar: watches its widget, never deletes a
// placed one, passes the value changes on and keeps the colour last set.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ScrollBar.h"
#include "ScrollBarQt.h"

namespace AUILib {

class ScrollBar::impl : public BaseImplQt {
public:
    explicit impl(ScrollBar& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    ScrollBarQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    int GetBackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(int colour) { backgroundColor_ = colour; }

private:
    int backgroundColor_ = -1;
    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<ScrollBarQt, ScrollBar> widget_;
};

} // namespace AUILib
