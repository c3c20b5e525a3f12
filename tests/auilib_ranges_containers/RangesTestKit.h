// What the tests of the spin edits, range controls, date edit and drawing
// pad share: a shown, active window to put a control in, the widget behind
// a control, plain mouse events (QTest's moves carry no button) and the
// check that an operation refuses a control whose widget is gone.
#pragma once

#include "AgnosticUIException.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// A window shown and made active, so keys and focus reach its children.
class ActiveWindow {
public:
    explicit ActiveWindow(int width = 320, int height = 200)
    {
        window_.resize(width, height);
    }

    QWidget* Get() { return &window_; }

    // Shows the window with control's widget at geometry and gives the widget
    // focus; false when the platform does not activate it.
    bool ShowWith(QWidget* widget, const QRect& geometry)
    {
        widget->setGeometry(geometry);
        window_.show();
        QApplication::setActiveWindow(&window_);
        if (!QTest::qWaitForWindowActive(&window_))
            return false;
        widget->setFocus();
        QApplication::processEvents();
        return true;
    }

private:
    QWidget window_;
};

template <typename Widget>
Widget* WidgetOf(const AUILib::BaseGUIObject& control)
{
    return qobject_cast<Widget*>(control.GetBaseImpl()->GetWndPtr());
}

inline void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& position,
                      Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A press, the moves and a release along points.
inline void DragAlong(QWidget* widget, const std::vector<QPoint>& points, Qt::MouseButton button = Qt::LeftButton)
{
    if (points.empty())
        return;
    SendMouse(widget, QEvent::MouseButtonPress, points.front(), button);
    for (size_t i = 1; i < points.size(); ++i)
        SendMouse(widget, QEvent::MouseMove, points[i], button);
    SendMouse(widget, QEvent::MouseButtonRelease, points.back(), button);
}

inline void ExpectControlNotValid(const char* what, const std::function<void()>& call)
{
    SCOPED_TRACE(what);
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const AUILib::AgnosticUIException& e) {
        EXPECT_STREQ(e.what(), "Control is not valid.");
    }
}
