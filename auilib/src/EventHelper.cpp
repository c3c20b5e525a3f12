#include "EventHelper.h"

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
#include <QResizeEvent>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimerEvent>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <limits>

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

bool Deliver(BaseGUIObject* control, Event& event)
{
    if (!control || !control->EventProcedure())
        return false;
    return control->EventProcedure()(control, &event);
}

constexpr QEvent::Type kQueuedCall = static_cast<QEvent::Type>(32769);

} // namespace

EventHelper::EventHelper(Dialog* owner) : QObject(nullptr), owner_(owner) {}

EventHelper::~EventHelper() = default;

BaseGUIObject* EventHelper::FindControl(QWidget* watched, QWidget* window) const
{
    if (watched == window)
        return owner_;
    if (auto control = owner_->GetElementByName(ToWide(watched->objectName())))
        return control.get();
    if (watched->objectName() == QLatin1String("qt_scrollarea_viewport") && window->isAncestorOf(watched)) {
        QWidget* child = watched;
        while (child && child->parentWidget() != window)
            child = child->parentWidget();
        if (child) {
            if (auto control = owner_->GetElementByName(ToWide(child->objectName())))
                return control.get();
        }
    }
    return nullptr;
}

BaseGUIObject* EventHelper::FindDragControl(BaseGUIObject* found, QWidget* watched) const
{
    if (found)
        return found;
    QObject* parent = watched->parent();
    if (!parent || !(qobject_cast<QTableWidget*>(parent) || qobject_cast<QTextEdit*>(parent)))
        return nullptr;
    auto control = owner_->GetElementByName(ToWide(parent->objectName()));
    return control.get();
}

bool EventHelper::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched || !owner_)
        return false;
    QWidget* window = owner_->GetPlatformWindow();
    if (!window)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    BaseGUIObject* control = FindControl(widget, window);

    const int type = event->type();
    if (type == kQueuedCall) {
        static_cast<BoundHandlerWrapper*>(event)->Run();
        return false;
    }
    if (type < 1 || type > 127)
        return false;

    switch (event->type()) {
    case QEvent::Timer: {
        TimerEvent record(static_cast<QTimerEvent*>(event)->timerId());
        return Deliver(control, record);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control))
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseEvent record(static_cast<Event::Type>(type), Rounded(mouse->localPos()),
                          static_cast<unsigned>(mouse->buttons()), static_cast<unsigned>(mouse->modifiers()));
        return Deliver(control, record);
    }
    case QEvent::HoverEnter: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control))
            return false;
        auto* hover = static_cast<QHoverEvent*>(event);
        // A hover event carries no button state: the application's is used.
        MouseEvent record(static_cast<Event::Type>(type), Rounded(hover->posF()),
                          static_cast<unsigned>(QGuiApplication::mouseButtons()),
                          static_cast<unsigned>(hover->modifiers()));
        return Deliver(control, record);
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(control, event);
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        FocusEvent record(static_cast<Event::Type>(type));
        return Deliver(control, record);
    }
    case QEvent::Leave: {
        if (!control)
            return false;
        auto impl = control->GetBaseImpl();
        if (!impl || !impl->IsTrackMouseEvent())
            return false;
        MouseLeaveEvent record;
        return Deliver(control, record);
    }
    case QEvent::Paint: {
        PaintEvent record;
        return Deliver(control, record);
    }
    case QEvent::Move: {
        MovingEvent record;
        return Deliver(control, record);
    }
    case QEvent::Resize: {
        auto* resize = static_cast<QResizeEvent*>(event);
        ResizeEvent record(ToSize(resize->oldSize()), ToSize(resize->size()));
        return Deliver(control, record);
    }
    case QEvent::Show: {
        ShowEvent record;
        return Deliver(control, record);
    }
    case QEvent::Hide: {
        HideEvent record;
        return Deliver(control, record);
    }
    case QEvent::Close:
        if (control && control->GetControlType() == ControlTypeDialog && owner_->FilterDone(0) == -1) {
            event->ignore();
            return true;
        }
        return false;
    case QEvent::WindowActivate: {
        WindowActivateEvent record;
        return Deliver(control, record);
    }
    case QEvent::WindowDeactivate: {
        if (!autoRepeat_) {
            guard_.setSingleShot(true);
            guard_.start(QApplication::keyboardInputInterval());
        }
        deactivated_ = true;
        WindowDeactivateEvent record;
        return Deliver(control, record);
    }
    case QEvent::Wheel: {
        if (!control || !control->EventProcedure() || IsDisabledButton(control))
            return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint angle = wheel->angleDelta();
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        const int clamped = std::max<int>(std::numeric_limits<short>::min(),
                                          std::min<int>(std::numeric_limits<short>::max(), delta));
        MouseWheelEvent record(static_cast<short>(clamped), Rounded(wheel->globalPosition()),
                               static_cast<unsigned>(wheel->buttons()), static_cast<unsigned>(wheel->modifiers()));
        return Deliver(control, record);
    }
    case QEvent::ApplicationPaletteChange: {
        ApplicationPaletteChangeEvent record;
        Deliver(control, record);
        return false;
    }
    case QEvent::ShortcutOverride:
        if (!control)
            return false;
        WriteDebugLine(control->GetName() + L" -> Shortcut event");
        return HandleKey(control, event);
    case QEvent::DragEnter: {
        BaseGUIObject* target = FindDragControl(control, widget);
        if (!target || !target->IsAcceptDrops())
            return false;
        auto* drag = static_cast<QDragEnterEvent*>(event);
        drag->setDropAction(drag->proposedAction());
        drag->accept();
        return true;
    }
    case QEvent::DragMove: {
        BaseGUIObject* target = FindDragControl(control, widget);
        if (!target || !target->IsAcceptDrops())
            return false;
        event->accept();
        return true;
    }
    case QEvent::DragLeave:
        event->accept();
        return true;
    case QEvent::Drop: {
        BaseGUIObject* target = FindDragControl(control, widget);
        if (!target || !target->EventProcedure() || !target->IsAcceptDrops())
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::wstring> files;
        if (const QMimeData* data = drop->mimeData()) {
            for (const QUrl& url : data->urls())
                files.push_back(ToWide(url.path(QUrl::FullyDecoded)));
        }
        DropEvent record(Rounded(drop->posF()), std::move(files));
        return Deliver(target, record);
    }
    case QEvent::LayoutRequest:
        if (owner_->IsVisible())
            owner_->ResizeDialogAccordingScreen(control);
        return false;
    case QEvent::ContextMenu:
        return HandleContextMenu(control, event);
    case QEvent::InputMethod:
        return HandleInputMethod(control, event);
    case QEvent::ToolTip:
        return HandleToolTip(control, event);
    default:
        return false;
    }
}

bool EventHelper::HandleKey(BaseGUIObject* control, QEvent* event)
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
    if (control->EventProcedure()(control, &record)) {
        WriteDebugLine(L"Event NOT processed and propagated to parent");
        event->ignore();
        return true;
    }
    WriteDebugLine(L"Event processed and NOT propagated to parent");
    event->accept();
    return false;
}

bool EventHelper::HandleContextMenu(BaseGUIObject* control, QEvent*)
{
    if (!control)
        return false;
    if (control->EventProcedure()) {
        ContextMenuEvent record;
        if (control->EventProcedure()(control, &record))
            return true;
    }
    if (control->GetControlType() == ControlTypeEdit || control->GetControlType() == ControlTypeTreeView)
        return false;
    if (std::shared_ptr<ContextMenu> menu = control->GetContextMenu())
        menu->Show(true);
    return false;
}

bool EventHelper::HandleInputMethod(BaseGUIObject* control, QEvent* event)
{
    if (!control || !control->EventProcedure())
        return false;
    auto impl = QtImpl(control);
    if (impl && impl->IsChangeInProgress())
        return false;
    const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
    bool any = false;
    for (const QChar c : commit) {
        KeyEvent record(Event::KeyPress, Event::Key_None, Event::NoModifier, ToWide(QString(c)), 0x01FFFFFF);
        if (control->EventProcedure()(control, &record))
            any = true;
    }
    return any;
}

bool EventHelper::HandleToolTip(BaseGUIObject* control, QEvent* event)
{
    if (!control)
        return false;
    auto impl = QtImpl(control);
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
