// Runs queued signal handlers that reach a watched widget, as a dialog's
// event filter does, for tests of controls outside a dialog. Install it on
// the receiver control's widget.
#pragma once

#include "Signal.h"

#include <QObject>

class QueuedCallFilter : public QObject {
public:
    explicit QueuedCallFilter(QObject* parent = nullptr) : QObject(parent) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == AUILib::BoundHandlerWrapper::EventType)
            static_cast<AUILib::BoundHandlerWrapper*>(event)->Run();
        return false;
    }
};
