// The implementation of TreeView: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "TreeView.h"
#include "TreeViewQt.h"

#include <QPointer>

namespace AUILib {

class TreeView::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    TreeViewQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<TreeViewQt> widget_;
};

} // namespace AUILib
