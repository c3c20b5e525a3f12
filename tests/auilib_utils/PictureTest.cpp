// Picture scaling modes and the choice of an icon's pixmap by width.
#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <map>
#include <vector>

namespace {

QPixmap Filled(int width, int height, QColor colour = Qt::red)
{
    QPixmap pixmap(width, height);
    pixmap.fill(colour);
    return pixmap;
}

TEST(AUILibUtilsPicture, ScaleBitmapModes)
{
    const QPixmap wide = Filled(80, 20);
    const struct { int mode; QSize request; QSize result; } kCases[] = {
        {AUILib::ScaleToSize, {32, 16}, {32, 16}},    // aspect ignored
        {AUILib::ScaleToWidth, {40, 999}, {40, 10}},  // height follows the aspect
        {AUILib::ScaleToHeight, {999, 10}, {40, 10}},
        {AUILib::ScaleKeep, {10, 10}, {80, 20}},
        {0, {10, 10}, {80, 20}},
        {5, {10, 10}, {80, 20}},
        {-1, {10, 10}, {80, 20}},
    };
    for (const auto& c : kCases) {
        const QPixmap scaled = AUILibUtils::ScaleBitmap(wide, static_cast<AUILib::ScalePicture>(c.mode), c.request);
        EXPECT_EQ(scaled.size(), c.result) << "mode " << c.mode;
    }
    const QPixmap tall = Filled(10, 40);
    EXPECT_EQ(AUILibUtils::ScaleBitmap(tall, AUILib::ScaleToSize, QSize(32, 16)).size(), QSize(32, 16));

    // Keep hands back the same picture; unknown modes a copy of it.
    EXPECT_EQ(AUILibUtils::ScaleBitmap(wide, AUILib::ScaleKeep, QSize()).cacheKey(), wide.cacheKey());
    const QPixmap copy = AUILibUtils::ScaleBitmap(wide, static_cast<AUILib::ScalePicture>(0), QSize());
    EXPECT_NE(copy.cacheKey(), wide.cacheKey());
    EXPECT_EQ(copy.toImage(), wide.toImage());

    for (int mode : {0, 1, 2, 3, 4})
        EXPECT_TRUE(AUILibUtils::ScaleBitmap(QPixmap(), static_cast<AUILib::ScalePicture>(mode), QSize(8, 8)).isNull())
            << mode;
}

TEST(AUILibUtilsPicture, SelectIconByWidth)
{
    // Each size has its own colour, so the chosen pixmap can be told apart.
    const std::map<int, QColor> kColours = {{16, Qt::red}, {32, Qt::green}, {48, Qt::blue}};
    auto iconOf = [&](const std::vector<int>& sizes) {
        QIcon icon;
        for (int size : sizes)
            icon.addPixmap(Filled(size, size, kColours.at(size)), QIcon::Normal, QIcon::Off);
        return icon;
    };
    const struct { std::vector<int> sizes; int request; int chosen; } kCases[] = {
        {{16, 32, 48}, 32, 32},   // exact width
        {{16, 32, 48}, 24, 16},   // widest below the request
        {{16, 32, 48}, 40, 32},
        {{16, 32, 48}, 64, 48},
        {{16, 32, 48}, 8, 16},    // none below: the first one
        {{48, 16}, 24, 16},
        {{48, 16}, 8, 48},
    };
    for (const auto& c : kCases) {
        const QPixmap pixmap = AUILibUtils::SelectIcon(iconOf(c.sizes), c.request);
        ASSERT_FALSE(pixmap.isNull()) << c.request;
        EXPECT_EQ(pixmap.width(), c.chosen) << "request " << c.request;
        EXPECT_EQ(pixmap.toImage().pixelColor(0, 0), kColours.at(c.chosen)) << "request " << c.request;
    }
    EXPECT_TRUE(AUILibUtils::SelectIcon(QIcon(), 16).isNull());
}

} // namespace
