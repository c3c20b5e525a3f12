// What the tests of the spin edits, range controls, date edit and drawing
// pad share besides the control kit: plain mouse events (QTest's moves carry
// no button) and a picture for the date edit's drop-down button.
#pragma once

#include "ControlGoneKit.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QString>
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

// Writes a small calendar-like picture, drawn in ink on paper, to path.
inline bool WriteDropPicture(const QString& path, const QColor& ink, const QColor& paper)
{
    QImage image(14, 14, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(ink);
    painter.setBrush(paper);
    painter.drawRect(1, 2, 11, 10);
    painter.fillRect(1, 2, 12, 3, ink);
    painter.end();
    return image.save(path);
}
