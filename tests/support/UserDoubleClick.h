// A double click as the platform delivers it: press, release, the double
// click in place of the second press, release. QTest's own double click on a
// widget sends the third event alone, which a view takes for a press. A
// handler of the double click may delete the widget: the release then goes
// nowhere.
#pragma once

#include <QCursor>
#include <QPointer>
#include <QTest>
#include <QWidget>

inline void UserDoubleClick(QWidget* target, QPoint at)
{
    const QPointer<QWidget> widget = target;
    QCursor::setPos(widget->mapToGlobal(at));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    if (widget)
        QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    if (widget)
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}
