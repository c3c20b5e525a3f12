#include "EventHelper.h"

#include "AUILibLogger.h"
#include "BaseGUIObject.h"
#include "BaseImplQt.h"
#include "ContextMenu.h"
#include "DebugLine.h"
#include "Dialog.h"
#include "DropEvent.h"
#include "Event.h"
#include "Signal.h"
#include "WideQt.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimerEvent>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <limits>

// Qt's accessor of a widget's own data, exported by the widgets library.
Q_WIDGETS_EXPORT QWidgetData* qt_qwidget_data(QWidget* widget);

namespace AUILib {

namespace {

Point Rounded(const QPointF& point) { return Point{qRound(point.x()), qRound(point.y())}; }

Size ToSize(const QSize& size) { return Size{size.width(), size.height()}; }

bool IsDisabledButton(BaseGUIObject* control)
{
    return control->GetControlType() == ControlTypeButton && !control->IsEnabled();
}

std::shared_ptr<BaseImplQt> QtImpl(BaseGUIObject* control)
{
    return std::dynamic_pointer_cast<BaseImplQt>(control->GetBaseImpl());
}

// A widget's destructor still sends it events (leave, focus out, destroy),
// when it no longer is of its control's widget class: asking its control
// about it then would read a half-destroyed object.
bool IsBeingDestroyed(QWidget* widget) { return qt_qwidget_data(widget)->in_destructor; }

constexpr QEvent::Type kQueuedCall = static_cast<QEvent::Type>(32769);

// An event whose handling ended because what it was for is gone: accepted
// and consumed, so Qt neither delivers it to the watched widget nor
// propagates it from there to a parent.
bool Ended(QEvent* event)
{
    event->accept();
    return true;
}

} // namespace

// One event's way through the filter. Whatever runs application code (an
// event procedure, a queued handler, FilterDone, a context menu's own loop)
// goes through here; afterwards the handling goes on only while the watched
// widget, the filter and the dialog it started with are all still there.
class EventHandling {
public:
    EventHandling(EventHelper* helper, QWidget* watched)
        : helper_(helper), dialog_(helper->GetOwner()), watched_(watched)
    {
    }

    bool IsEnded() const { return ended_; }

    // Looks again after application code ran.
    bool CheckEnded()
    {
        if (!helper_ || helper_->GetOwner() != dialog_ || !watched_)
            ended_ = true;
        return ended_;
    }

    // Calls the control's procedure with event. The call runs on a copy of
    // the procedure (it may replace or free the stored one, together with
    // its captures) while control is held by the caller.
    bool Call(const std::shared_ptr<BaseGUIObject>& control, Event& event)
    {
        if (!control)
            return false;
        BaseGUIObject::EventProcedureFunction procedure = control->EventProcedure();
        if (!procedure)
            return false;
        const bool result = procedure(control.get(), &event);
        CheckEnded();
        return result;
    }

private:
    QPointer<EventHelper> helper_;
    Dialog* dialog_;
    QPointer<QWidget> watched_;
    bool ended_ = false;
};

EventHelper::EventHelper(Dialog* owner) : QObject(nullptr), owner_(owner) {}

EventHelper::~EventHelper() = default;

// The control made for this very widget. A name can be given to two widgets
// of a form (the map keeps the first one's control) and a control's widget
// can be gone: neither makes another widget's events that control's.
EventHelper::ControlPtr EventHelper::ControlOf(QWidget* widget) const
{
    if (IsBeingDestroyed(widget))
        return nullptr;
    ControlPtr control = owner_->GetElementByName(ToWide(widget->objectName()));
    if (!control)
        return nullptr;
    std::shared_ptr<BaseImpl> impl = control->GetBaseImpl();
    if (!impl || impl->GetWndPtr() != widget)
        return nullptr;
    return control;
}

EventHelper::ControlPtr EventHelper::FindControl(QWidget* watched, QWidget* window) const
{
    if (watched == window) {
        // The dialog is owned by the application, not by a shared pointer:
        // it is held through the handling's check of the owner instead.
        return ControlPtr(ControlPtr(), owner_);
    }
    if (ControlPtr control = ControlOf(watched))
        return control;
    if (watched->objectName() == QLatin1String("qt_scrollarea_viewport") && window->isAncestorOf(watched)) {
        QWidget* child = watched;
        while (child && child->parentWidget() != window)
            child = child->parentWidget();
        if (child)
            return ControlOf(child);
    }
    return nullptr;
}

EventHelper::ControlPtr EventHelper::FindDragControl(const ControlPtr& found, QWidget* watched) const
{
    if (found)
        return found;
    QWidget* parent = watched->parentWidget();
    if (!parent || !(qobject_cast<QTableWidget*>(parent) || qobject_cast<QTextEdit*>(parent)))
        return nullptr;
    return ControlOf(parent);
}

bool EventHelper::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched || !owner_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || IsBeingDestroyed(widget))
        return false;
    EventHandling handling(this, widget);
    // From here on this filter may be gone after any call into the
    // application: only handling and the event are touched afterwards.
    try {
        const bool result = Filter(widget, event, handling);
        return handling.IsEnded() ? Ended(event) : result;
    } catch (const std::exception& error) {
        AUILibLogger::GetInstance().LogException(error);
    } catch (...) {
        AUILibLogger::GetInstance().LogException(std::wstring(L"Unknown exception in an event handler"));
    }
    return handling.CheckEnded() ? Ended(event) : false;
}

bool EventHelper::Filter(QWidget* widget, QEvent* event, EventHandling& handling)
{
    QWidget* window = owner_->GetPlatformWindow();
    if (!window)
        return false;
    const ControlPtr control = FindControl(widget, window);

    const int type = event->type();
    if (type == kQueuedCall) {
        // The call may destroy its receiver's widget: the event is consumed
        // either way, so Qt does not deliver it any further.
        static_cast<BoundHandlerWrapper*>(event)->Run();
        return true;
    }
    if (type < 1 || type > 127)
        return false;

    switch (event->type()) {
    case QEvent::Timer: {
        TimerEvent record(static_cast<QTimerEvent*>(event)->timerId());
        return handling.Call(control, record);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control.get()))
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseEvent record(static_cast<Event::Type>(type), Rounded(mouse->localPos()),
                          static_cast<unsigned>(mouse->buttons()), static_cast<unsigned>(mouse->modifiers()));
        return handling.Call(control, record);
    }
    case QEvent::HoverEnter: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control.get()))
            return false;
        auto* hover = static_cast<QHoverEvent*>(event);
        // A hover event carries no button state: the application's is used.
        MouseEvent record(static_cast<Event::Type>(type), Rounded(hover->posF()),
                          static_cast<unsigned>(QGuiApplication::mouseButtons()),
                          static_cast<unsigned>(hover->modifiers()));
        return handling.Call(control, record);
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(control, event, handling);
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        FocusEvent record(static_cast<Event::Type>(type));
        return handling.Call(control, record);
    }
    case QEvent::Leave: {
        if (!control)
            return false;
        auto impl = control->GetBaseImpl();
        if (!impl || !impl->IsTrackMouseEvent())
            return false;
        MouseLeaveEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Paint: {
        PaintEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Move: {
        MovingEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Resize: {
        auto* resize = static_cast<QResizeEvent*>(event);
        ResizeEvent record(ToSize(resize->oldSize()), ToSize(resize->size()));
        return handling.Call(control, record);
    }
    case QEvent::Show: {
        ShowEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Hide: {
        HideEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Close:
        if (control && control->GetControlType() == ControlTypeDialog) {
            const int result = owner_->FilterDone(0);
            if (handling.CheckEnded())
                return true;
            if (result == -1) {
                event->ignore();
                return true;
            }
        }
        return false;
    case QEvent::WindowActivate: {
        WindowActivateEvent record;
        return handling.Call(control, record);
    }
    case QEvent::WindowDeactivate: {
        if (!autoRepeat_) {
            guard_.setSingleShot(true);
            guard_.start(QApplication::keyboardInputInterval());
        }
        deactivated_ = true;
        WindowDeactivateEvent record;
        return handling.Call(control, record);
    }
    case QEvent::Wheel: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control.get()))
            return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint angle = wheel->angleDelta();
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        const int clamped = std::max<int>(std::numeric_limits<short>::min(),
                                          std::min<int>(std::numeric_limits<short>::max(), delta));
        MouseWheelEvent record(static_cast<short>(clamped), Rounded(wheel->globalPosition()),
                               static_cast<unsigned>(wheel->buttons()), static_cast<unsigned>(wheel->modifiers()));
        return handling.Call(control, record);
    }
    case QEvent::ApplicationPaletteChange: {
        ApplicationPaletteChangeEvent record;
        handling.Call(control, record);
        return false;
    }
    case QEvent::ShortcutOverride:
        if (!control)
            return false;
        WriteDebugLine(control->GetName() + L" -> Shortcut event");
        return HandleKey(control, event, handling);
    case QEvent::DragEnter: {
        const ControlPtr target = FindDragControl(control, widget);
        if (!target || !target->IsAcceptDrops())
            return false;
        auto* drag = static_cast<QDragEnterEvent*>(event);
        drag->setDropAction(drag->proposedAction());
        drag->accept();
        return true;
    }
    case QEvent::DragMove: {
        const ControlPtr target = FindDragControl(control, widget);
        if (!target || !target->IsAcceptDrops())
            return false;
        event->accept();
        return true;
    }
    case QEvent::DragLeave:
        event->accept();
        return true;
    case QEvent::Drop: {
        const ControlPtr target = FindDragControl(control, widget);
        if (!target || !target->EventProcedure() || !target->IsAcceptDrops())
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::wstring> files;
        if (const QMimeData* data = drop->mimeData()) {
            for (const QUrl& url : data->urls())
                files.push_back(ToWide(url.path(QUrl::FullyDecoded)));
        }
        DropEvent record(Rounded(drop->posF()), std::move(files));
        return handling.Call(target, record);
    }
    case QEvent::LayoutRequest:
        if (owner_->IsVisible()) {
            // Showing the window delivers events to procedures on the way.
            owner_->ResizeDialogAccordingScreen(control.get());
            handling.CheckEnded();
        }
        return false;
    case QEvent::ContextMenu:
        return HandleContextMenu(control, handling);
    case QEvent::InputMethod:
        return HandleInputMethod(control, event, handling);
    case QEvent::ToolTip:
        return HandleToolTip(control, event);
    default:
        return false;
    }
}

bool EventHelper::HandleKey(const ControlPtr& control, QEvent* event, EventHandling& handling)
{
    if (!control)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    Event::Type kind = Event::KeyPress;
    if (event->type() == QEvent::KeyRelease) {
        kind = Event::KeyRelease;
        deactivated_ = false;
    } else if (event->type() == QEvent::ShortcutOverride) {
        kind = static_cast<Event::Type>(QEvent::ShortcutOverride);
    }
    if (kind != Event::KeyRelease &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
        // Right after the dialog lost activation, a fresh press of these keys
        // and a held one's repeats belong to what took the activation.
        if (key->isAutoRepeat()) {
            autoRepeat_ = true;
            if (deactivated_)
                return true;
        } else {
            autoRepeat_ = false;
            if (guard_.isActive())
                return true;
        }
    }
    if (!control->EventProcedure())
        return false;
    const unsigned modifiers =
        static_cast<unsigned>(key->modifiers()) & (Event::ShiftModifier | Event::ControlModifier | Event::AltModifier);
    KeyEvent record(kind, SysKeyToAUIKey(key->key()), static_cast<Event::Modifier>(modifiers),
                    ToWide(key->text()), key->key());
    if (record.key == Event::Key_Tab || record.key == Event::Key_Escape || record.key == Event::Key_Pause ||
        kind == static_cast<Event::Type>(QEvent::ShortcutOverride) ||
        (kind == Event::KeyRelease && !record.IsSpecialKey())) {
        WriteDebugLine(L"Event processed and propagated to parent");
        if (record.key != Event::Key_Tab)
            event->ignore();
        return false;
    }
    const bool filtered = handling.Call(control, record);
    if (handling.IsEnded())
        return true;
    if (filtered) {
        WriteDebugLine(L"Event NOT processed and propagated to parent");
        event->ignore();
        return true;
    }
    WriteDebugLine(L"Event processed and NOT propagated to parent");
    event->accept();
    return false;
}

bool EventHelper::HandleContextMenu(const ControlPtr& control, EventHandling& handling)
{
    if (!control)
        return false;
    if (control->EventProcedure()) {
        ContextMenuEvent record;
        const bool filtered = handling.Call(control, record);
        if (filtered || handling.IsEnded())
            return true;
    }
    if (control->GetControlType() == ControlTypeEdit || control->GetControlType() == ControlTypeTreeView)
        return false;
    if (std::shared_ptr<ContextMenu> menu = control->GetContextMenu()) {
        // The menu's own event loop runs the application meanwhile.
        menu->Show(true);
        handling.CheckEnded();
    }
    return false;
}

bool EventHelper::HandleInputMethod(const ControlPtr& control, QEvent* event, EventHandling& handling)
{
    if (!control || !control->EventProcedure())
        return false;
    auto impl = QtImpl(control.get());
    if (impl && impl->IsChangeInProgress())
        return false;
    const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
    bool any = false;
    for (const QChar c : commit) {
        KeyEvent record(Event::KeyPress, Event::Key_None, Event::NoModifier, ToWide(QString(c)), 0x01FFFFFF);
        if (handling.Call(control, record))
            any = true;
        // A character whose procedure closed the editor is the last one.
        if (handling.IsEnded())
            return true;
    }
    return any;
}

bool EventHelper::HandleToolTip(const ControlPtr& control, QEvent* event)
{
    if (!control)
        return false;
    auto impl = QtImpl(control.get());
    if (!impl)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint at = help->pos();
    for (const BaseImplQt::ToolTipEntry& entry : impl->ToolTips()) {
        const QRect& r = entry.area;
        if (r.left() <= at.x() && at.x() <= r.right() && r.top() <= at.y() && at.y() <= r.bottom()) {
            QToolTip::showText(help->globalPos(), entry.text);
            return true;
        }
    }
    if (impl->ShowToolTipAt(Point{help->globalPos().x(), help->globalPos().y()}))
        return true;
    QToolTip::showText(QPoint(0, 0), QString());
    return true;
}

} // namespace AUILib
