// The event filter of a dialog's window and widgets: turns Qt events into
// library events for the controls' event procedures, runs queued signal
// handlers, and carries drops, tool tips, context menus and the close veto.
// Without an owner (the Dialog is gone) it passes every event on.
//
// Event procedures, queued handlers and the dialog's FilterDone may destroy
// their control's widget, the dialog (and with it this filter) or the
// dialog's window. The filter calls a copy of the procedure, holds the
// control across the call, and ends the event's handling when anything it
// needs afterwards is gone: such an event is accepted and consumed, so Qt
// does not go on delivering it to a destroyed widget. No exception leaves
// the filter into Qt's event delivery; it is written to the library's log.
#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

namespace AUILib {

class BaseGUIObject;
class Dialog;
class EventHandling;

class EventHelper : public QObject {
    Q_OBJECT

public:
    explicit EventHelper(Dialog* owner);
    ~EventHelper() override;

    void SetOwner(Dialog* owner) { owner_ = owner; }
    Dialog* GetOwner() const { return owner_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using ControlPtr = std::shared_ptr<BaseGUIObject>;

    bool Filter(QWidget* widget, QEvent* event, EventHandling& handling);
    ControlPtr ControlOf(QWidget* widget) const;
    ControlPtr FindControl(QWidget* watched, QWidget* window) const;
    ControlPtr FindDragControl(const ControlPtr& found, QWidget* watched) const;
    bool HandleKey(const ControlPtr& control, QEvent* event, EventHandling& handling);
    bool HandleContextMenu(const ControlPtr& control, EventHandling& handling);
    bool HandleInputMethod(const ControlPtr& control, QEvent* event, EventHandling& handling);
    bool HandleToolTip(const ControlPtr& control, QEvent* event);

    Dialog* owner_;
    bool deactivated_ = false;
    QTimer guard_;
    bool autoRepeat_ = false;
};

} // namespace AUILib
