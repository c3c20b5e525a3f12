// The event filter never hands a control another widget's events and never
// lets an exception out into Qt's event delivery.
#include "AUILibLogger.h"
#include "AgnosticUIException.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <sstream>

namespace {

using AUILib::BaseGUIObject;
using AUILib::Event;

std::wstring LoggedText()
{
    std::wostringstream out;
    AUILibLogger::GetInstance().WriteLog(out);
    return out.str();
}

// Two widgets named "twin", a push button then an edit: the name maps to
// the button's control.
TEST(FilterFaults, TwinNamesWithTheButtonsWidgetGoneRaiseNothing)
{
    GermanStrings strings(false);
    std::vector<int> onButton;   // outlive the dialog and its window
    std::vector<int> onDialog;
    VetoDialog dialog(FormPath("twin"));
    WindowGuard guard(dialog.GetWndPtr());
    QWidget* window = dialog.GetWndPtr();
    auto control = dialog.GetElementByName(L"twin");
    ASSERT_TRUE(control);
    QPointer<QWidget> button = control->GetPlatformWindow();
    QWidget* edit = nullptr;
    for (QWidget* child : window->findChildren<QWidget*>(QStringLiteral("twin"))) {
        if (child != button)
            edit = child;
    }
    ASSERT_TRUE(button && edit);
    control->SetEventProcedure([&onButton](BaseGUIObject*, Event* e) {
        onButton.push_back(e->type);
        return false;
    });
    dialog.SetEventProcedure([&onDialog](BaseGUIObject*, Event* e) {
        onDialog.push_back(e->type);
        return false;
    });
    dialog.DoModeless();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QPoint overButton = button->geometry().center();
    const QPoint overEdit = edit->geometry().center();

    // The edit's events were never the button control's.
    onButton.clear();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &press);
    EXPECT_TRUE(onButton.empty());
    QApplication::sendEvent(button, &press);
    ASSERT_FALSE(onButton.empty());
    EXPECT_EQ(onButton.front(), Event::MouseButtonPress);

    delete button.data();
    onButton.clear();
    for (const QPoint& at : {overButton, overEdit}) {
        EXPECT_NO_THROW(QTest::mouseMove(window, at));
        EXPECT_NO_THROW(QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at));
        EXPECT_NO_THROW(QTest::mouseMove(edit, QPoint(4, 4)));
        EXPECT_NO_THROW(QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4)));
    }
    EXPECT_TRUE(onButton.empty());
    // Where the button was, the window itself is under the pointer.
    EXPECT_NE(std::find(onDialog.begin(), onDialog.end(), Event::MouseButtonPress), onDialog.end());
}

TEST(FilterFaults, AThrowingProcedureIsLoggedAndTheEventGoesOn)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    WindowGuard guard(dialog.GetWndPtr());
    auto edit = dialog.GetElementByName(L"lineEdit");
    QPointer<QWidget> widget = edit->GetPlatformWindow();

    edit->SetEventProcedure([](BaseGUIObject*, Event*) -> bool {
        throw AUILib::AgnosticUIException("", 0, "Control is not valid.");
    });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    bool filtered = true;
    EXPECT_NO_THROW(filtered = dialog.Impl()->GetEventHelper()->eventFilter(widget, &press));
    EXPECT_FALSE(filtered);   // the widget is still there and gets the event
    EXPECT_NE(LoggedText().find(L"Exception: Control is not valid."), std::wstring::npos);

    // Anything else thrown is logged as well; a procedure that threw after
    // deleting its widget still ends the event.
    edit->SetEventProcedure([&widget](BaseGUIObject*, Event*) -> bool {
        delete widget.data();
        throw 42;
    });
    QMouseEvent second(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_NO_THROW(filtered = QApplication::sendEvent(widget, &second));
    EXPECT_TRUE(filtered);
    EXPECT_FALSE(widget);
    EXPECT_NE(LoggedText().find(L"Exception: Unknown exception in an event handler"), std::wstring::npos);

    // An empty queued call is logged too, instead of throwing into Qt.
    QWidget* window = dialog.GetWndPtr();
    QCoreApplication::postEvent(window, new AUILib::BoundHandlerWrapper(std::function<void()>()));
    EXPECT_NO_THROW(QCoreApplication::sendPostedEvents(window));
    EXPECT_NE(LoggedText().find(L"bad_function_call"), std::wstring::npos);
}

} // namespace
