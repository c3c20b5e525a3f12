// Run with QT_SCALE_FACTOR=2: a picture higher than the button gets an icon
// size divided by the screen's scale factor.
#include "ButtonTestKit.h"

#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

namespace {

TEST(ButtonScaleFactor, PictureHigherThanTheButtonIsHalved)
{
    ASSERT_DOUBLE_EQ(AUILibUtils::GetScaleFactor(), 2.0);
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::darkGreen);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QByteArray png = buffer.data();

    auto button = MakeButton(100, 30);
    button->LoadPicture(reinterpret_cast<const unsigned char*>(png.constData()), png.size(), AUILib::ImagePNG,
                        AUILib::ScaleKeep, 16, false);
    EXPECT_EQ(ImplOf(*button).GetPicture().size(), QSize(64, 64));
    EXPECT_EQ(WidgetOf(*button)->iconSize(), QSize(32, 32));

    // One that fits keeps its own size.
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::darkRed);
    auto other = MakeButton(100, 30);
    QBuffer smallBuffer;
    smallBuffer.open(QIODevice::WriteOnly);
    small.save(&smallBuffer, "PNG");
    other->LoadPicture(reinterpret_cast<const unsigned char*>(smallBuffer.data().constData()),
                       smallBuffer.data().size(), AUILib::ImagePNG, AUILib::ScaleKeep, 16, false);
    EXPECT_EQ(WidgetOf(*other)->iconSize(), QSize(16, 16));
}

} // namespace
