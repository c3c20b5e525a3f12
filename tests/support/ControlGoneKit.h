// What the tests of widget-library controls and their widgets going in
// either order share: the control behind a shared pointer, the widget behind
// a control, a shown and active window to put a widget in, the check that an
// operation refuses a control whose widget is gone, and the steps that drop
// a control before or after its widget is placed.
#pragma once

#include "AgnosticUIException.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

using Control = std::shared_ptr<AUILib::BaseGUIObject>;

template <typename T>
T& As(AUILib::BaseGUIObject& control)
{
    return dynamic_cast<T&>(control);
}

template <typename Widget>
Widget* WidgetOf(const AUILib::BaseGUIObject& control)
{
    return qobject_cast<Widget*>(control.GetBaseImpl()->GetWndPtr());
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

// The operations every control has that need its widget, refused once the
// widget is gone.
inline void ExpectWidgetOperationsRefused(AUILib::BaseGUIObject& control)
{
    ExpectControlNotValid("IdealSize", [&] { control.IdealSize(); });
    ExpectControlNotValid("Show", [&] { control.Show(true, true); });
    ExpectControlNotValid("Enable", [&] { control.Enable(false, true); });
}

// A window shown and made active, so keys and focus reach its children.
class ActiveWindow {
public:
    explicit ActiveWindow(int width = 320, int height = 200) { window_.resize(width, height); }

    QWidget* Get() { return &window_; }

    // Shows the window with widget at geometry and gives the widget focus;
    // false when the platform does not activate the window.
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

// Shows a widget that was never placed as a window of its own at geometry;
// false when the platform does not activate it.
inline bool ShowUnplaced(QWidget* widget, const QRect& geometry)
{
    widget->setGeometry(geometry);
    widget->show();
    QApplication::setActiveWindow(widget);
    return QTest::qWaitForWindowActive(widget);
}

// Runs what is posted, then the deletions deferred until now.
inline void RunPostedAndDeferredDeletes()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Makes a control with make, places it in parent and drops it again; the
// widget it leaves there. prepare (if any) sees the widget while the control
// lives; with keptImpl the control's implementation outlives it there.
inline QPointer<QWidget> PlaceAndDropControl(const std::function<Control()>& make, QWidget* parent,
                                             std::shared_ptr<AUILib::BaseImpl>* keptImpl,
                                             const std::function<void(QWidget*)>& prepare = nullptr)
{
    Control control = make();
    control->Create(parent);
    QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
    if (prepare)
        prepare(widget);
    if (keptImpl)
        *keptImpl = control->GetBaseImpl();
    return widget;
}

// A control dropped before its widget is placed anywhere takes the widget
// with it.
inline void ExpectUnplacedWidgetGoesWithControl(const std::function<Control()>& make)
{
    QPointer<QWidget> widget;
    {
        Control control = make();
        widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_TRUE(widget);
    }
    EXPECT_FALSE(widget);
}
