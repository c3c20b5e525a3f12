// Event procedures, signal handlers and queued handlers that destroy what
// their event is for: the control's widget, a control created at run time,
// the dialog, or the dialog's window. Events go through Qt's own delivery,
// so Qt reading a destroyed receiver after the filter, or the filter or the
// window reading a destroyed control, procedure or window, shows up under
// the address sanitizer.
#include "Edit.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

#include <functional>
#include <string>

namespace {

using AUILib::BaseGUIObject;
using AUILib::Event;

// A loaded main form with one control made after loading.
struct Scene {
    Scene()
        : dialog(std::make_unique<VetoDialog>(FormPath("main"))),
          window(dialog->GetWndPtr()),
          edit(dialog->GetElementByName(L"lineEdit")->GetPlatformWindow()),
          late(std::make_shared<AUILib::Edit>())
    {
        late->Create(window);
        late->SetName(L"lateEdit");
        lateWidget = late->GetPlatformWindow();
        attached = dialog->AttachControl(late);
    }
    ~Scene()
    {
        dialog.reset();
        delete window.data();
        RunDeferredDeletes();
        QCoreApplication::processEvents();
    }

    GermanStrings strings{false};
    std::unique_ptr<VetoDialog> dialog;
    QPointer<QWidget> window;
    QPointer<QWidget> edit;
    std::shared_ptr<BaseGUIObject> late;
    QPointer<QWidget> lateWidget;
    bool attached = false;
};

enum class Holder { FormEdit, LateControl, Dialog };

struct Action {
    const char* name;
    Holder holder;
    std::function<void(Scene&)> destroy;
};

struct Delivery {
    const char* name;
    std::function<QEvent*()> make;
};

// After the destruction the procedure reads one of its own captures, as a
// handler that logs or updates state would; the filter must have called a
// copy for that to be safe when the stored procedure went with its owner.
BaseGUIObject::EventProcedureFunction Destroying(Scene& scene, const Action& action, std::vector<std::string>& calls)
{
    return [&scene, &action, &calls, tag = std::string(40, 'p')](BaseGUIObject*, Event*) {
        action.destroy(scene);
        calls.push_back(tag);
        return false;
    };
}

TEST(DestroyingHandlers, AProcedureMayDestroyWhatItsEventIsFor)
{
    const std::vector<Action> actions = {
        {"edit deletes its widget", Holder::FormEdit, [](Scene& s) { delete s.edit.data(); }},
        {"run-time control deletes its widget and itself", Holder::LateControl,
         [](Scene& s) {
             delete s.lateWidget.data();
             s.late.reset();
         }},
        {"edit destroys the dialog", Holder::FormEdit, [](Scene& s) { s.dialog.reset(); }},
        {"dialog destroys itself", Holder::Dialog, [](Scene& s) { s.dialog.reset(); }},
        {"edit destroys the window", Holder::FormEdit, [](Scene& s) { delete s.window.data(); }},
        {"dialog destroys its window", Holder::Dialog, [](Scene& s) { delete s.window.data(); }},
        {"dialog destroys itself and its window", Holder::Dialog,
         [](Scene& s) {
             s.dialog.reset();
             delete s.window.data();
         }},
    };
    const std::vector<Delivery> deliveries = {
        {"context menu", [] { return new QContextMenuEvent(QContextMenuEvent::Mouse, QPoint(2, 2)); }},
        {"mouse press",
         [] {
             return new QMouseEvent(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                                    Qt::NoModifier);
         }},
        {"key press", [] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")); }},
        {"input method commit of three characters",
         [] {
             auto* commit = new QInputMethodEvent;
             commit->setCommitString(QStringLiteral("abc"));
             return commit;
         }},
    };

    for (const Action& action : actions) {
        for (const Delivery& delivery : deliveries) {
            SCOPED_TRACE(std::string(action.name) + " on " + delivery.name);
            Scene scene;
            ASSERT_TRUE(scene.attached);
            std::vector<std::string> calls;
            BaseGUIObject* holder = action.holder == Holder::Dialog        ? scene.dialog.get()
                                    : action.holder == Holder::LateControl ? scene.late.get()
                                                                           : scene.dialog->GetElementByName(L"lineEdit").get();
            QWidget* target = action.holder == Holder::Dialog        ? scene.window.data()
                              : action.holder == Holder::LateControl ? scene.lateWidget.data()
                                                                     : scene.edit.data();
            holder->SetEventProcedure(Destroying(scene, action, calls));

            std::unique_ptr<QEvent> event(delivery.make());
            // Consumed: nothing is handed on to what is gone.
            EXPECT_TRUE(QApplication::sendEvent(target, event.get()));
            EXPECT_TRUE(event->isAccepted());
            // The first call ended the handling: no further character.
            EXPECT_EQ(calls.size(), 1u);
            RunDeferredDeletes();
            QCoreApplication::processEvents();
        }
    }

    // The application goes on: a new dialog's events reach its procedure.
    Scene after;
    int seen = 0;
    after.dialog->GetElementByName(L"lineEdit")->SetEventProcedure([&seen](BaseGUIObject*, Event*) {
        ++seen;
        return false;
    });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(after.edit, &press);
    EXPECT_EQ(seen, 1);
}

TEST(DestroyingHandlers, AResizeHandlerMayDeleteTheWindow)
{
    Scene scene;
    scene.dialog->DoModeless();
    QCoreApplication::processEvents();
    int calls = 0;
    scene.dialog->OnResize.Connect([&scene, &calls] {
        delete scene.window.data();
        ++calls;
    });
    // Delivered as an event alone: Qt's own resize and move calls go on
    // using the window after the event, so a handler of a resize they make
    // must not delete the window at once.
    const QSize before = scene.window->size();
    QResizeEvent resize(before + QSize(40, 30), before);
    QApplication::sendEvent(scene.window, &resize);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene.window);
    EXPECT_FALSE(scene.dialog->GetWndPtr());
}

TEST(DestroyingHandlers, AProcedureThatDestroysNothingKeepsItsResult)
{
    Scene scene;
    auto edit = scene.dialog->GetElementByName(L"lineEdit");
    std::vector<std::wstring> texts;
    edit->SetEventProcedure([&texts](BaseGUIObject*, Event* e) {
        texts.push_back(static_cast<AUILib::KeyEvent*>(e)->text);
        return false;
    });
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("xyz"));
    EXPECT_FALSE(scene.dialog->Impl()->GetEventHelper()->eventFilter(scene.edit, &commit));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"x", L"y", L"z"}));

    // A procedure that replaces itself while running finishes as it began.
    int first = 0;
    int second = 0;
    edit->SetEventProcedure([&, tag = std::string(40, 'q')](BaseGUIObject* control, Event*) {
        control->SetEventProcedure([&second](BaseGUIObject*, Event*) {
            ++second;
            return false;
        });
        first += static_cast<int>(tag.size()) > 0 ? 1 : 0;
        return false;
    });
    EXPECT_FALSE(scene.dialog->Impl()->GetEventHelper()->eventFilter(scene.edit, &commit));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

TEST(DestroyingHandlers, AQueuedHandlerMayDeleteItsReceiversWidget)
{
    Scene scene;
    auto edit = scene.dialog->GetElementByName(L"lineEdit");
    AUILib::Signal<int> signal;
    std::vector<int> seen;
    signal.ConnectQueued(
        [&scene, &seen, tag = std::string(40, 'q')](int value) {
            delete scene.edit.data();
            seen.push_back(value + static_cast<int>(tag.size()) - 40);
        },
        edit);
    signal.Emit(7);
    signal.Emit(8);   // posted too, and dropped unrun with the widget
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(seen, (std::vector<int>{7}));
    EXPECT_FALSE(scene.edit);

    // The receiver has no widget now: a later emission posts nothing.
    signal.Emit(9);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(seen, (std::vector<int>{7}));

    // A queued call that destroys the whole dialog and its window.
    Scene other;
    AUILib::Signal<> closing;
    int runs = 0;
    closing.ConnectQueued(
        [&other, &runs] {
            other.dialog.reset();
            delete other.window.data();
            ++runs;
        },
        other.late);
    closing.Emit();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(other.window);
}

} // namespace
