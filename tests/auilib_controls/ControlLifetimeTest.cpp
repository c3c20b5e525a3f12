// Controls and widgets outlive each other: a control whose widget is gone
// throws from its widget operations and answers neutrally elsewhere; a
// widget whose control is gone keeps working.
#include "AUILibConfig.h"
#include "AUILibObjectFactory.h"
#include "AgnosticUIException.h"
#include "BaseImpl.h"
#include "Button.h"
#include "CheckBox.h"
#include "ControlLifetime.h"
#include "Label.h"
#include "PromptsPopup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

using namespace AUILib;

namespace {

struct Operation {
    const char* name;
    std::function<void(BaseGUIObject&)> call;
};

std::wstring g_text = L"abc";

const Operation kThrowing[] = {
    {"Create", [](BaseGUIObject& c) { c.Create(nullptr); }},
    {"IdealSize", [](BaseGUIObject& c) { c.IdealSize(); }},
    {"MinimumIdealSize", [](BaseGUIObject& c) { c.MinimumIdealSize(); }},
    {"MinimumSize", [](BaseGUIObject& c) { c.MinimumSize(); }},
    {"MaximumSize", [](BaseGUIObject& c) { c.MaximumSize(); }},
    {"Show", [](BaseGUIObject& c) { c.Show(true, false); }},
    {"IsVisible", [](BaseGUIObject& c) { c.IsVisible(); }},
    {"Enable", [](BaseGUIObject& c) { c.Enable(false, true); }},
    {"IsEnabled", [](BaseGUIObject& c) { c.IsEnabled(); }},
    {"MoveWindow", [](BaseGUIObject& c) { c.MoveWindow(1, 2, 3, 4, false); }},
    {"MoveWindowUnscaled", [](BaseGUIObject& c) { c.MoveWindowUnscaled(1, 2, 3, 4, false); }},
    {"Update", [](BaseGUIObject& c) { c.Update(); }},
    {"UpdateRegion", [](BaseGUIObject& c) { c.Update(Region{QRegion(0, 0, 2, 2)}); }},
    {"Repaint", [](BaseGUIObject& c) { c.Repaint(); }},
    {"RepaintRegion", [](BaseGUIObject& c) { c.Repaint(Region{QRegion(0, 0, 2, 2)}); }},
    {"GetLogicalPixelsX", [](BaseGUIObject& c) { c.GetLogicalPixelsX(); }},
    {"GetLogicalPixelsY", [](BaseGUIObject& c) { c.GetLogicalPixelsY(); }},
    {"GetWindowRect", [](BaseGUIObject& c) { c.GetWindowRect(); }},
    {"GetWindowRectUnscaled", [](BaseGUIObject& c) { c.GetWindowRectUnscaled(); }},
    {"GetClientRect", [](BaseGUIObject& c) { c.GetClientRect(); }},
    {"ScreenToClient", [](BaseGUIObject& c) { c.ScreenToClient(Point{1, 1}); }},
    {"ClientToScreen", [](BaseGUIObject& c) { c.ClientToScreen(Point{1, 1}); }},
    {"SetTimer", [](BaseGUIObject& c) { c.SetTimer(5, 100); }},
    {"KillTimer", [](BaseGUIObject& c) { c.KillTimer(1); }},
    {"GetSizePolicy", [](BaseGUIObject& c) { c.GetSizePolicy(); }},
    {"SetSizePolicy", [](BaseGUIObject& c) { c.SetSizePolicy(SizePolicy{}); }},
    {"GetFrarmeWidth", [](BaseGUIObject& c) { c.GetFrarmeWidth(); }},
    {"SetMinimumSize", [](BaseGUIObject& c) { c.SetMinimumSize(Size{1, 1}); }},
    {"SetMaximumSize", [](BaseGUIObject& c) { c.SetMaximumSize(Size{1, 1}); }},
    {"GetWidthForText without font", [](BaseGUIObject& c) { c.GetWidthForText(g_text, nullptr); }},
};

} // namespace

TEST(ControlLifetime, AControlWhoseWidgetIsGoneThrowsOrAnswersNeutrally)
{
    Label label;
    delete label.GetBaseImpl()->GetWndPtr();
    ASSERT_EQ(label.GetBaseImpl()->GetWndPtr(), nullptr);

    for (const Operation& op : kThrowing) {
        SCOPED_TRACE(op.name);
        try {
            op.call(label);
            ADD_FAILURE() << "no exception";
        } catch (const AgnosticUIException& e) {
            EXPECT_STREQ(e.what(), "Control is not valid.");
        }
    }

    // Neither drop acceptance nor mouse tracking touches a missing widget.
    label.SetAcceptDrops(true);
    EXPECT_FALSE(label.IsAcceptDrops());
    label.SetTrackMouseEvent();
    EXPECT_FALSE(label.GetBaseImpl()->IsTrackMouseEvent());

    // A font of its own needs no widget.
    FontData font;
    font.pointSize = 12;
    EXPECT_GT(label.GetWidthForText(g_text, &font), 0);

    // Balloon tips have nowhere to show.
    EXPECT_FALSE(label.ShowBalloonTipEx(L"tip", L"", false, false));
    EXPECT_FALSE(label.ShowBalloonTipEx(L"title", L"tip", BalloonTipWarning, false, true));
    EXPECT_FALSE(label.IsBalloonTipDisplayed());
    EXPECT_TRUE(label.HideBalloonTipEx());  // a popup object was made for the next attempt
    EXPECT_EQ(label.GetPlatformWindow(), nullptr);
    EXPECT_FALSE(label.InsertPromptsPopup(L"tip", 0, 3000, true)->IsDisplayed());
}

TEST(ControlLifetime, AWidgetWhoseControlIsGoneStillPaintsAndTakesClicks)
{
    QWidget window;
    window.resize(200, 100);
    QPointer<QCheckBox> box;
    {
        auto control = std::make_shared<CheckBox>();
        control->Create(&window);
        box = qobject_cast<QCheckBox*>(control->GetBaseImpl()->GetWndPtr());
        ASSERT_TRUE(box);
        box->setText(QStringLiteral("Keep me"));
        box->setGeometry(10, 10, 150, 30);
    }
    ASSERT_TRUE(box);  // the window owns it
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(box->grab().isNull());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 15));
    EXPECT_TRUE(box->isChecked());

    QPointer<QPushButton> button;
    {
        Button control;
        control.Create(&window);
        button = qobject_cast<QPushButton*>(control.GetBaseImpl()->GetWndPtr());
    }
    ASSERT_TRUE(button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    button->setGeometry(10, 50, 80, 30);
    button->show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    button->repaint();
}

TEST(ControlLifetime, AnImplementationKeptBeyondItsControlStillWorks)
{
    std::shared_ptr<BaseImpl> impl;
    QWidget parent;
    {
        Label label;
        label.Create(&parent);
        impl = label.GetBaseImpl();
    }
    ASSERT_NE(impl->GetWndPtr(), nullptr);
    impl->MoveWindow(3, 4, 50, 20, false);
    EXPECT_EQ(impl->GetClientRect(), (Rect{0, 0, 49, 19}));
}

namespace {

// Every class name the factory makes a control for.
const char* const kFactoryNames[] = {
    "QScrollArea", "QPushButton",  "QLineEdit",   "QPlainTextEdit", "QTextEdit",        "QTableWidget",
    "QListWidget", "QCheckBox",    "QRadioButton", "QGroupBox",     "QComboBox",        "QLabel",
    "QTabWidget",  "QWidget",      "QSlider",     "QScrollBar",     "QSpinBox",         "QDoubleSpinBox",
    "QStackedWidget", "QDialogButtonBox", "QTreeView", "QSplitter", "QDateEdit",        "Line",
    "HyperLinkElement", "DrawElement", "QProgressBar", "QComboBoxFS",
};

int LiveWidgets()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QApplication::allWidgets().size();
}

// A widget class that knows its control, as a control's own widget does.
class OwnedButton : public QPushButton, public ControlOwnerSlot<Label> {};

} // namespace

TEST(ControlLifetime, AControlDroppedBeforeItIsPlacedTakesItsWidgetAlong)
{
    GetCurrentLanguage();  // the factory is filled
    for (const char* name : kFactoryNames) {
        SCOPED_TRACE(name);
        const int before = LiveWidgets();
        QPointer<QWidget> widget;
        {
            std::shared_ptr<BaseGUIObject> control = AUILibObjectFactory::Instance()->Create(name);
            ASSERT_TRUE(control);
            widget = control->GetBaseImpl()->GetWndPtr();
            ASSERT_TRUE(widget);
            ASSERT_EQ(widget->parent(), nullptr);
        }
        EXPECT_FALSE(widget);
        EXPECT_EQ(LiveWidgets(), before);
    }
}

TEST(ControlLifetime, APlacedWidgetStaysWithItsParentWhenTheControlGoes)
{
    GetCurrentLanguage();
    QWidget parent;
    for (const char* name : kFactoryNames) {
        SCOPED_TRACE(name);
        QPointer<QWidget> widget;
        {
            std::shared_ptr<BaseGUIObject> control = AUILibObjectFactory::Instance()->Create(name);
            ASSERT_TRUE(control);
            ASSERT_TRUE(control->Create(&parent));
            widget = control->GetBaseImpl()->GetWndPtr();
        }
        ASSERT_TRUE(widget);
        EXPECT_EQ(widget->parentWidget(), &parent);
    }
}

TEST(ControlLifetime, TheImplementationKeptBeyondItsControlDecidesWhenItGoes)
{
    QPointer<QWidget> widget;
    std::shared_ptr<BaseImpl> impl;
    {
        Label label;
        impl = label.GetBaseImpl();
        widget = impl->GetWndPtr();
    }
    ASSERT_TRUE(widget);  // the implementation still holds it
    impl.reset();
    EXPECT_FALSE(widget);

    // A widget someone else made is never the control's to delete.
    QPushButton loose;
    { Button wrapper(&loose); }
    QPointer<QPushButton> stays(&loose);
    EXPECT_TRUE(stays);
}

TEST(ControlLifetime, TheHelperTellsAndForgetsTheOwnerAndDropsItsConnections)
{
    Label owner;
    Label other;
    QWidget parent;
    auto* widget = new OwnedButton;
    int calls = 0;
    {
        ControlLifetime<QPushButton, Label> lifetime(widget, WidgetOwnership::Made, &owner);
        EXPECT_EQ(widget->GetOwner(), &owner);
        EXPECT_EQ(lifetime.Owner(), &owner);
        EXPECT_TRUE(lifetime.Connect(widget, &QPushButton::clicked, [&calls] { ++calls; }));
        widget->click();
        EXPECT_EQ(calls, 1);
        lifetime.ForgetOwner();
        EXPECT_EQ(widget->GetOwner(), nullptr);
        EXPECT_EQ(lifetime.Owner(), nullptr);
        widget->setParent(&parent);
    }
    widget->click();  // placed, so alive; the helper's handler is gone
    EXPECT_EQ(calls, 1);

    // A wrapped widget keeps the owner it names; the helper clears only its own.
    widget->SetOwner(&other);
    {
        ControlLifetime<QPushButton, Label> lifetime(widget, WidgetOwnership::Wrapped, &owner);
        EXPECT_EQ(widget->GetOwner(), &other);
    }
    EXPECT_EQ(widget->GetOwner(), &other);

    // Once Qt deleted the widget there is nothing to connect or delete.
    auto* doomed = new OwnedButton;
    ControlLifetime<OwnedButton, Label> gone(doomed, WidgetOwnership::Made, &owner);
    delete doomed;
    EXPECT_TRUE(gone.IsNull());
    EXPECT_FALSE(gone.Connect(widget, &QPushButton::clicked, [&calls] { ++calls; }));
}

namespace {

// A label class of a control's own, as the hyperlink's widget is.
class OwnedLabel : public QLabel, public ControlOwnerSlot<Label> {};

// Asks the helper for the widget whenever a child leaves the widget.
class ChildRemovedProbe : public QObject {
public:
    explicit ChildRemovedProbe(const ControlLifetime<OwnedLabel, Label>& lifetime) : lifetime_(lifetime) {}
    int asked = 0;
    int answeredWidget = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildRemoved) {
            ++asked;
            if (lifetime_.Get())
                ++answeredWidget;
        }
        return false;
    }

private:
    const ControlLifetime<OwnedLabel, Label>& lifetime_;
};

} // namespace

// A selectable label's destructor frees its text control, whose leaving
// reaches the label's event filters after the label's own class part is
// gone: a filter that asks for the widget then must not get it typed as the
// control's widget class.
TEST(ControlLifetime, AWidgetBeingDestroyedReadsAsGoneToItsFilters)
{
    QWidget parent;
    auto* label = new OwnedLabel;
    label->setParent(&parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(QStringLiteral("selectable"));
    ControlLifetime<OwnedLabel, Label> lifetime(label, WidgetOwnership::Wrapped);
    ChildRemovedProbe probe(lifetime);
    label->installEventFilter(&probe);
    EXPECT_EQ(lifetime.Get(), label);

    delete label;
    EXPECT_GT(probe.asked, 0);
    EXPECT_EQ(probe.answeredWidget, 0);
    EXPECT_TRUE(lifetime.IsNull());
}

namespace {

// Deletes the widget it watches when the given event reaches it.
class DeleteOnEvent : public QObject {
public:
    explicit DeleteOnEvent(QEvent::Type type) : type_(type) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == type_) {
            watched->removeEventFilter(this);
            delete watched;
            return true;
        }
        return false;
    }

private:
    QEvent::Type type_;
};

} // namespace

// Enabling sends the widget events; a handler of one may delete the widget,
// and the operation then ends without touching it. (Qt itself does not
// survive a widget deleted inside its own show or hide event.)
TEST(ControlLifetime, AWidgetDeletedByTheEventsOfItsOwnChangeIsLeftAlone)
{
    struct Case {
        const char* name;
        QEvent::Type event;
        bool startShown;
        std::function<void(Label&)> change;
    };
    const Case cases[] = {
        {"enable alone", QEvent::EnabledChange, true, [](Label& l) { l.Enable(false, false); }},
        {"enable with children", QEvent::EnabledChange, true, [](Label& l) { l.Enable(false, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Label label;
        QWidget* widget = label.GetBaseImpl()->GetWndPtr();
        ASSERT_NE(widget, nullptr);
        widget->setVisible(c.startShown);
        DeleteOnEvent deleter(c.event);
        widget->installEventFilter(&deleter);
        c.change(label);
        EXPECT_EQ(label.GetBaseImpl()->GetWndPtr(), nullptr);
        EXPECT_THROW(label.IsVisible(), AgnosticUIException);
    }
}
