// The implementation of Splitter: watches its widget; deletes it only if it goes
// while the widget was never placed (a placed widget belongs to its parent).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Splitter.h"
#include "SplitterQt.h"


namespace AUILib {

class Splitter::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    SplitterQt* GetWidget() const { return widget_.data(); }

private:
    ControlLifetime<SplitterQt> widget_;
};

} // namespace AUILib
