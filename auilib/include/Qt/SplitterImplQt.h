// The implementation of Splitter: watches its widget, never deletes it (the
// widget belongs to its Qt parent once placed).
#pragma once

#include "BaseImplQt.h"
#include "Splitter.h"
#include "SplitterQt.h"

#include <QPointer>

namespace AUILib {

class Splitter::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SplitterQt* GetWidget() const { return widget_.data(); }

private:
    QPointer<SplitterQt> widget_;
};

} // namespace AUILib
