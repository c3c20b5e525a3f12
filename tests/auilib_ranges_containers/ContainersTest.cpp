// The container controls: tab stepping around the ends, page access inside
// the page count, enabling a page alone or with everything below it, the
// panel's colour, tab texts, splitter sizes and the stacked pages.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "AUILibConfig.h"
#include "ChildDialog.h"
#include "ScrollArea.h"
#include "Splitter.h"
#include "StackedDialog.h"
#include "TabView.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <climits>
#include <list>
#include <memory>
#include <vector>

using namespace AUILib;

namespace {

// Pages as the form loader makes them: child dialogs, each holding a button
// in a panel (so a page has a child and a grandchild).
struct Pages {
    std::vector<std::shared_ptr<ChildDialog>> controls;

    QWidget* Add()
    {
        auto page = std::make_shared<ChildDialog>();
        page->Create(nullptr);
        QWidget* widget = page->GetBaseImpl()->GetWndPtr();
        auto* panel = new QWidget(widget);
        panel->setObjectName(QStringLiteral("panel"));
        auto* button = new QPushButton(QStringLiteral("Go"), panel);
        button->setObjectName(QStringLiteral("button"));
        controls.push_back(page);
        return widget;
    }
};

std::vector<int> Indexes(const SignalRecorder<int>& recorder)
{
    std::vector<int> indexes;
    for (const auto& record : recorder.Records())
        indexes.push_back(std::get<0>(record));
    return indexes;
}

TEST(TabView, SteppingGoesRoundTheEnds)
{
    enum Step { Next, Previous };
    const struct {
        const char* name;
        int tabs;
        int start;
        Step step;
        int current;
        std::vector<int> signalled;
    } rows[] = {
        {"after the last comes the first", 3, 2, Next, 0, {0}},
        {"before the first comes the last", 3, 0, Previous, 2, {2}},
        {"next in the middle", 3, 1, Next, 2, {2}},
        {"previous in the middle", 3, 1, Previous, 0, {0}},
        {"no tabs, next", 0, -1, Next, -1, {}},
        {"no tabs, previous", 0, -1, Previous, -1, {}},
        {"one tab, next", 1, 0, Next, 0, {}},
        {"one tab, previous", 1, 0, Previous, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        TabView tabs;
        ASSERT_TRUE(tabs.Create(&parent));
        Pages pages;
        auto* widget = WidgetOf<QTabWidget>(tabs);
        for (int i = 0; i < row.tabs; ++i)
            widget->addTab(pages.Add(), QStringLiteral("Tab %1").arg(i));
        tabs.SetCurrentIndex(row.start);
        ASSERT_EQ(tabs.GetCurrentIndex(), row.start);
        EXPECT_EQ(tabs.GetItemCount(), row.tabs);
        SignalRecorder<int> changes(tabs.OnCurrentChanged);
        if (row.step == Next)
            tabs.ActivateNextTab();
        else
            tabs.ActivatePreviousTab();
        EXPECT_EQ(tabs.GetCurrentIndex(), row.current);
        EXPECT_EQ(Indexes(changes), row.signalled);
    }
}

// A tab view whose SetCurrentIndex is overridden sees the stepping's call.
class CountingTabView : public TabView {
public:
    void SetCurrentIndex(int index) override
    {
        asked.push_back(index);
        TabView::SetCurrentIndex(index);
    }
    std::vector<int> asked;
};

TEST(TabView, SteppingGoesThroughTheVirtualSetter)
{
    QWidget parent;
    CountingTabView tabs;
    tabs.Create(&parent);
    Pages pages;
    for (int i = 0; i < 2; ++i)
        WidgetOf<QTabWidget>(tabs)->addTab(pages.Add(), QStringLiteral("Tab"));
    tabs.ActivateNextTab();
    tabs.ActivatePreviousTab();
    EXPECT_EQ(tabs.asked, (std::vector<int>{1, 0}));
}

TEST(TabView, EveryChangeOfTheCurrentTabIsSignalled)
{
    ActiveWindow window;
    TabView tabs;
    tabs.Create(window.Get());
    SignalRecorder<int> changes(tabs.OnCurrentChanged);
    Pages pages;
    auto* widget = WidgetOf<QTabWidget>(tabs);
    widget->addTab(pages.Add(), QStringLiteral("First"));  // the first page becomes current
    widget->addTab(pages.Add(), QStringLiteral("Second"));
    widget->addTab(pages.Add(), QStringLiteral("Third"));
    ASSERT_TRUE(window.ShowWith(widget, QRect(0, 0, 300, 180)));
    tabs.SetCurrentIndex(2);
    tabs.SetCurrentIndex(2);   // no change, no signal
    tabs.SetCurrentIndex(7);   // outside the tabs: Qt ignores it
    QTabBar* bar = widget->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    widget->removeTab(1);      // the current one: the next takes its place
    EXPECT_EQ(Indexes(changes), (std::vector<int>{0, 2, 1, 1}));
    EXPECT_EQ(tabs.GetCurrentIndex(), 1);
}

TEST(TabView, TabTextsEndAtTheirFirstNul)
{
    QWidget parent;
    TabView tabs;
    tabs.Create(&parent);
    Pages pages;
    WidgetOf<QTabWidget>(tabs)->addTab(pages.Add(), QStringLiteral("Old"));
    tabs.SetTabText(0, std::wstring(L"Se\0cret", 7));
    EXPECT_EQ(WidgetOf<QTabWidget>(tabs)->tabText(0), QStringLiteral("Se"));
    EXPECT_EQ(tabs.GetTabText(0), L"Se");
    WidgetOf<QTabWidget>(tabs)->setTabText(0, QString::fromUtf16(u"Ab\0cd", 5));
    EXPECT_EQ(tabs.GetTabText(0), L"Ab");
    tabs.SetTabText(0, L"Übersicht \U0001F4C4");
    EXPECT_EQ(tabs.GetTabText(0), L"Übersicht \U0001F4C4");
    tabs.SetTabText(3, L"nowhere");
    EXPECT_EQ(tabs.GetTabText(3), L"");
    EXPECT_EQ(tabs.GetTabText(-1), L"");
}

TEST(StackedDialog, PagesInsideTheCountOnly)
{
    QWidget parent;
    StackedDialog stack;
    ASSERT_TRUE(stack.Create(&parent));
    EXPECT_EQ(stack.GetPage(0), nullptr);
    Pages pages;
    QWidget* first = pages.Add();
    QWidget* second = pages.Add();
    EXPECT_EQ(stack.InsertChildDialog(0, first), 0);
    EXPECT_EQ(stack.InsertChildDialog(9, second), 1);   // past the end: appended
    EXPECT_EQ(stack.InsertChildDialog(0, nullptr), -1);
    EXPECT_EQ(WidgetOf<QStackedWidget>(stack)->count(), 2);

    const struct {
        int index;
        QWidget* page;
    } rows[] = {{-1, nullptr}, {0, first}, {1, second}, {2, nullptr}, {INT_MAX, nullptr}, {INT_MIN, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(stack.GetPage(row.index), row.page);
    }

    stack.AddChildDialog(pages.controls.front().get());   // no effect
    EXPECT_EQ(WidgetOf<QStackedWidget>(stack)->count(), 2);
    EXPECT_EQ(stack.GetCurrentIndex(), 0);
    stack.SetCurrentIndex(1);
    EXPECT_EQ(stack.GetCurrentIndex(), 1);
    EXPECT_EQ(WidgetOf<QStackedWidget>(stack)->currentWidget(), second);
    stack.SetCurrentIndex(5);
    EXPECT_EQ(stack.GetCurrentIndex(), 1);
}

// Whether each of page, its panel and its button has its own flag cleared.
struct OwnFlags {
    bool page, panel, button;
    bool operator==(const OwnFlags& o) const { return page == o.page && panel == o.panel && button == o.button; }
};

std::ostream& operator<<(std::ostream& out, const OwnFlags& f)
{
    return out << "{page " << f.page << ", panel " << f.panel << ", button " << f.button << "}";
}

OwnFlags DisabledOwnFlags(QWidget* page)
{
    return OwnFlags{page->testAttribute(Qt::WA_ForceDisabled),
                    page->findChild<QWidget*>(QStringLiteral("panel"))->testAttribute(Qt::WA_ForceDisabled),
                    page->findChild<QWidget*>(QStringLiteral("button"))->testAttribute(Qt::WA_ForceDisabled)};
}

TEST(Containers, EnablePageAloneOrWithEverythingBelow)
{
    const struct {
        const char* name;
        int index;
        bool enable;
        bool recursive;
        bool startDisabledRecursively;
        OwnFlags disabled;   // of page 1
        bool buttonEnabled;  // as Qt reports it
    } rows[] = {
        {"recursive clears every descendant's flag", 1, false, true, false, {true, true, true}, false},
        {"alone clears only the page's", 1, false, false, false, {true, false, false}, false},
        {"alone enables only the page", 1, true, false, true, {false, true, true}, false},
        {"recursive enables all", 1, true, true, true, {false, false, false}, true},
        {"an index below the pages does nothing", -1, false, true, false, {false, false, false}, true},
        {"an index past the pages does nothing", 2, false, true, false, {false, false, false}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        Pages pages;
        TabView tabs;
        tabs.Create(&parent);
        StackedDialog stack;
        stack.Create(&parent);
        std::vector<QWidget*> tabPages, stackPages;
        for (int i = 0; i < 2; ++i) {
            tabPages.push_back(pages.Add());
            WidgetOf<QTabWidget>(tabs)->addTab(tabPages.back(), QStringLiteral("Tab"));
            stackPages.push_back(pages.Add());
            stack.InsertChildDialog(i, stackPages.back());
        }
        if (row.startDisabledRecursively) {
            tabs.EnablePage(1, false, true);
            stack.EnablePage(1, false, true);
        }
        tabs.EnablePage(row.index, row.enable, row.recursive);
        stack.EnablePage(row.index, row.enable, row.recursive);
        for (const auto& set : {tabPages, stackPages}) {
            EXPECT_EQ(DisabledOwnFlags(set[1]), row.disabled);
            EXPECT_EQ(set[1]->findChild<QWidget*>(QStringLiteral("button"))->isEnabled(), row.buttonEnabled);
            EXPECT_EQ(DisabledOwnFlags(set[0]), (OwnFlags{false, false, false}));
        }
    }
}

TEST(ChildDialog, BackgroundColourPaintsThePanel)
{
    const struct {
        const char* name;
        int colour;
        QColor painted;
    } rows[] = {
        {"pure red", 0xFF0000, QColor(255, 0, 0)},
        {"a top byte is not used for painting", 0x7F00FF00, QColor(0, 255, 0)},
        {"black", 0x000000, QColor(0, 0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        ChildDialog panel;
        panel.Create(&parent);
        QWidget* widget = panel.GetBaseImpl()->GetWndPtr();
        widget->resize(40, 30);
        EXPECT_EQ(panel.BackgroundColor(), -1);
        panel.SetBackgroundColor(row.colour);
        EXPECT_EQ(panel.BackgroundColor(), row.colour);
        EXPECT_TRUE(widget->autoFillBackground());
        const QImage image = widget->grab().toImage();
        EXPECT_EQ(image.pixelColor(20, 15), row.painted);
        EXPECT_EQ(image.pixelColor(0, 0), row.painted);
    }
}

TEST(ChildDialog, SetVisibleShowsAndHides)
{
    QWidget parent;
    parent.show();
    ChildDialog panel;
    panel.Create(&parent);
    QWidget* widget = panel.GetBaseImpl()->GetWndPtr();
    panel.SetVisible(true);
    EXPECT_TRUE(widget->isVisible());
    panel.SetVisible(false);
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(panel.GetControlType(), ControlTypeChildDialog);
}

TEST(Splitter, SizesHandlesAndResizing)
{
    QWidget parent;
    Splitter splitter;
    ASSERT_TRUE(splitter.Create(&parent));
    auto* widget = WidgetOf<QSplitter>(splitter);
    widget->setOrientation(Qt::Horizontal);
    widget->addWidget(new QLabel(QStringLiteral("Left")));
    widget->addWidget(new QLabel(QStringLiteral("Right")));
    widget->setHandleWidth(4);
    widget->resize(304, 100);
    parent.resize(320, 120);
    parent.show();
    splitter.SetSizes({100, 200, 55});   // the third size has no pane
    EXPECT_EQ(widget->sizes(), (QList<int>{100, 200}));
    splitter.SetHandleWidth(9);
    EXPECT_EQ(widget->handleWidth(), 9);
    splitter.SetDynamicResizing(false);
    EXPECT_FALSE(splitter.DynamicResizing());
    splitter.SetDynamicResizing(true);
    EXPECT_TRUE(splitter.DynamicResizing());
    const Size ideal = splitter.IdealSize();
    EXPECT_EQ(ideal.width, widget->sizeHint().width());
    EXPECT_EQ(ideal.height, widget->sizeHint().height());

    splitter.AddView(&splitter);
    EXPECT_TRUE(splitter.GetViews().empty());
    EXPECT_EQ(widget->count(), 2);
}

TEST(Containers, TypesAndParents)
{
    QWidget parent;
    ChildDialog panel;
    StackedDialog stack;
    TabView tabs;
    Splitter splitter;
    ScrollArea scroll;
    const struct {
        BaseGUIObject* control;
        ControlType type;
        const char* widgetClass;
    } rows[] = {
        {&panel, ControlTypeChildDialog, "AUILib::ChildDialogQt"},
        {&stack, ControlTypeStackedDialog, "AUILib::StackedDialogQt"},
        {&tabs, ControlTypeTabView, "AUILib::TabViewQt"},
        {&splitter, ControlTypeSplitter, "AUILib::SplitterQt"},
        {&scroll, ControlTypeScrollArea, "AUILib::ScrollAreaQt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.widgetClass);
        EXPECT_EQ(row.control->GetControlType(), row.type);
        EXPECT_TRUE(row.control->Create(&parent));
        EXPECT_EQ(row.control->GetParentWindow(), &parent);
        QWidget* widget = row.control->GetBaseImpl()->GetWndPtr();
        EXPECT_STREQ(widget->metaObject()->className(), row.widgetClass);
        EXPECT_EQ(widget->parentWidget(), &parent);
        EXPECT_EQ(row.control->GetSkinManager(), GetGlobalSkinManager());
    }
}

} // namespace
