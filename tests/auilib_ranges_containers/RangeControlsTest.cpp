// The slider and the scroll bar: value signals once per change whatever
// its cause, the slider's release signal only after a dragged handle, the
// page steps of new controls and the scroll bar's background colour.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "ScrollBar.h"
#include "ScrollBarQt.h"
#include "Slider.h"
#include "SliderQt.h"

#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cstdlib>
#include <tuple>

using AUILib::ScrollBar;
using AUILib::Slider;

namespace {

// One row per control: the operations both offer, through one face.
struct RangeControl {
    const char* name;
    std::shared_ptr<AUILib::BaseGUIObject> control;
    AUILib::Signal<int>* valueChanged;
    AUILib::Signal<>* released;
    std::function<void(int, int)> setRange;
    std::function<void(int)> setValue;
    std::function<int()> getValue;
    int pageStep;  // of a new control
};

RangeControl MakeSlider()
{
    auto slider = std::make_shared<Slider>();
    Slider* s = slider.get();
    return {"slider",
            slider,
            &s->OnValueChanged,
            &s->OnSliderReleased,
            [s](int a, int b) { s->SetRange(a, b); },
            [s](int v) { s->SetValue(v); },
            [s] { return s->GetValue(); },
            10};
}

RangeControl MakeScrollBar()
{
    auto bar = std::make_shared<ScrollBar>();
    ScrollBar* s = bar.get();
    return {"scroll bar",
            bar,
            &s->OnValueChanged,
            &s->OnUnused,
            [s](int a, int b) { s->SetRange(a, b); },
            [s](int v) { s->SetValue(v); },
            [s] { return s->GetValue(); },
            1};
}

std::vector<RangeControl> Rows() { return {MakeSlider(), MakeScrollBar()}; }

QAbstractSlider* SliderWidget(const RangeControl& row)
{
    return qobject_cast<QAbstractSlider*>(row.control->GetBaseImpl()->GetWndPtr());
}

QRect HandleRect(QAbstractSlider* widget)
{
    QStyleOptionSlider option;
    option.initFrom(widget);
    option.orientation = widget->orientation();
    option.minimum = widget->minimum();
    option.maximum = widget->maximum();
    option.sliderPosition = widget->sliderPosition();
    option.sliderValue = widget->value();
    option.singleStep = widget->singleStep();
    option.pageStep = widget->pageStep();
    option.upsideDown = widget->invertedAppearance();
    option.subControls = QStyle::SC_All;
    const bool isSlider = qobject_cast<QSlider*>(widget) != nullptr;
    return widget->style()->subControlRect(isSlider ? QStyle::CC_Slider : QStyle::CC_ScrollBar, &option,
                                           isSlider ? QStyle::SC_SliderHandle : QStyle::SC_ScrollBarSlider, widget);
}

std::vector<int> Values(const SignalRecorder<int>& recorder)
{
    std::vector<int> values;
    for (const auto& record : recorder.Records())
        values.push_back(std::get<0>(record));
    return values;
}

TEST(RangeControls, CodeChangesSignalOncePerChange)
{
    for (RangeControl& row : Rows()) {
        SCOPED_TRACE(row.name);
        SignalRecorder<int> values(*row.valueChanged);
        row.setRange(0, 10);
        row.setValue(20);
        EXPECT_EQ(row.getValue(), 10);
        EXPECT_EQ(Values(values), std::vector<int>{10});
        row.setValue(10);
        EXPECT_EQ(values.Count(), 1u);

        row.setValue(0);
        row.setRange(5, 10);  // clamps the value
        EXPECT_EQ(row.getValue(), 5);
        EXPECT_EQ(Values(values), (std::vector<int>{10, 0, 5}));
        row.setRange(8, 3);  // Qt raises the maximum to the minimum
        EXPECT_EQ(row.getValue(), 8);
        EXPECT_EQ(SliderWidget(row)->maximum(), 8);
    }
}

TEST(RangeControls, PageAndArrowKeysMoveByTheirSteps)
{
    for (RangeControl& row : Rows()) {
        SCOPED_TRACE(row.name);
        ActiveWindow window;
        row.control->Create(window.Get());
        QAbstractSlider* widget = SliderWidget(row);
        ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 24, 160)));
        row.setValue(50);
        SignalRecorder<int> values(*row.valueChanged);
        SignalRecorder<> released(*row.released);
        // The distance moved: a scroll bar's vertical keys run the other way.
        const auto moved = [&](Qt::Key key) {
            const int before = row.getValue();
            QTest::keyClick(widget, key);
            return std::abs(row.getValue() - before);
        };

        EXPECT_EQ(moved(Qt::Key_PageUp), row.pageStep);
        EXPECT_EQ(moved(Qt::Key_Up), 1);
        if (auto* slider = dynamic_cast<Slider*>(row.control.get())) {
            slider->SetPageSize(7);
            slider->SetLineSize(3);
        } else {
            auto* bar = dynamic_cast<ScrollBar*>(row.control.get());
            bar->SetPageSize(7);
            bar->SetLineSize(3);
        }
        EXPECT_EQ(moved(Qt::Key_PageDown), 7);
        EXPECT_EQ(moved(Qt::Key_Down), 3);
        EXPECT_EQ(values.Count(), 4u);
        EXPECT_EQ(released.Count(), 0u);  // keys never release a handle
    }
}

TEST(RangeControls, DraggingTheHandleSignalsEachValueAndTheSliderReleaseOnce)
{
    for (RangeControl& row : Rows()) {
        SCOPED_TRACE(row.name);
        ActiveWindow window;
        row.control->Create(window.Get());
        QAbstractSlider* widget = SliderWidget(row);
        widget->setOrientation(Qt::Horizontal);
        row.setRange(0, 100);
        ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 240, 24)));
        SignalRecorder<int> values(*row.valueChanged);
        SignalRecorder<> released(*row.released);

        const QPoint start = HandleRect(widget).center();
        DragAlong(widget, {start, start + QPoint(20, 0), start + QPoint(40, 0), start + QPoint(80, 0)});
        const std::vector<int> seen = Values(values);
        ASSERT_GE(seen.size(), 3u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_EQ(seen.back(), row.getValue());
        EXPECT_GT(row.getValue(), 0);
        // The slider reports the release; the scroll bar's first signal
        // stays silent.
        EXPECT_EQ(released.Count(), std::string(row.name) == "slider" ? 1u : 0u);
    }
}

TEST(RangeControls, ScrollBarBackgroundColour)
{
    ActiveWindow window;
    ScrollBar bar;
    bar.Create(window.Get());
    auto* widget = WidgetOf<AUILib::ScrollBarQt>(bar);
    widget->setOrientation(Qt::Horizontal);
    ASSERT_TRUE(window.ShowWith(widget, QRect(10, 10, 200, 20)));
    EXPECT_EQ(bar.GetBackgroundColor(), -1);

    // The top byte is not alpha here: the colour is opaque blue.
    bar.SetBackgroundColor(0x120000FF);
    EXPECT_EQ(bar.GetBackgroundColor(), 0x120000FF);
    EXPECT_TRUE(widget->autoFillBackground());
    const QColor filled = widget->palette().color(QPalette::Inactive, widget->backgroundRole());
    EXPECT_EQ(filled, QColor(0, 0, 255));
    EXPECT_EQ(widget->palette().color(QPalette::Disabled, widget->backgroundRole()), QColor(0, 0, 255));
}

} // namespace
