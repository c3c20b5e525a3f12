// The implementation of ListBox: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ListBox.h"
#include "ListBoxQt.h"

#include <QPointer>

namespace AUILib {

class ListBoxImpl : public BaseImplQt {
public:
    ListBoxImpl();
    ~ListBoxImpl() override;

    QWidget* GetWndPtr() override;
    ListBoxQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ListBoxQt> widget_;
};

} // namespace AUILib
