// A control created after its dialog's form was loaded (an item editor, a
// page made at run time) and attached to the dialog gets the library's
// events and queued calls and is found by name.
#include "Edit.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

using AUILib::BaseGUIObject;
using AUILib::Event;

std::shared_ptr<AUILib::Edit> MakeEdit(QWidget* parent, const wchar_t* name)
{
    auto edit = std::make_shared<AUILib::Edit>();
    edit->Create(parent);
    if (name)
        edit->SetName(name);
    return edit;
}

class LateControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<VetoDialog>(FormPath("main"));
        window = dialog->GetWndPtr();
    }
    void TearDown() override
    {
        dialog.reset();
        delete window.data();
        RunDeferredDeletes();
    }

    GermanStrings strings{false};
    std::unique_ptr<VetoDialog> dialog;
    QPointer<QWidget> window;
};

TEST_F(LateControl, ReceivesEventsAndQueuedCallsAndIsFoundByName)
{
    auto editor = MakeEdit(window, L"cellEditor");
    QWidget* widget = editor->GetPlatformWindow();
    std::vector<int> seen;
    editor->SetEventProcedure([&seen](BaseGUIObject*, Event* e) {
        seen.push_back(e->type);
        return false;
    });
    AUILib::Signal<int> signal;
    std::vector<int> queued;
    signal.ConnectQueued([&queued](int v) { queued.push_back(v); }, editor);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);

    // Placed but not attached: the dialog knows nothing of it.
    QApplication::sendEvent(widget, &press);
    signal.Emit(1);
    QCoreApplication::sendPostedEvents(widget);
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(dialog->GetElementByName(L"cellEditor"));

    ASSERT_TRUE(dialog->AttachControl(editor));
    EXPECT_EQ(dialog->GetElementByName(L"cellEditor"), editor);
    EXPECT_EQ(widget->objectName(), QStringLiteral("cellEditor"));
    EXPECT_TRUE(widget->hasMouseTracking());
    QApplication::sendEvent(widget, &press);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(widget, &key);
    EXPECT_EQ(seen, (std::vector<int>{Event::MouseButtonPress, Event::KeyPress}));
    signal.Emit(2);
    QCoreApplication::sendPostedEvents(widget);
    EXPECT_EQ(queued, (std::vector<int>{2}));
    EXPECT_TRUE(dialog->AttachControl(editor));   // again: nothing changes

    // The widget's end is reported and the entry goes with it.
    int destroyed = 0;
    editor->OnDestroyed.Connect([&destroyed](BaseGUIObject*) { ++destroyed; });
    delete widget;
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(dialog->GetElementByName(L"cellEditor"));
}

TEST_F(LateControl, RefusedCasesAttachNothing)
{
    // A name that a form control with a live widget owns.
    auto clash = MakeEdit(window, L"lineEdit");
    EXPECT_FALSE(dialog->AttachControl(clash));
    EXPECT_NE(dialog->GetElementByName(L"lineEdit"), clash);

    // No name at all, a widget outside the dialog, nothing.
    auto nameless = MakeEdit(window, nullptr);
    EXPECT_FALSE(dialog->AttachControl(nameless));
    QWidget elsewhere;
    auto outside = MakeEdit(&elsewhere, L"outside");
    EXPECT_FALSE(dialog->AttachControl(outside));
    EXPECT_FALSE(dialog->GetElementByName(L"outside"));
    EXPECT_FALSE(dialog->AttachControl(nullptr));

    // A nameless control takes its widget's object name.
    nameless->GetPlatformWindow()->setObjectName(QStringLiteral("fromWidget"));
    EXPECT_TRUE(dialog->AttachControl(nameless));
    EXPECT_EQ(nameless->GetName(), L"fromWidget");

    // An editor opened again under the name of one already closed.
    auto first = MakeEdit(window, L"editor");
    ASSERT_TRUE(dialog->AttachControl(first));
    auto second = MakeEdit(window, L"editor");
    EXPECT_FALSE(dialog->AttachControl(second));   // the first one is still open
    delete first->GetPlatformWindow();
    EXPECT_TRUE(dialog->AttachControl(second));
    EXPECT_EQ(dialog->GetElementByName(L"editor"), second);
    // The first one's end, coming late, leaves the second's entry alone.
    first.reset();
    EXPECT_EQ(dialog->GetElementByName(L"editor"), second);

    // The dialog's window gone: nothing to attach to.
    auto late = MakeEdit(window, L"late");
    delete window.data();
    EXPECT_FALSE(dialog->AttachControl(late));
}

} // namespace
