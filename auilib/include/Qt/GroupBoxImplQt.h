// The implementation of GroupBox: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "GroupBox.h"
#include "GroupBoxQt.h"

namespace AUILib {

class GroupBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    GroupBoxQt* GetWidget() const { return widget_.data(); }

    // Sets the visibility even when it is already the one asked for, then
    // repaints the box's area at once (on the parent, which draws behind
    // the frame); the repaint flag is not used.
    void Show(bool show, bool repaint) override;

private:
    ControlLifetime<GroupBoxQt> widget_;
};

} // namespace AUILib
