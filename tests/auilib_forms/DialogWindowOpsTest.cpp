// The dialog's window-wide operations: enabling, painting now or later,
// showing without bringing back hidden children, and the control operations
// it shares with every control; each with the window there and once it is
// gone.
#include "AgnosticUIException.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Counts the paint events a widget gets and keeps the last one's region.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override
    {
        if (widget_)
            widget_->removeEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++count;
            region = static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

    int count = 0;
    QRegion region;

private:
    QPointer<QWidget> widget_;
};

// The main form, shown modeless, with its window watched.
struct ShownMain {
    ShownMain() : dialog(FormPath("main")), window(dialog.GetWndPtr()), guard(window)
    {
        dialog.DoModeless();
        QApplication::processEvents();
    }
    QWidget* Child(const char* name) const { return window->findChild<QWidget*>(name); }

    GermanStrings strings{false};
    VetoDialog dialog;
    QPointer<QWidget> window;
    WindowGuard guard;
};

// Two ways to lose the window: closed by the dialog's own result, and deleted
// under the dialog.
struct WindowLoss {
    const char* name;
    std::function<void(VetoDialog&)> lose;
};

const WindowLoss kWindowLosses[] = {
    {"closed", [](VetoDialog& d) { d.Done(AUILib::Dialog::DoneOK); }},
    {"deleted", [](VetoDialog& d) { delete d.GetWndPtr(); }},
};

TEST(DialogWindowOps, EnableSetsTheWindowAloneOrEveryWidgetInIt)
{
    ShownMain scene;
    QWidget* edit = scene.Child("lineEdit");
    QWidget* button = scene.Child("pushButton");
    ASSERT_TRUE(edit && button);
    const auto ownFlag = [](QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); };

    const struct {
        const char* name;
        bool enable;
        bool recursive;
        bool windowEnabled;
        bool childrenEnabled;   // as they show
        bool childrenOwnFlag;   // as set on the children themselves
    } steps[] = {
        {"off, window only", false, false, false, false, true},
        {"on, window only", true, false, true, true, true},
        {"off, every widget", false, true, false, false, false},
        {"on, window only, children stay off", true, false, true, false, false},
        {"on, every widget", true, true, true, true, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        scene.dialog.Enable(s.enable, s.recursive);
        EXPECT_EQ(scene.window->isEnabled(), s.windowEnabled);
        EXPECT_EQ(scene.dialog.IsEnabled(), s.windowEnabled);
        for (QWidget* child : {edit, button}) {
            EXPECT_EQ(child->isEnabled(), s.childrenEnabled) << child->objectName().toStdString();
            EXPECT_EQ(ownFlag(child), s.childrenOwnFlag) << child->objectName().toStdString();
        }
    }
}

TEST(DialogWindowOps, RepaintPaintsAtOnceAndUpdatesLater)
{
    ShownMain scene;
    // A blinking text cursor would add paints of its own.
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);
    PaintCounter painted(scene.window);
    const QRect part(5, 6, 30, 20);

    const struct {
        const char* name;
        std::function<void(AUILib::Dialog&)> call;
        bool atOnce;
        QRegion region;   // empty: the whole window
    } cases[] = {
        {"Repaint", [](AUILib::Dialog& d) { d.Repaint(); }, true, QRegion()},
        {"Repaint of a region", [&](AUILib::Dialog& d) { d.Repaint(AUILib::Region{QRegion(part)}); }, true,
         QRegion(part)},
        {"UpdateWindow", [](AUILib::Dialog& d) { d.UpdateWindow(); }, false, QRegion()},
        {"Update of a region", [&](AUILib::Dialog& d) { d.Update(AUILib::Region{QRegion(part)}); }, false,
         QRegion(part)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::processEvents();
        painted.count = 0;
        c.call(scene.dialog);
        EXPECT_EQ(painted.count, c.atOnce ? 1 : 0);
        QApplication::processEvents();
        ASSERT_EQ(painted.count, 1);
        const QRegion expected = c.region.isEmpty() ? QRegion(scene.window->rect()) : c.region;
        EXPECT_EQ(painted.region, expected);
    }
    QApplication::setCursorFlashTime(flashTime);
}

TEST(DialogWindowOps, ShowButKeepHiddenChildrenLeavesHiddenChildrenHidden)
{
    ShownMain scene;
    QWidget* edit = scene.Child("lineEdit");
    QWidget* button = scene.Child("pushButton");
    ASSERT_TRUE(edit && button);
    edit->hide();
    const QRect geometry = scene.window->geometry();

    scene.dialog.ShowButKeepHiddenChildren(false);
    EXPECT_FALSE(scene.window->isVisible());
    scene.dialog.ShowButKeepHiddenChildren(true);
    EXPECT_TRUE(scene.window->isVisible());
    EXPECT_TRUE(button->isVisible());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(scene.window->geometry(), geometry);

    // Shown already: nothing happens, not even a paint.
    PaintCounter painted(scene.window);
    QApplication::processEvents();
    painted.count = 0;
    scene.dialog.ShowButKeepHiddenChildren(true);
    EXPECT_EQ(painted.count, 0);
    EXPECT_FALSE(edit->isVisible());
}

TEST(DialogWindowOps, WithoutItsWindowTheOperationsDoNothing)
{
    for (const WindowLoss& loss : kWindowLosses) {
        SCOPED_TRACE(loss.name);
        GermanStrings strings(false);
        VetoDialog dialog(FormPath("main"));
        QPointer<QWidget> window = dialog.GetWndPtr();
        WindowGuard guard(window);
        dialog.DoModeless();
        loss.lose(dialog);
        RunDeferredDeletes();
        ASSERT_FALSE(window);
        ASSERT_EQ(dialog.GetWndPtr(), nullptr);

        EXPECT_NO_THROW(dialog.Enable(false, true));
        EXPECT_NO_THROW(dialog.Enable(true, false));
        EXPECT_NO_THROW(dialog.Repaint());
        EXPECT_NO_THROW(dialog.Repaint(AUILib::Region{QRegion(0, 0, 10, 10)}));
        EXPECT_NO_THROW(dialog.Update(AUILib::Region{QRegion(0, 0, 10, 10)}));
        EXPECT_NO_THROW(dialog.UpdateWindow());
        EXPECT_NO_THROW(dialog.ShowButKeepHiddenChildren(true));
        EXPECT_NO_THROW(dialog.ShowButKeepHiddenChildren(false));
        QApplication::processEvents();
        EXPECT_EQ(dialog.GetWndPtr(), nullptr);
    }
}

// The control operations every dialog shares, each answering whether its
// answer is the empty one (null, 0, false, empty rectangle, size, point or
// size policy); operations without an answer say true.
struct SharedOperation {
    const char* name;
    std::function<bool(AUILib::Dialog&)> answersEmpty;
    bool answersWhileShown;   // with the window shown the answer is not the empty one
};

std::wstring g_sample = L"sample";

const SharedOperation kSharedOperations[] = {
    {"IsVisible", [](AUILib::Dialog& d) { return !d.IsVisible(); }, true},
    {"IsEnabled", [](AUILib::Dialog& d) { return !d.IsEnabled(); }, true},
    {"GetLogicalPixelsX", [](AUILib::Dialog& d) { return d.GetLogicalPixelsX() == 0; }, true},
    {"GetLogicalPixelsY", [](AUILib::Dialog& d) { return d.GetLogicalPixelsY() == 0; }, true},
    {"GetWindowRect", [](AUILib::Dialog& d) { return d.GetWindowRect() == AUILib::Rect{}; }, true},
    {"GetWindowRectUnscaled", [](AUILib::Dialog& d) { return d.GetWindowRectUnscaled() == AUILib::Rect{}; }, true},
    {"GetClientRect", [](AUILib::Dialog& d) { return d.GetClientRect() == AUILib::Rect{}; }, true},
    {"ScreenToClient", [](AUILib::Dialog& d) { return d.ScreenToClient(AUILib::Point{7000, 7000}) == AUILib::Point{}; },
     true},
    {"ClientToScreen", [](AUILib::Dialog& d) { return d.ClientToScreen(AUILib::Point{7000, 7000}) == AUILib::Point{}; },
     true},
    {"IdealSize", [](AUILib::Dialog& d) { return d.IdealSize() == AUILib::Size{}; }, true},
    {"MinimumIdealSize", [](AUILib::Dialog& d) { return d.MinimumIdealSize() == AUILib::Size{}; }, true},
    {"MinimumSize", [](AUILib::Dialog& d) { return d.MinimumSize() == AUILib::Size{}; }, false},
    {"MaximumSize", [](AUILib::Dialog& d) { return d.MaximumSize() == AUILib::Size{}; }, true},
    {"SetMinimumSize", [](AUILib::Dialog& d) { return d.SetMinimumSize(AUILib::Size{10, 10}), true; }, false},
    {"SetMaximumSize", [](AUILib::Dialog& d) { return d.SetMaximumSize(AUILib::Size{900, 900}), true; }, false},
    {"MoveWindow", [](AUILib::Dialog& d) { return d.MoveWindow(10, 10, 300, 200, true), true; }, false},
    {"MoveWindowUnscaled", [](AUILib::Dialog& d) { return d.MoveWindowUnscaled(10, 10, 300, 200, false), true; },
     false},
    {"GetFrarmeWidth", [](AUILib::Dialog& d) { return d.GetFrarmeWidth() == 0; }, false},
    {"SetTimer", [](AUILib::Dialog& d) { return d.SetTimer(1, 60000) == 0; }, true},
    {"KillTimer", [](AUILib::Dialog& d) { return d.KillTimer(1), true; }, false},
    {"GetSizePolicy",
     [](AUILib::Dialog& d) {
         const AUILib::SizePolicy policy = d.GetSizePolicy();
         const AUILib::SizePolicy empty{};
         return std::memcmp(&policy, &empty, sizeof policy) == 0;
     },
     true},
    {"SetSizePolicy", [](AUILib::Dialog& d) { return d.SetSizePolicy(AUILib::SizePolicy{}), true; }, false},
    {"GetWidthForText without font", [](AUILib::Dialog& d) { return d.GetWidthForText(g_sample, nullptr) == 0; },
     true},
    {"ShowBalloonTipEx", [](AUILib::Dialog& d) { return !d.ShowBalloonTipEx(L"tip", L"", false, false); }, true},
    {"IsBalloonTipDisplayed", [](AUILib::Dialog& d) { return !d.IsBalloonTipDisplayed(); }, false},
    {"GetPlatformWindow", [](AUILib::Dialog& d) { return d.GetPlatformWindow() == nullptr; }, true},
    {"GetPlatformHandle", [](AUILib::Dialog& d) { return d.GetPlatformHandle() == nullptr; }, true},
    {"SetAcceptDrops", [](AUILib::Dialog& d) { return d.SetAcceptDrops(true), !d.IsAcceptDrops(); }, true},
    // The implementation reached directly, past the dialog's own guards.
    {"implementation Show", [](AUILib::Dialog& d) { return d.GetBaseImpl()->Show(true, true), true; }, false},
    {"implementation Enable", [](AUILib::Dialog& d) { return d.GetBaseImpl()->Enable(true, true), true; }, false},
    {"implementation Update", [](AUILib::Dialog& d) { return d.GetBaseImpl()->Update(), true; }, false},
    {"implementation Repaint", [](AUILib::Dialog& d) { return d.GetBaseImpl()->Repaint(), true; }, false},
    {"implementation SetParent", [](AUILib::Dialog& d) { return !d.GetBaseImpl()->SetParent(nullptr); }, false},
};

TEST(DialogWindowOps, SharedControlOperationsReachTheShownWindow)
{
    ShownMain scene;
    for (const SharedOperation& op : kSharedOperations) {
        if (!op.answersWhileShown)
            continue;
        SCOPED_TRACE(op.name);
        EXPECT_FALSE(op.answersEmpty(scene.dialog));
    }
    scene.dialog.HideBalloonTipEx();
}

TEST(DialogWindowOps, WithoutItsWindowSharedControlOperationsAnswerEmptyButDoneThrows)
{
    for (const WindowLoss& loss : kWindowLosses) {
        SCOPED_TRACE(loss.name);
        GermanStrings strings(false);
        VetoDialog dialog(FormPath("main"));
        QPointer<QWidget> window = dialog.GetWndPtr();
        WindowGuard guard(window);
        const std::shared_ptr<AUILib::BaseGUIObject> edit = dialog.GetElementByName(L"lineEdit");
        ASSERT_TRUE(edit);
        dialog.DoModeless();
        loss.lose(dialog);
        RunDeferredDeletes();
        ASSERT_FALSE(window);

        for (const SharedOperation& op : kSharedOperations) {
            SCOPED_TRACE(op.name);
            bool empty = false;
            EXPECT_NO_THROW(empty = op.answersEmpty(dialog));
            EXPECT_TRUE(empty);
        }
        EXPECT_EQ(dialog.GetWndPtr(), nullptr);

        // Closing through a result needs the window.
        EXPECT_THROW(dialog.Done(AUILib::Dialog::DoneCancel), AUILib::AgnosticUIException);

        // The dialog's controls, gone with the window, keep to the rule of
        // every control.
        try {
            edit->IsVisible();
            ADD_FAILURE() << "no exception";
        } catch (const AUILib::AgnosticUIException& e) {
            EXPECT_STREQ(e.what(), "Control is not valid.");
        }
    }
}

} // namespace
