// The dialog's window-wide operations: enabling, painting now or later,
// showing without bringing back hidden children; each with the window there
// and once it is gone.
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>

#include <functional>
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
    // Two ways to lose the window: closed by the dialog's own result, and
    // deleted under the dialog.
    const struct {
        const char* name;
        std::function<void(VetoDialog&)> lose;
    } losses[] = {
        {"closed", [](VetoDialog& d) { d.Done(AUILib::Dialog::DoneOK); }},
        {"deleted", [](VetoDialog& d) { delete d.GetWndPtr(); }},
    };
    for (const auto& loss : losses) {
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

} // namespace
