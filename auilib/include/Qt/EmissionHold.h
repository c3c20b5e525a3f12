// Keeps a control's implementation alive while a handler of one of the
// control's signals runs: the handler may drop the control, and with it
// the implementation.
//
// When the handler did drop it and the widget was never placed, letting the
// implementation go at once would delete the widget (see ControlLifetime)
// while the widget's own code, which emitted the Qt signal, is still on the
// stack. The last reference is then handed to the event loop instead, which
// lets it go once that code has returned.
#pragma once

#include "BaseImpl.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include <memory>
#include <utility>

namespace AUILib {

class EmissionHold {
public:
    explicit EmissionHold(std::shared_ptr<BaseImpl> impl) : impl_(std::move(impl)) {}
    ~EmissionHold()
    {
        if (!impl_ || impl_.use_count() != 1)
            return;
        QWidget* widget = impl_->GetWndPtr();
        QCoreApplication* application = QCoreApplication::instance();
        if (widget && !widget->parent() && application) {
            QMetaObject::invokeMethod(
                application, [last = std::move(impl_)] {}, Qt::QueuedConnection);
        }
    }
    EmissionHold(const EmissionHold&) = delete;
    EmissionHold& operator=(const EmissionHold&) = delete;

private:
    std::shared_ptr<BaseImpl> impl_;
};

} // namespace AUILib
