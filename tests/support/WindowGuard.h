// Top-level windows a widget-library test made, gone before the application
// object goes (a window left open is a leak in the sanitizer build).
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

// Deletes a window the test left open (one that deleted itself when closed
// is left alone).
class WindowGuard {
public:
    explicit WindowGuard(QWidget* window) : window_(window) {}
    ~WindowGuard()
    {
        delete window_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    QPointer<QWidget> window_;
};

// Closes a window the test left open, the way a user would, so that what its
// dialog does on closing runs too; then deletes whatever closing left.
class ClosingWindowGuard {
public:
    explicit ClosingWindowGuard(QWidget* window) : window_(window) {}
    ~ClosingWindowGuard()
    {
        if (window_)
            window_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window_.data();
    }

private:
    QPointer<QWidget> window_;
};
