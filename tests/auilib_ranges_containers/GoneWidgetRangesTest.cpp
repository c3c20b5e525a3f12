// Controls and widgets going in either order, for the spin edits, the
// slider, the scroll bar, the date edit and the drawing pad: with the widget
// gone every operation answers neutrally (the widget operations throw);
// with the control gone the widget still takes the user's input; and a
// handler may drop or change its own control.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "BaseImplQt.h"
#include "DateEdit.h"
#include "DateEditQt.h"
#include "DoubleSpinEdit.h"
#include "DoubleSpinEditQt.h"
#include "DrawElement.h"
#include "DrawElementQt.h"
#include "ScrollBar.h"
#include "ScrollBarQt.h"
#include "Slider.h"
#include "SliderQt.h"
#include "SpinEdit.h"
#include "SpinEditQt.h"

#include <QImage>
#include <QLineEdit>
#include <QPointer>

using namespace AUILib;

namespace {

struct Row {
    const char* name;
    std::function<Control()> make;
    // Every operation of the control's own, with the widget gone.
    std::function<void(BaseGUIObject&)> callAllGone;
    // What a user does to the widget; true when the widget took it.
    std::function<bool(QWidget*)> useWidget;
    // Connects handler to the control's change signal (none for the pad).
    std::function<void(BaseGUIObject&, std::function<void()>)> onChange;
    // Changes the value the way code does.
    std::function<void(BaseGUIObject&)> changeByCode;
};

bool KeysStepSpin(QWidget* widget)
{
    auto* spin = qobject_cast<QAbstractSpinBox*>(widget);
    const QString before = spin->text();
    QTest::keyClick(widget, Qt::Key_Up);
    QTest::keyClick(widget, Qt::Key_Up);
    const bool stepped = spin->text() != before;
    widget->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(widget, QStringLiteral("42"));
    QTest::keyClick(widget, Qt::Key_Return);
    QWheelEvent wheel(QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(widget->width() - 4, 4));
    return stepped && spin->text().startsWith(QStringLiteral("4"));
}

bool KeysAndDragSlider(QWidget* widget)
{
    auto* slider = qobject_cast<QAbstractSlider*>(widget);
    const int before = slider->value();
    QTest::keyClick(widget, Qt::Key_PageDown);
    QTest::keyClick(widget, Qt::Key_Down);
    DragAlong(widget, {QPoint(widget->width() / 2, 4), QPoint(widget->width() / 2, 40),
                       QPoint(widget->width() / 2, widget->height() - 4)});
    return slider->value() != before;
}

const Row kRows[] = {
    {"SpinEdit", [] { return std::make_shared<SpinEdit>(); },
     [](BaseGUIObject& c) {
         auto& spin = As<SpinEdit>(c);
         SignalRecorder<long long> values(spin.OnValueChanged);
         spin.SetRange(5, 10);
         spin.SetValue(7);
         spin.SetStep(3);
         spin.SetSuffix(L" px");
         spin.SetBalloonNaNtext(L"title", L"text");
         spin.LastValidValueCorrection(false);
         spin.SetBorderRadius(4);
         EXPECT_EQ(spin.GetValue(), 0);
         EXPECT_EQ(spin.GetSuffix(), L"");
         EXPECT_EQ(values.Count(), 0u);
     },
     KeysStepSpin,
     [](BaseGUIObject& c, std::function<void()> h) { As<SpinEdit>(c).OnValueChanged.Connect([h](long long) { h(); }); },
     [](BaseGUIObject& c) { As<SpinEdit>(c).SetValue(9); }},
    {"DoubleSpinEdit", [] { return std::make_shared<DoubleSpinEdit>(); },
     [](BaseGUIObject& c) {
         auto& spin = As<DoubleSpinEdit>(c);
         SignalRecorder<double> values(spin.OnValueChanged);
         spin.SetRange(1.0, 2.0);
         spin.SetValue(1.5);
         spin.SetStep(0.1);
         spin.SetPrecision(4);
         spin.SetSuffix(L" kg");
         spin.SetBalloonNaNtext(L"title", L"text");
         spin.LastValidValueCorrection(false);
         spin.SetBorderRadius(4);
         spin.SetDecimalChar(',');
         EXPECT_EQ(spin.GetValue(), 0.0);
         EXPECT_EQ(spin.GetSuffix(), L"");
         EXPECT_EQ(values.Count(), 0u);
     },
     KeysStepSpin,
     [](BaseGUIObject& c, std::function<void()> h) { As<DoubleSpinEdit>(c).OnValueChanged.Connect([h](double) { h(); }); },
     [](BaseGUIObject& c) { As<DoubleSpinEdit>(c).SetValue(9.5); }},
    {"Slider", [] { return std::make_shared<Slider>(); },
     [](BaseGUIObject& c) {
         auto& slider = As<Slider>(c);
         SignalRecorder<int> values(slider.OnValueChanged);
         slider.SetPageSize(5);
         slider.SetLineSize(2);
         slider.SetRange(10, 20);
         slider.SetValue(15);
         EXPECT_EQ(slider.GetValue(), 0);
         EXPECT_EQ(values.Count(), 0u);
     },
     KeysAndDragSlider,
     [](BaseGUIObject& c, std::function<void()> h) { As<Slider>(c).OnValueChanged.Connect([h](int) { h(); }); },
     [](BaseGUIObject& c) { As<Slider>(c).SetValue(9); }},
    {"ScrollBar", [] { return std::make_shared<ScrollBar>(); },
     [](BaseGUIObject& c) {
         auto& bar = As<ScrollBar>(c);
         SignalRecorder<int> values(bar.OnValueChanged);
         bar.SetPageSize(5);
         bar.SetLineSize(2);
         bar.SetRange(10, 20);
         bar.SetValue(15);
         bar.SetBackgroundColor(0x0000FF);
         EXPECT_EQ(bar.GetBackgroundColor(), -1);  // nothing was coloured
         EXPECT_EQ(bar.GetValue(), 0);
         EXPECT_EQ(values.Count(), 0u);
     },
     KeysAndDragSlider,
     [](BaseGUIObject& c, std::function<void()> h) { As<ScrollBar>(c).OnValueChanged.Connect([h](int) { h(); }); },
     [](BaseGUIObject& c) { As<ScrollBar>(c).SetValue(9); }},
    {"DateEdit", [] { return std::make_shared<DateEdit>(); },
     [](BaseGUIObject& c) {
         auto& edit = As<DateEdit>(c);
         SignalRecorder<KwDateTime> changes(edit.OnDateTimeChanged);
         KwDateTime value;
         value.year = 2024;
         value.month = 5;
         value.day = 6;
         EXPECT_FALSE(edit.SetDateTime(value));
         EXPECT_EQ(edit.GetDateTime(), KwDateTime{});
         edit.LoadPicture(L"/tmp");
         const unsigned char bytes[] = {1, 2, 3};
         edit.LoadPicture(bytes, 3, ImagePNG);
         EXPECT_EQ(edit.GetWndPtr(), nullptr);
         EXPECT_EQ(changes.Count(), 0u);
     },
     [](QWidget* widget) {
         auto* edit = qobject_cast<QDateEdit*>(widget);
         const QDate before = edit->date();
         edit->setCurrentSection(QDateTimeEdit::DaySection);
         QTest::keyClick(widget, Qt::Key_Up);
         return edit->date() != before;
     },
     [](BaseGUIObject& c, std::function<void()> h) {
         As<DateEdit>(c).OnDateTimeChanged.Connect([h](KwDateTime) { h(); });
     },
     [](BaseGUIObject& c) {
         KwDateTime value;
         value.year = 2021;
         value.month = 7;
         value.day = 8;
         As<DateEdit>(c).SetDateTime(value);
     }},
    {"DrawElement", [] { return std::make_shared<DrawElement>(); },
     [](BaseGUIObject& c) {
         auto& pad = As<DrawElement>(c);
         QImage picture(4, 4, QImage::Format_ARGB32);
         pad.DrawImage(&picture, 1, 1);
         pad.ResetImage();
         pad.SetBorder(true);
         pad.SetLineColor(0xFF0000);
         pad.UpdateLinesColor(0x00FF00);
         EXPECT_EQ(pad.GetImage(), nullptr);
         EXPECT_FALSE(pad.IsSetBorder());
         EXPECT_EQ(pad.GetLineColor(), 0xFF000000u);
     },
     [](QWidget* widget) {
         auto* pad = qobject_cast<DrawElementQt*>(widget);
         DragAlong(widget, {QPoint(5, 5), QPoint(30, 20), QPoint(40, 20)});
         QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
         const bool drawn = pad->GetStrokes().size() == 2 && !pad->grab().isNull();
         return drawn && pad->GetOwner() == nullptr;
     },
     nullptr, nullptr},
};

TEST(GoneWidgetRanges, EveryOperationAnswersNeutrallyAndWidgetOperationsThrow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Control control = row.make();
        QWidget parent;
        control->Create(&parent);
        delete control->GetBaseImpl()->GetWndPtr();
        ASSERT_EQ(control->GetBaseImpl()->GetWndPtr(), nullptr);

        ExpectControlNotValid("Create", [&] { control->Create(&parent); });
        ExpectControlNotValid("impl IdealSize", [&] { control->GetBaseImpl()->IdealSize(); });
        ExpectWidgetOperationsRefused(*control);
        row.callAllGone(*control);
        EXPECT_NE(control->GetSkinManager(), nullptr);
    }
}

TEST(GoneWidgetRanges, AWidgetWhoseControlIsGoneStillTakesInput)
{
    for (const Row& row : kRows) {
        for (const bool keepImpl : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (keepImpl ? ", implementation kept" : ""));
            ActiveWindow window;
            std::shared_ptr<BaseImpl> impl;
            QPointer<QWidget> widget =
                PlaceAndDropControl(row.make, window.Get(), keepImpl ? &impl : nullptr);
            ASSERT_TRUE(widget);  // the window owns it
            ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 120, 120)));
            EXPECT_TRUE(row.useWidget(widget));
            widget->repaint();
        }
    }
}

TEST(GoneWidgetRanges, AControlDroppedBeforeItIsPlacedTakesItsWidget)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ExpectUnplacedWidgetGoesWithControl(row.make);
    }
}

TEST(GoneWidgetRanges, AHandlerMayDropItsOwnControl)
{
    for (const Row& row : kRows) {
        if (!row.onChange)
            continue;
        for (const bool byUser : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (byUser ? ", user change" : ", code change"));
            ActiveWindow window;
            Control control = row.make();
            control->Create(window.Get());
            QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
            ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 120, 120)));
            int calls = 0;
            row.onChange(*control, [&] {
                ++calls;
                control.reset();
            });
            if (byUser)
                EXPECT_TRUE(row.useWidget(widget));
            else
                row.changeByCode(*control);
            EXPECT_EQ(control, nullptr);
            EXPECT_EQ(calls, 1);
            ASSERT_TRUE(widget);
            row.useWidget(widget);  // nothing left to tell
            EXPECT_EQ(calls, 1);
        }
    }
}

// A widget that was never placed goes with its control; when a handler
// drops the control in the middle of the widget's own input handling, the
// widget must outlive that handling and go afterwards.
TEST(GoneWidgetRanges, AHandlerMayDropItsOwnControlWhoseWidgetWasNeverPlaced)
{
    for (const Row& row : kRows) {
        if (!row.onChange)
            continue;
        SCOPED_TRACE(row.name);
        Control control = row.make();
        QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_TRUE(ShowUnplaced(widget, QRect(40, 40, 120, 120)));
        row.onChange(*control, [&] { control.reset(); });
        row.useWidget(widget);
        EXPECT_EQ(control, nullptr);
        RunPostedAndDeferredDeletes();
        EXPECT_FALSE(widget);
    }
}

TEST(GoneWidgetRanges, AHandlerMayChangeItsOwnControl)
{
    ActiveWindow window;
    SpinEdit spin;
    spin.Create(window.Get());
    auto* widget = WidgetOf<SpinEditQt>(spin);
    ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 120, 28)));
    std::vector<long long> seen;
    spin.OnValueChanged.Connect([&](long long value) {
        seen.push_back(value);
        spin.SetValue(50);  // its own emission is dropped, not recursed into
    });
    QTest::keyClick(widget, Qt::Key_Up);
    EXPECT_EQ(seen, std::vector<long long>{1});
    EXPECT_EQ(spin.GetValue(), 50);
    EXPECT_EQ(widget->text(), QStringLiteral("50"));
    EXPECT_FALSE(std::static_pointer_cast<BaseImplQt>(spin.GetBaseImpl())->IsChangeInProgress());

    Slider slider;
    slider.Create(window.Get());
    std::vector<int> values;
    slider.OnValueChanged.Connect([&](int value) {
        values.push_back(value);
        slider.SetValue(value + 10);
    });
    slider.SetValue(3);
    EXPECT_EQ(values, std::vector<int>{3});
    EXPECT_EQ(slider.GetValue(), 13);
}

} // namespace
