// What the tests of the spin edits, range controls, date edit and drawing
// pad share besides the control kit: plain mouse events (QTest's moves carry
// no button).
#pragma once

#include "ControlGoneKit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <vector>

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
