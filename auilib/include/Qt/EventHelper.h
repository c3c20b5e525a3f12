// The event filter of a dialog's window and widgets: turns Qt events into
// library events for the controls' event procedures, runs queued signal
// handlers, and carries drops, tool tips, context menus and the close veto.
// Without an owner (the Dialog is gone) it passes every event on.
#pragma once

#include <QObject>
#include <QTimer>

namespace AUILib {

class BaseGUIObject;
class Dialog;

class EventHelper : public QObject {
    Q_OBJECT

public:
    explicit EventHelper(Dialog* owner);
    ~EventHelper() override;

    void SetOwner(Dialog* owner) { owner_ = owner; }
    Dialog* GetOwner() const { return owner_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BaseGUIObject* FindControl(QWidget* watched, QWidget* window) const;
    BaseGUIObject* FindDragControl(BaseGUIObject* found, QWidget* watched) const;
    bool HandleKey(BaseGUIObject* control, QEvent* event);
    bool HandleContextMenu(BaseGUIObject* control, QEvent* event);
    bool HandleInputMethod(BaseGUIObject* control, QEvent* event);
    bool HandleToolTip(BaseGUIObject* control, QEvent* event);

    Dialog* owner_;
    bool deactivated_ = false;
    QTimer guard_;
    bool autoRepeat_ = false;
};

} // namespace AUILib
