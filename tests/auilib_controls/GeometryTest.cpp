// Geometry of the implementation base on real widgets. Offscreen windows
// have no frames, so frame offsets are shown with QFrame widgets.
#include "BaseImplQt.h"
#include "ChildDialog.h"
#include "Line.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFrame>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace AUILib;

namespace {

// An implementation over any widget, as a control's would be.
class WidgetImpl : public BaseImplQt {
public:
    explicit WidgetImpl(QWidget* widget) : widget_(widget) {}
    QWidget* GetWndPtr() override { return widget_.data(); }

private:
    QPointer<QWidget> widget_;
};

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace

TEST(Geometry, MoveAndClientRectPerWidgetKind)
{
    QWidget window;
    window.resize(400, 300);

    struct Row {
        const char* name;
        QFrame::Shape shape;  // NoFrame for the plain widget
        int lineWidth;
        QPoint expectedPos;
        Rect expectedClient;
        int expectedFrameWidth;
    };
    const Row rows[] = {
        {"plain widget", QFrame::NoFrame, 0, QPoint(10, 20), Rect{0, 0, 99, 49}, 0},
        {"box of width 1", QFrame::Box, 1, QPoint(11, 21), Rect{0, 0, 97, 47}, 1},
        {"box of width 3", QFrame::Box, 3, QPoint(13, 23), Rect{0, 0, 93, 43}, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* widget = nullptr;
        std::shared_ptr<BaseGUIObject> control;
        if (row.shape == QFrame::NoFrame) {
            control = std::make_shared<ChildDialog>();
        } else {
            control = std::make_shared<Line>();
            auto* frame = qobject_cast<QFrame*>(control->GetBaseImpl()->GetWndPtr());
            frame->setFrameShape(row.shape);
            frame->setFrameShadow(QFrame::Plain);
            frame->setLineWidth(row.lineWidth);
        }
        control->Create(&window);
        widget = control->GetBaseImpl()->GetWndPtr();

        control->MoveWindow(10, 20, 100, 50, true);
        EXPECT_EQ(widget->pos(), row.expectedPos);
        EXPECT_EQ(widget->size(), QSize(100, 50));
        control->MoveWindowUnscaled(10, 20, 100, 50, false);
        EXPECT_EQ(widget->pos(), row.expectedPos);

        EXPECT_EQ(control->GetClientRect(), row.expectedClient);
        EXPECT_EQ(control->GetFrarmeWidth(), row.expectedFrameWidth);

        const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
        const Rect windowRect = control->GetWindowRect();
        EXPECT_EQ(windowRect, (Rect{origin.x(), origin.y(), origin.x() + 99, origin.y() + 49}));
        EXPECT_EQ(control->GetWindowRectUnscaled(), windowRect);

        const int fw = row.expectedFrameWidth;
        const Point screen = control->ClientToScreen(Point{5, 6});
        EXPECT_EQ(screen, (Point{origin.x() + 5 + fw, origin.y() + 6 + fw}));
        EXPECT_EQ(control->ScreenToClient(screen), (Point{5, 6}));
    }
}

TEST(Geometry, AHiddenDialogComesBackWhereItWas)
{
    auto* dialog = new QDialog;
    WidgetImpl impl(dialog);
    impl.MoveWindow(40, 50, 220, 120, false);
    impl.Show(true, false);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const QRect shown = dialog->geometry();

    impl.Show(false, false);
    EXPECT_FALSE(dialog->isVisible());
    dialog->setGeometry(300, 300, 50, 50);  // moved while hidden
    impl.Show(true, false);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->geometry(), shown);
    delete dialog;
    EXPECT_EQ(impl.GetWndPtr(), nullptr);
}

TEST(Geometry, ShowReadsTheWidgetsOwnStateNotItsAncestors)
{
    QWidget window;
    window.resize(200, 100);
    ChildDialog child;
    child.Create(&window);
    QWidget* widget = child.GetBaseImpl()->GetWndPtr();
    widget->setGeometry(0, 0, 50, 50);

    // Already shown: no repaint, though one was asked for.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter;
    widget->installEventFilter(&counter);
    child.Show(true, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    // Shown explicitly under a hidden window: hiding it must still happen,
    // though isVisible() already answers false.
    window.hide();
    widget->show();
    ASSERT_FALSE(widget->isVisible());
    child.Show(false, false);
    window.show();
    EXPECT_FALSE(widget->isVisible());
    EXPECT_FALSE(child.IsVisible());
}

TEST(Geometry, SizesAndTimersReachTheWidget)
{
    QWidget window;
    ChildDialog child;
    child.Create(&window);
    QWidget* widget = child.GetBaseImpl()->GetWndPtr();
    child.SetMinimumSize(Size{30, 40});
    child.SetMaximumSize(Size{300, 400});
    EXPECT_EQ(child.MinimumSize(), (Size{30, 40}));
    EXPECT_EQ(child.MaximumSize(), (Size{300, 400}));
    EXPECT_EQ(widget->minimumSize(), QSize(30, 40));

    const int id = child.SetTimer(5, 100);
    EXPECT_GT(id, 0);  // Qt's own id, whatever was asked for
    child.KillTimer(static_cast<unsigned>(id));
    EXPECT_GT(child.GetLogicalPixelsX(), 0);
    EXPECT_GT(child.GetLogicalPixelsY(), 0);
}
