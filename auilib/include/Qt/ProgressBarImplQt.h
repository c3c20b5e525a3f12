// The implementation of ProgressBar: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "ProgressBar.h"
#include "ProgressBarQt.h"

#include <QPointer>

namespace AUILib {

class ProgressBar::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ProgressBarQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<ProgressBarQt> widget_;
};

} // namespace AUILib
