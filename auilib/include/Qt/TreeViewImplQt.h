// The implementation of TreeView: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "TreeView.h"
#include "TreeViewQt.h"


namespace AUILib {

class TreeView::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    TreeViewQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<TreeViewQt> widget_;
};

} // namespace AUILib
