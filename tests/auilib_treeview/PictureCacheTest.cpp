// The tree control's picture cache: one index per distinct picture, the
// first being 1, even for pictures that agree on every sampled byte.
#include "PictureCache.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

using AUILib::PictureCache;

namespace {

std::vector<unsigned char> Encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

QImage Square(QRgb colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(PictureCacheTest, SameBytesShareOneIndexStartingAtOne)
{
    PictureCache cache;
    const auto red = Encode(Square(qRgb(255, 0, 0)), "PNG");
    const auto blue = Encode(Square(qRgb(0, 0, 255)), "PNG");
    const int length = static_cast<int>(red.size());
    EXPECT_EQ(cache.AddPicture(red.data(), length, AUILib::ImagePNG, L"/p/red.png"), 1);
    EXPECT_EQ(cache.AddPicture(red.data(), length, AUILib::ImagePNG, L""), 1);
    EXPECT_EQ(cache.AddPicture(blue.data(), static_cast<int>(blue.size()), AUILib::ImagePNG, L""), 2);
    EXPECT_EQ(cache.PathOf(1), L"/p/red.png");
    EXPECT_EQ(cache.PathOf(2), L"");
    EXPECT_TRUE(cache.Icon(0).isNull());
    EXPECT_FALSE(cache.Icon(1).isNull());
    EXPECT_TRUE(cache.Icon(3).isNull());
    cache.Clear();
    EXPECT_EQ(cache.AddPicture(blue.data(), static_cast<int>(blue.size()), AUILib::ImagePNG, L""), 1);
}

TEST(PictureCacheTest, PicturesDifferingOnlyInUnsampledBytesStayApart)
{
    PictureCache cache;
    // Uncompressed: one pixel's blue byte sits at a known offset.
    const QImage first = Square(qRgb(10, 20, 30));
    const auto a = Encode(first, "BMP");
    auto b = a;
    // The first pixel byte that the sampling (every fifth byte) skips.
    size_t offset = 54;
    while (offset % 5 == 0)
        ++offset;
    ASSERT_LT(offset, b.size());
    b[offset] = static_cast<unsigned char>(b[offset] ^ 0xFF);
    const int length = static_cast<int>(a.size());
    ASSERT_EQ(PictureCache::SampledHash(a.data(), length), PictureCache::SampledHash(b.data(), length));
    const int one = cache.AddPicture(a.data(), length, AUILib::ImageBMP, L"");
    const int two = cache.AddPicture(b.data(), length, AUILib::ImageBMP, L"");
    EXPECT_EQ(one, 1);
    EXPECT_EQ(two, 2);
    EXPECT_NE(cache.Icon(1).pixmap(8, 8).toImage().pixel(0, 7), cache.Icon(2).pixmap(8, 8).toImage().pixel(0, 7));
    EXPECT_EQ(cache.AddPicture(b.data(), length, AUILib::ImageBMP, L""), 2);
}

TEST(PictureCacheTest, RefusesWhatItCannotStore)
{
    PictureCache cache;
    const auto png = Encode(Square(qRgb(1, 2, 3)), "PNG");
    const unsigned char junk[] = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    struct Case {
        const char* name;
        const unsigned char* data;
        int length;
    } cases[] = {
        {"null data", nullptr, 10},
        {"length 0", png.data(), 0},
        {"length -1", png.data(), -1},
        {"undecodable", junk, static_cast<int>(sizeof junk)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cache.AddPicture(c.data, c.length, AUILib::ImagePNG, L""), -1);
    }
    EXPECT_EQ(cache.Icons().size(), 1u);
    EXPECT_EQ(cache.AddPicture(png.data(), static_cast<int>(png.size()), AUILib::ImagePNG, L""), 1);
}

TEST(PictureCacheTest, ItemPicturesAreForgottenOneByOneOrAllAtOnce)
{
    PictureCache cache;
    auto* item = reinterpret_cast<QStandardItem*>(0x10);
    auto* other = reinterpret_cast<QStandardItem*>(0x20);
    cache.SetItemPicture(item, 3);
    cache.SetItemPicture(other, 4);
    EXPECT_EQ(cache.ItemPicture(item), 3);
    cache.ForgetItem(item);
    EXPECT_EQ(cache.ItemPicture(item), -1);
    EXPECT_EQ(cache.ItemPicture(other), 4);
    cache.Clear();
    EXPECT_EQ(cache.ItemPicture(other), -1);
}

} // namespace
