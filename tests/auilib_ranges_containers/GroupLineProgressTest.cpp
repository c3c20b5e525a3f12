// The group box, the line and the progress bar: a progress value that never
// leaves its range, the line drawn in the colour given, the group box's
// title and visibility, and which of them record their parent.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "GroupBox.h"
#include "Line.h"
#include "ProgressBar.h"

#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QProgressBar>

#include <functional>
#include <vector>

using namespace AUILib;

namespace {

struct ProgressRow {
    const char* name;
    std::function<void(ProgressBar&)> setUp;      // before the recording starts
    std::function<bool(ProgressBar&)> act;        // its result where it has one (else true)
    bool result;
    int value;
    int minimum;
    int maximum;
    std::vector<int> signalled;
};

const ProgressRow kProgressRows[] = {
    {"a fresh bar's first range moves its value to the new minimum",
     [](ProgressBar&) {}, [](ProgressBar& bar) { bar.SetRange(0, 50); return true; }, true, 0, 0, 50, {0}},
    {"a minimum outside the old range is refused and Qt resets the bar",
     [](ProgressBar& bar) { bar.SetValue(50); },
     [](ProgressBar& bar) { bar.SetRange(200, 300); return true; }, true, 199, 200, 300, {}},
    {"a range that holds the value keeps it",
     [](ProgressBar& bar) { bar.SetValue(30); },
     [](ProgressBar& bar) { bar.SetRange(10, 40); return true; }, true, 30, 10, 40, {}},
    {"a value above the range is refused",
     [](ProgressBar& bar) { bar.SetValue(50); }, [](ProgressBar& bar) { return bar.SetValue(101); }, false, 50, 0,
     100, {}},
    {"a value below the range is refused",
     [](ProgressBar& bar) { bar.SetValue(50); }, [](ProgressBar& bar) { return bar.SetValue(-1); }, false, 50, 0,
     100, {}},
    {"the maximum is taken",
     [](ProgressBar& bar) { bar.SetValue(50); }, [](ProgressBar& bar) { return bar.SetValue(100); }, true, 100, 0,
     100, {100}},
    {"the current value is taken without a signal",
     [](ProgressBar& bar) { bar.SetValue(50); }, [](ProgressBar& bar) { return bar.SetValue(50); }, true, 50, 0,
     100, {}},
};

TEST(ProgressBar, ValuesStayInsideTheRange)
{
    for (const ProgressRow& row : kProgressRows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        ProgressBar bar;
        ASSERT_TRUE(bar.Create(&parent));
        row.setUp(bar);
        SignalRecorder<int> changes(bar.OnValueChanged);
        EXPECT_EQ(row.act(bar), row.result);
        EXPECT_EQ(bar.GetValue(), row.value);
        EXPECT_EQ(bar.GetMinimum(), row.minimum);
        EXPECT_EQ(bar.GetMaximum(), row.maximum);
        std::vector<int> seen;
        for (const auto& record : changes.Records())
            seen.push_back(std::get<0>(record));
        EXPECT_EQ(seen, row.signalled);
    }
}

TEST(ProgressBar, ChangesMadeOnTheWidgetAreSignalledToo)
{
    QWidget parent;
    ProgressBar bar;
    bar.Create(&parent);
    SignalRecorder<int> changes(bar.OnValueChanged);
    WidgetOf<QProgressBar>(bar)->setValue(7);
    ASSERT_EQ(changes.Count(), 1u);
    EXPECT_EQ(std::get<0>(changes.Last()), 7);
}

// The colour in the middle of a widget's picture.
QColor MiddlePixel(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(Line, IsDrawnInTheColourGiven)
{
    const struct {
        const char* name;
        QFrame::Shape shape;
        unsigned int colour;
        QColor drawn;
    } rows[] = {
        {"horizontal green", QFrame::HLine, 0x00FF00, QColor(0, 255, 0)},
        {"vertical red", QFrame::VLine, 0xFF0000, QColor(255, 0, 0)},
        {"the top byte is not used", QFrame::HLine, 0x200000FF, QColor(0, 0, 255)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget parent;
        parent.setAutoFillBackground(true);
        QPalette white = parent.palette();
        white.setColor(QPalette::Window, Qt::white);
        parent.setPalette(white);
        Line line;
        ASSERT_TRUE(line.Create(&parent));
        auto* frame = qobject_cast<QFrame*>(line.GetWndPtr());
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->frameShadow(), QFrame::Plain);
        frame->setGeometry(0, 0, 21, 21);
        // A line made by code shows nothing until it has a shape.
        EXPECT_EQ(MiddlePixel(frame), QColor(Qt::white));
        frame->setFrameShape(row.shape);
        line.SetLineColor(row.colour);
        EXPECT_EQ(MiddlePixel(frame), row.drawn);
    }
}

TEST(GroupLineProgress, OnlyTheLineDoesNotRecordItsParent)
{
    QWidget parent;
    GroupBox box;
    Line line;
    ProgressBar bar;
    EXPECT_TRUE(box.Create(&parent));
    EXPECT_TRUE(line.Create(&parent));
    EXPECT_TRUE(bar.Create(&parent));
    EXPECT_EQ(box.GetParentWindow(), &parent);
    EXPECT_EQ(bar.GetParentWindow(), &parent);
    EXPECT_EQ(line.GetParentWindow(), nullptr);
    for (BaseGUIObject* control : std::vector<BaseGUIObject*>{&box, &line, &bar})
        EXPECT_EQ(control->GetBaseImpl()->GetWndPtr()->parentWidget(), &parent);
    EXPECT_EQ(box.GetControlType(), ControlTypeGroupBox);
    EXPECT_EQ(line.GetControlType(), ControlTypeLine);
    EXPECT_EQ(bar.GetControlType(), ControlTypeProgressBar);
}

TEST(GroupBox, TitleAndVisibility)
{
    QWidget parent;
    parent.resize(200, 120);
    GroupBox box;
    box.Create(&parent);
    auto* widget = WidgetOf<QGroupBox>(box);
    const std::wstring title = L"Größe \U0001F600";
    box.SetText(title);
    EXPECT_EQ(widget->title(), QString::fromStdWString(title));
    EXPECT_EQ(box.GetText(), title);
    box.SetColors(0xFF0000, 0x00FF00);
    EXPECT_EQ(box.GetText(), title);
    EXPECT_EQ(widget->styleSheet(), QString());

    parent.show();
    box.Show(true, false);
    EXPECT_TRUE(widget->isVisible());
    box.Show(false, false);
    EXPECT_FALSE(widget->isVisible());
    // Asked again for the same state, the box takes it again.
    box.Show(false, true);
    EXPECT_FALSE(widget->isVisible());
    box.Show(true, true);
    EXPECT_TRUE(widget->isVisible());

    // A box without a parent repaints itself.
    GroupBox alone;
    alone.Show(true, false);
    EXPECT_TRUE(WidgetOf<QGroupBox>(alone)->isVisible());
    alone.Show(false, false);
    EXPECT_FALSE(WidgetOf<QGroupBox>(alone)->isVisible());
}

} // namespace
