// Controls and widgets going in either order, for the group box, the line,
// the progress bar and the five containers: with the widget gone every
// operation answers neutrally (the widget and page operations throw); with
// the control gone the widget still takes the user's input; and a handler
// may drop its own control.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "AUILibConfig.h"
#include "ChildDialog.h"
#include "GroupBox.h"
#include "Line.h"
#include "ProgressBar.h"
#include "ScrollArea.h"
#include "Splitter.h"
#include "StackedDialog.h"
#include "TabView.h"

#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

using namespace AUILib;

namespace {

struct Row {
    const char* name;
    std::function<Control()> make;
    // Every operation of the control's own, with the widget gone: neutral
    // answers, and the throws its widget and page operations make.
    std::function<void(BaseGUIObject&)> callAllGone;
    // Gives the placed widget what the form would (pages, panes, content).
    std::function<void(QWidget*)> fill;
    // What a user does to the widget; true when the widget took it.
    std::function<bool(QWidget*)> useWidget;
};

bool ClickSecondTab(QWidget* widget)
{
    auto* tabs = qobject_cast<QTabWidget*>(widget);
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    return tabs->currentIndex() == 1;
}

void AddTwoTabs(QWidget* widget)
{
    auto* tabs = qobject_cast<QTabWidget*>(widget);
    tabs->addTab(new QLabel(QStringLiteral("One")), QStringLiteral("One"));
    tabs->addTab(new QLabel(QStringLiteral("Two")), QStringLiteral("Two"));
}

bool DragSplitterHandle(QWidget* widget)
{
    auto* splitter = qobject_cast<QSplitter*>(widget);
    const QList<int> before = splitter->sizes();
    QWidget* handle = splitter->handle(1);
    const QPoint middle = handle->rect().center();
    DragAlong(handle, {middle, middle + QPoint(10, 0), middle + QPoint(30, 0)});
    return splitter->sizes() != before;
}

const Row kRows[] = {
    {"group box", [] { return std::make_shared<GroupBox>(); },
     [](BaseGUIObject& c) {
         auto& box = As<GroupBox>(c);
         box.SetText(L"Title");
         EXPECT_EQ(box.GetText(), L"");
         box.SetColors(1, 2);
         ExpectControlNotValid("group box Show", [&] { box.Show(false, true); });
     },
     [](QWidget* widget) { qobject_cast<QGroupBox*>(widget)->setCheckable(true); },
     [](QWidget* widget) {
         auto* box = qobject_cast<QGroupBox*>(widget);
         const bool before = box->isChecked();
         QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
         QTest::keyClick(box, Qt::Key_Space);
         box->setTitle(QStringLiteral("Still here"));
         return box->isChecked() != before || box->title() == QStringLiteral("Still here");
     }},
    {"line", [] { return std::make_shared<Line>(); },
     [](BaseGUIObject& c) {
         auto& line = As<Line>(c);
         line.SetLineColor(0xFF0000);
         EXPECT_EQ(line.GetWndPtr(), nullptr);
     },
     [](QWidget* widget) { qobject_cast<QFrame*>(widget)->setFrameShape(QFrame::HLine); },
     [](QWidget* widget) { return !widget->grab().isNull(); }},
    {"progress bar", [] { return std::make_shared<ProgressBar>(); },
     [](BaseGUIObject& c) {
         auto& bar = As<ProgressBar>(c);
         SignalRecorder<int> changes(bar.OnValueChanged);
         bar.SetRange(0, 10);
         EXPECT_FALSE(bar.SetValue(5));
         EXPECT_EQ(bar.GetValue(), 0);
         EXPECT_EQ(bar.GetMinimum(), 0);
         EXPECT_EQ(bar.GetMaximum(), 0);
         EXPECT_EQ(changes.Count(), 0u);
     },
     [](QWidget*) {},
     [](QWidget* widget) {
         auto* bar = qobject_cast<QProgressBar*>(widget);
         bar->setValue(42);
         return bar->value() == 42;
     }},
    {"child dialog", [] { return std::make_shared<ChildDialog>(); },
     [](BaseGUIObject& c) {
         auto& panel = As<ChildDialog>(c);
         panel.SetBackgroundColor(0xFF0000);
         EXPECT_EQ(panel.BackgroundColor(), -1);
         ExpectControlNotValid("SetVisible", [&] { panel.SetVisible(true); });
     },
     [](QWidget*) {},
     [](QWidget* widget) {
         widget->resize(50, 40);
         return widget->grab().size() == QSize(50, 40);
     }},
    {"stacked dialog", [] { return std::make_shared<StackedDialog>(); },
     [](BaseGUIObject& c) {
         auto& stack = As<StackedDialog>(c);
         stack.SetCurrentIndex(1);
         EXPECT_EQ(stack.GetCurrentIndex(), 0);
         QWidget page;
         EXPECT_EQ(stack.InsertChildDialog(0, &page), 0);
         EXPECT_EQ(page.parent(), nullptr);
         stack.AddChildDialog(nullptr);
         ExpectControlNotValid("GetPage", [&] { stack.GetPage(0); });
         ExpectControlNotValid("GetPage outside", [&] { stack.GetPage(-1); });
         ExpectControlNotValid("EnablePage recursive", [&] { stack.EnablePage(0, false, true); });
         ExpectControlNotValid("EnablePage alone", [&] { stack.EnablePage(0, false, false); });
     },
     [](QWidget* widget) {
         auto* stack = qobject_cast<QStackedWidget*>(widget);
         stack->addWidget(new QLabel(QStringLiteral("One")));
         stack->addWidget(new QLabel(QStringLiteral("Two")));
     },
     [](QWidget* widget) {
         auto* stack = qobject_cast<QStackedWidget*>(widget);
         stack->setCurrentIndex(1);
         return stack->currentIndex() == 1;
     }},
    {"tab view", [] { return std::make_shared<TabView>(); },
     [](BaseGUIObject& c) {
         auto& tabs = As<TabView>(c);
         SignalRecorder<int> changes(tabs.OnCurrentChanged);
         tabs.SetCurrentIndex(1);
         tabs.SetTabText(0, L"Text");
         EXPECT_EQ(tabs.GetTabText(0), L"");
         EXPECT_EQ(tabs.GetCurrentIndex(), -1);
         EXPECT_EQ(tabs.GetItemCount(), 0);
         tabs.ActivateNextTab();
         tabs.ActivatePreviousTab();
         EXPECT_EQ(changes.Count(), 0u);
         ExpectControlNotValid("EnablePage recursive", [&] { tabs.EnablePage(0, true, true); });
         ExpectControlNotValid("EnablePage alone", [&] { tabs.EnablePage(0, true, false); });
         ExpectControlNotValid("EnablePage outside", [&] { tabs.EnablePage(-1, true, false); });
     },
     AddTwoTabs, ClickSecondTab},
    {"splitter", [] { return std::make_shared<Splitter>(); },
     [](BaseGUIObject& c) {
         auto& splitter = As<Splitter>(c);
         splitter.SetDynamicResizing(true);
         EXPECT_FALSE(splitter.DynamicResizing());
         splitter.SetSizes({10, 20});
         splitter.SetHandleWidth(5);
         splitter.AddView(&splitter);
         EXPECT_TRUE(splitter.GetViews().empty());
     },
     [](QWidget* widget) {
         auto* splitter = qobject_cast<QSplitter*>(widget);
         splitter->addWidget(new QLabel(QStringLiteral("Left")));
         splitter->addWidget(new QLabel(QStringLiteral("Right")));
     },
     DragSplitterHandle},
    {"scroll area", [] { return std::make_shared<ScrollArea>(); }, [](BaseGUIObject&) {},
     [](QWidget* widget) {
         auto* content = new QLabel(QStringLiteral("Content"));
         content->setMinimumSize(600, 600);
         qobject_cast<QScrollArea*>(widget)->setWidget(content);
     },
     [](QWidget* widget) {
         auto* area = qobject_cast<QScrollArea*>(widget);
         QTest::keyClick(area, Qt::Key_PageDown);
         area->verticalScrollBar()->setValue(40);
         return area->verticalScrollBar()->value() > 0;
     }},
};

TEST(GoneWidgetContainers, EveryOperationAnswersNeutrallyAndWidgetOperationsThrow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Control control = row.make();
        QWidget parent;
        control->Create(&parent);
        delete control->GetBaseImpl()->GetWndPtr();
        ASSERT_EQ(control->GetBaseImpl()->GetWndPtr(), nullptr);

        QWidget other;
        ExpectControlNotValid("Create", [&] { control->Create(&other); });
        // A failed Create records nothing.
        EXPECT_EQ(control->GetParentWindow(), control->GetControlType() == ControlTypeLine ? nullptr : &parent);
        ExpectControlNotValid("impl IdealSize", [&] { control->GetBaseImpl()->IdealSize(); });
        ExpectWidgetOperationsRefused(*control);
        row.callAllGone(*control);
        EXPECT_EQ(control->GetSkinManager(), GetGlobalSkinManager());
    }
}

TEST(GoneWidgetContainers, AWidgetWhoseControlIsGoneStillTakesInput)
{
    for (const Row& row : kRows) {
        for (const bool keepImpl : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (keepImpl ? ", implementation kept" : ""));
            ActiveWindow window;
            std::shared_ptr<BaseImpl> impl;
            QPointer<QWidget> widget =
                PlaceAndDropControl(row.make, window.Get(), keepImpl ? &impl : nullptr, row.fill);
            ASSERT_TRUE(widget);  // the window owns it
            ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 200, 150)));
            EXPECT_TRUE(row.useWidget(widget));
            widget->repaint();
            if (impl) {
                EXPECT_EQ(impl->GetWndPtr(), widget.data());
            }
        }
    }
}

TEST(GoneWidgetContainers, AControlDroppedBeforeItIsPlacedTakesItsWidget)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ExpectUnplacedWidgetGoesWithControl(row.make);
    }
}

TEST(GoneWidgetContainers, AProgressHandlerMayDropItsOwnControl)
{
    const struct {
        const char* name;
        std::function<void(ProgressBar&, QProgressBar*)> change;
        int value;
        int maximum;
    } rows[] = {
        {"SetValue", [](ProgressBar& bar, QProgressBar*) { bar.SetValue(30); }, 30, 100},
        {"SetRange moving the value first", [](ProgressBar& bar, QProgressBar*) { bar.SetRange(60, 90); }, 60, 90},
        {"a change on the widget", [](ProgressBar&, QProgressBar* widget) { widget->setValue(70); }, 70, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        auto bar = std::make_shared<ProgressBar>();
        bar->Create(&parent);
        bar->SetValue(10);
        QPointer<QProgressBar> widget = WidgetOf<QProgressBar>(*bar);
        int calls = 0;
        bar->OnValueChanged.Connect([&](int) {
            ++calls;
            bar.reset();
        });
        row.change(*bar, widget);
        EXPECT_EQ(bar, nullptr);
        EXPECT_EQ(calls, 1);
        ASSERT_TRUE(widget);
        EXPECT_EQ(widget->value(), row.value);
        EXPECT_EQ(widget->maximum(), row.maximum);
        widget->setValue(row.value + 1);   // nothing left to tell
        EXPECT_EQ(calls, 1);
    }
}

TEST(GoneWidgetContainers, ATabHandlerMayDropItsOwnControl)
{
    const struct {
        const char* name;
        std::function<void(TabView&, QWidget*)> change;
        int current;
    } rows[] = {
        {"SetCurrentIndex", [](TabView& tabs, QWidget*) { tabs.SetCurrentIndex(2); }, 2},
        {"ActivateNextTab", [](TabView& tabs, QWidget*) { tabs.ActivateNextTab(); }, 1},
        {"ActivatePreviousTab", [](TabView& tabs, QWidget*) { tabs.ActivatePreviousTab(); }, 2},
        {"a click on a tab", [](TabView&, QWidget* widget) { ClickSecondTab(widget); }, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ActiveWindow window;
        auto tabs = std::make_shared<TabView>();
        tabs->Create(window.Get());
        QPointer<QTabWidget> widget = WidgetOf<QTabWidget>(*tabs);
        AddTwoTabs(widget);
        widget->addTab(new QLabel(QStringLiteral("Three")), QStringLiteral("Three"));
        ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 240, 150)));
        int calls = 0;
        tabs->OnCurrentChanged.Connect([&](int) {
            ++calls;
            tabs.reset();
        });
        row.change(*tabs, widget);
        EXPECT_EQ(tabs, nullptr);
        EXPECT_EQ(calls, 1);
        ASSERT_TRUE(widget);
        EXPECT_EQ(widget->currentIndex(), row.current);
        widget->setCurrentIndex(0);   // nothing left to tell
        EXPECT_EQ(calls, 1);
    }
}

// A widget that was never placed goes with its control; when a handler
// drops the control in the middle of the widget's own input handling (a
// click on a tab), the widget must outlive that handling and go afterwards.
TEST(GoneWidgetContainers, ATabHandlerMayDropItsControlWhoseWidgetWasNeverPlaced)
{
    auto tabs = std::make_shared<TabView>();
    QPointer<QTabWidget> widget = WidgetOf<QTabWidget>(*tabs);
    AddTwoTabs(widget);
    ASSERT_TRUE(ShowUnplaced(widget, QRect(40, 40, 240, 150)));
    tabs->OnCurrentChanged.Connect([&](int) { tabs.reset(); });
    EXPECT_TRUE(ClickSecondTab(widget));
    EXPECT_EQ(tabs, nullptr);
    RunPostedAndDeferredDeletes();
    EXPECT_FALSE(widget);
}

TEST(GoneWidgetContainers, ATabHandlerMayChangeItsOwnControl)
{
    QWidget parent;
    TabView tabs;
    tabs.Create(&parent);
    AddTwoTabs(WidgetOf<QTabWidget>(tabs));
    std::vector<int> seen;
    tabs.OnCurrentChanged.Connect([&](int index) {
        seen.push_back(index);
        tabs.ActivateNextTab();   // its own emission is dropped, not recursed into
    });
    tabs.SetCurrentIndex(1);
    EXPECT_EQ(seen, std::vector<int>{1});
    EXPECT_EQ(tabs.GetCurrentIndex(), 0);
}

} // namespace
