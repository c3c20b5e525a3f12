// Entry pictures from PNG and ICO files written by Qt and from bytes; the
// first picture fixes the icon size; null data removes a picture.
#include "ComboTestKit.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

namespace {

using AUILib::any;

QByteArray Encoded(const QColor& colour, int edge, const char* format)
{
    QImage image(edge, edge, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(ComboPicture, FilesAndBytes)
{
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return folder.filePath(name).toStdWString();
    };
    const std::wstring png = write(QStringLiteral("red.png"), Encoded(Qt::red, 12, "PNG"));
    const std::wstring ico = write(QStringLiteral("blue.ico"), Encoded(Qt::blue, 16, "ICO"));
    const std::wstring twoSuffixes = write(QStringLiteral("green.backup.ico"), Encoded(Qt::green, 16, "PNG"));
    const QByteArray pngBytes = Encoded(Qt::yellow, 20, "PNG");
    const QByteArray icoBytes = Encoded(Qt::cyan, 16, "ICO");

    ComboOnWindow c;
    for (int i = 0; i < 6; ++i)
        c.box->AddItem(L"entry " + std::to_wstring(i), any());
    const AUILib::Size size{16, 16};
    c.box->AddPicture(0, png, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    EXPECT_FALSE(c.widget()->itemIcon(0).isNull());
    EXPECT_EQ(c.widget()->iconSize(), QSize(12, 12));  // the first picture's size stays
    c.box->AddPicture(1, ico, AUILib::ScaleToSize, size, AUILib::BitmapDefault);
    c.box->AddPicture(2, twoSuffixes, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    const auto* bytes = reinterpret_cast<const unsigned char*>(pngBytes.constData());
    c.box->AddPicture(3, bytes, pngBytes.size(), AUILib::ImagePNG, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    c.box->AddPicture(4, reinterpret_cast<const unsigned char*>(icoBytes.constData()), icoBytes.size(),
                      AUILib::ImageICO, AUILib::ScaleKeep, AUILib::Size{0, 0}, AUILib::BitmapDefault);
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(c.widget()->itemIcon(i).isNull());
    }
    EXPECT_EQ(c.widget()->iconSize(), QSize(12, 12));

    // Nothing from a count of zero or less, broken bytes or a missing file.
    c.box->AddPicture(5, bytes, 0, AUILib::ImagePNG, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    c.box->AddPicture(5, bytes, -3, AUILib::ImagePNG, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    c.box->AddPicture(5, bytes, 8, AUILib::ImagePNG, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    c.box->AddPicture(5, folder.filePath(QStringLiteral("none.png")).toStdWString(), AUILib::ScaleKeep, size,
                      AUILib::BitmapDefault);
    EXPECT_TRUE(c.widget()->itemIcon(5).isNull());
    // Null data takes the picture away.
    c.box->AddPicture(0, nullptr, 0, AUILib::ImagePNG, AUILib::ScaleKeep, size, AUILib::BitmapDefault);
    EXPECT_TRUE(c.widget()->itemIcon(0).isNull());
}

} // namespace
