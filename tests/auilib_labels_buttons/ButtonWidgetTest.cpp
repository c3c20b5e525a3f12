// The push button's own widget: the rounded style's radius follows the
// height, the link style's focus border depends on where focus came from,
// the menu arrow and the link underline in pixels, and the icon size.
#include "ButtonWidgetKit.h"
#include "LabelsButtonsKit.h"

#include "AUILibUtils.h"
#include "RecordingContextMenu.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

namespace {

using AUILib::Button;

TEST(ButtonWidgetRadius, FollowsTheHeightUnlessGiven)
{
    struct Case {
        int radius;
        int height;
        const char* expected;
    };
    for (const Case& c : {Case{0, 30, "15px"}, Case{0, 25, "12px"}, Case{6, 30, "6px"}, Case{6, 25, "6px"}}) {
        SCOPED_TRACE(testing::Message() << "radius " << c.radius << ", height " << c.height);
        TestWindow window;
        auto button = PlaceButton(window.Get(), QRect(10, 10, 100, 40), QStringLiteral("Round"));
        // A hidden widget gets its resize events only when shown.
        ASSERT_TRUE(window.Show());
        button->SetStyle(Button::Rounded);
        if (c.radius > 0)
            button->SetRoundedButtonCornerRadius(c.radius);
        ButtonWidget(*button)->resize(100, c.height);
        const QString sheet = ButtonWidget(*button)->styleSheet();
        EXPECT_EQ(SheetProperty(sheet, QStringLiteral("QPushButton"), QStringLiteral("border-radius")), c.expected);
        EXPECT_EQ(SheetProperty(ButtonImpl(*button).GetAppliedStyleSheet(), QStringLiteral("QPushButton"),
                                QStringLiteral("border-radius")),
                  c.expected);
    }
}

TEST(ButtonWidgetRadius, OtherStylesAreLeftAlone)
{
    TestWindow window;
    auto button = PlaceButton(window.Get(), QRect(10, 10, 100, 30), QStringLiteral("Plain"));
    ASSERT_TRUE(window.Show());
    button->SetStyle(Button::HoverBorder);
    const QString before = ButtonWidget(*button)->styleSheet();
    ButtonWidget(*button)->resize(100, 50);
    EXPECT_EQ(ButtonWidget(*button)->styleSheet(), before);
    // A sheet without the property gets none.
    auto bare = PlaceButton(window.Get(), QRect(10, 50, 100, 30), QStringLiteral("Bare"));
    ButtonWidget(*bare)->setStyleSheet(QStringLiteral("QPushButton { color: red; }"));
    ButtonImpl(*bare).SetStyleValue(Button::Rounded);
    ButtonWidget(*bare)->resize(100, 44);
    EXPECT_EQ(ButtonWidget(*bare)->styleSheet(), QStringLiteral("QPushButton { color: red; }"));
    EXPECT_TRUE(SheetProperty(ButtonWidget(*bare)->styleSheet(), QStringLiteral("QPushButton"),
                              QStringLiteral("border-radius"))
                    .isEmpty());
}

TEST(ButtonWidgetFocus, LinkStyleBorderByFocusReason)
{
    TestWindow window;
    auto first = PlaceButton(window.Get(), QRect(10, 10, 100, 30), QStringLiteral("First"));
    auto link = PlaceButton(window.Get(), QRect(10, 50, 100, 30), QStringLiteral("Link"));
    link->SetStyle(Button::Link);
    ASSERT_TRUE(window.Show());
    const auto border = [&] {
        return SheetProperty(ButtonWidget(*link)->styleSheet(), QStringLiteral("QPushButton:focus"),
                             QStringLiteral("border-width"));
    };
    EXPECT_EQ(border(), QStringLiteral("0px"));
    ButtonWidget(*first)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(window.Get(), Qt::Key_Tab);
    ASSERT_TRUE(ButtonWidget(*link)->hasFocus());
    EXPECT_EQ(border(), QStringLiteral("1px"));

    ButtonWidget(*first)->setFocus(Qt::OtherFocusReason);
    QTest::mouseClick(ButtonWidget(*link), Qt::LeftButton);
    ASSERT_TRUE(ButtonWidget(*link)->hasFocus());
    EXPECT_EQ(border(), QStringLiteral("0px"));

    // Other styles keep their sheet on focus.
    first->SetStyle(Button::HoverBorder);
    const QString before = ButtonWidget(*first)->styleSheet();
    QTest::keyClick(window.Get(), Qt::Key_Tab);
    EXPECT_EQ(ButtonWidget(*first)->styleSheet(), before);
}

// The arrow's tip is 3 pixels above the bottom; the pixel 3 rows above the
// tip lies wholly inside the triangle.
QPoint ArrowInside(const QWidget& widget)
{
    return QPoint(widget.width() / 2, widget.height() - 1 - 3 - 3);
}

TEST(ButtonWidgetPixels, MenuArrowInTheTextColours)
{
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        TestWindow window;
        auto button = PlaceButton(window.Get(), QRect(10, 10, 80, 30), QString());
        button->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
        button->Enable(enabled, false);
        ASSERT_TRUE(window.Show());
        const QImage image = ButtonWidget(*button)->grab().toImage();
        const QColor expected =
            enabled ? ButtonImpl(*button).GetTextColour() : ButtonImpl(*button).GetDisabledTextColour();
        EXPECT_EQ(image.pixelColor(ArrowInside(*ButtonWidget(*button))), expected);
        // No arrow without the flag.
        button->InsertMenuBar(std::make_shared<RecordingContextMenu>(), false);
        const QImage plain = ButtonWidget(*button)->grab().toImage();
        EXPECT_NE(plain.pixelColor(ArrowInside(*ButtonWidget(*button))), expected);
    }
}

TEST(ButtonWidgetPixels, PartialRepaintDrawsNoStrayArrow)
{
    TestWindow window;
    auto button = PlaceButton(window.Get(), QRect(10, 10, 80, 30), QString());
    button->SetTextColor(0xFFFF0000u, 0xFFFF0000u);
    button->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
    ASSERT_TRUE(window.Show());
    // Repaint only the top-left corner: the arrow belongs to the whole
    // button, so none is drawn there.
    QPixmap corner(80, 30);
    corner.fill(Qt::white);
    ButtonWidget(*button)->render(&corner, QPoint(), QRegion(0, 0, 20, 12));
    const QImage image = corner.toImage();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_NE(image.pixelColor(x, y), QColor(Qt::red)) << x << "," << y;
}

TEST(ButtonWidgetPixels, LinkStyleUnderlinesTheText)
{
    TestWindow window;
    auto button = PlaceButton(window.Get(), QRect(10, 10, 120, 30), QStringLiteral("Underlined"));
    button->SetStyle(Button::Link);
    ASSERT_TRUE(window.Show());
    QPushButton& widget = *ButtonWidget(*button);
    const QImage image = widget.grab().toImage();
    const QFontMetrics metrics(widget.font());
    const int textWidth = metrics.horizontalAdvance(widget.text());
    const int x = (widget.width() - textWidth) / 2;
    const int y = qMin((widget.height() - metrics.height()) / 2 + metrics.height() + 1, widget.height() - 3);
    const QColor pen = widget.palette().color(widget.foregroundRole());
    for (const int at : {x, x + textWidth / 2, x + textWidth - 1})
        EXPECT_EQ(image.pixelColor(at, y), pen) << at;
    // Not the row below, and not beyond the text.
    EXPECT_NE(image.pixelColor(x + textWidth / 2, y + 1), pen);
    EXPECT_NE(image.pixelColor(x + textWidth + 2, y), pen);
}

TEST(ButtonWidgetIcon, SizeFitsTheButton)
{
    struct Case {
        int edge;
        QSize expected;
    };
    const double factor = AUILibUtils::GetScaleFactor();
    const int big = static_cast<int>(std::floor(64 / factor + 0.5));
    for (const Case& c : {Case{64, QSize(big, big)}, Case{16, QSize(16, 16)}, Case{30, QSize(30, 30)}}) {
        SCOPED_TRACE(c.edge);
        TestWindow window;
        auto button = PlaceButton(window.Get(), QRect(10, 10, 40, 30), QString());
        QPixmap picture(c.edge, c.edge);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(window.Show());
        ButtonWidget(*button)->setIcon(QIcon(picture));
        // Any event fits the size; a resize is one.
        ButtonWidget(*button)->resize(40, 31);
        EXPECT_EQ(ButtonWidget(*button)->iconSize(), c.expected);
    }
}

} // namespace
