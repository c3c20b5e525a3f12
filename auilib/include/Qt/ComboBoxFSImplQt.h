// The implementation of ComboBoxFS: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ComboBoxFS.h"
#include "ComboBoxFSQt.h"

#include <QPointer>

namespace AUILib {

class ComboBoxFS::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxFSQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ComboBoxFSQt> widget_;
};

} // namespace AUILib
