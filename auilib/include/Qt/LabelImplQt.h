// The implementation of Label: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "Label.h"
#include "LabelQt.h"

#include <QPointer>

namespace AUILib {

class Label::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    LabelQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<LabelQt> widget_;
};

} // namespace AUILib
