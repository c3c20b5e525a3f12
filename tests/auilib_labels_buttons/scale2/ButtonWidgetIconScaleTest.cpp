// Run with QT_SCALE_FACTOR=2: an icon larger than the button is shown at
// its size divided by the screen's scale factor.
#include "ButtonWidgetKit.h"

#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

namespace {

TEST(ButtonWidgetIconScale, LargerIconIsHalved)
{
    ASSERT_DOUBLE_EQ(AUILibUtils::GetScaleFactor(), 2.0);
    QWidget window;
    window.resize(200, 100);
    auto button = PlaceButton(&window, QRect(10, 10, 40, 30), QString());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const auto& [edge, expected] : {std::pair<int, int>{64, 32}, {20, 20}}) {
        SCOPED_TRACE(edge);
        QPixmap picture(edge, edge);
        picture.fill(Qt::darkCyan);
        ButtonWidget(*button)->setIcon(QIcon(picture));
        ButtonWidget(*button)->resize(40, 31);
        ButtonWidget(*button)->resize(40, 30);
        EXPECT_EQ(ButtonWidget(*button)->iconSize(), QSize(expected, expected));
    }
}

} // namespace
