#include "Signal.h"

#include "BaseGUIObject.h"
#include "BaseImpl.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include <algorithm>

namespace AUILib {

BoundHandlerWrapper::BoundHandlerWrapper(std::function<void()> call)
    : QEvent(EventType), boundCall(std::move(call))
{
}

BoundHandlerWrapper::~BoundHandlerWrapper() = default;

namespace SignalDetail {

namespace {

thread_local std::vector<const void*> t_emitting;

void PostToReceiverWidget(const std::weak_ptr<BaseGUIObject>& receiver, std::function<void()> call)
{
    std::shared_ptr<BaseGUIObject> control = receiver.lock();
    if (!control)
        return;
    std::shared_ptr<BaseImpl> impl = control->GetBaseImpl();
    if (!impl)
        return;
    QWidget* widget = impl->GetWndPtr();
    if (!widget)
        return;
    QCoreApplication::postEvent(widget, new BoundHandlerWrapper(std::move(call)), Qt::NormalEventPriority);
}

} // namespace

void PostQueuedCall(const std::weak_ptr<BaseGUIObject>& receiver, std::function<void()> call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        PostToReceiverWidget(receiver, std::move(call));
        return;
    }
    QMetaObject::invokeMethod(
        app, [receiver, call = std::move(call)]() mutable { PostToReceiverWidget(receiver, std::move(call)); },
        Qt::QueuedConnection);
}

bool EnterEmission(const void* state)
{
    if (std::find(t_emitting.begin(), t_emitting.end(), state) != t_emitting.end())
        return false;
    t_emitting.push_back(state);
    return true;
}

void LeaveEmission(const void* state)
{
    auto it = std::find(t_emitting.begin(), t_emitting.end(), state);
    if (it != t_emitting.end())
        t_emitting.erase(it);
}

} // namespace SignalDetail

} // namespace AUILib
