#include "PopupPicker.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

PopupPicker::PopupPicker(std::function<void(QWidget*)> action, int turns)
    : action_(std::move(action)), turnsLeft_(turns), timer_(new QTimer)
{
    timer_->setInterval(0);
    QObject::connect(timer_, &QTimer::timeout, [this] { Check(); });
    timer_->start();
}

PopupPicker::~PopupPicker() { delete timer_; }

void PopupPicker::Check()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        timer_->stop();
        acted_ = true;
        action_(popup);
        return;
    }
    if (--turnsLeft_ <= 0) {
        timer_->stop();
        // Nothing to close: the test sees Acted() false.
    }
}

void ClickAction(QMenu* menu, QAction* action)
{
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
}
