// Pictures from files and memory: the ICO route, scaling into the button,
// icon sizes, the label route and what a failed load leaves.
#include "ButtonTestKit.h"
#include "PngBytes.h"

#include "IcoBytes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

namespace {

using AUILib::Button;

class ButtonPicture : public ::testing::Test {
protected:
    std::wstring Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName().toStdWString();
    }

    QTemporaryDir dir_;
};

TEST_F(ButtonPicture, IcoRouteByCompleteSuffix)
{
    // 48 first: a plain pixmap load takes the first image, the icon route
    // the one chosen for the requested size.
    const QByteArray ico = IcoBytes({48, 16});
    ASSERT_FALSE(ico.isEmpty());
    const struct {
        const char* name;
        int edge;
    } kCases[] = {{"logo.ico", 16}, {"LOGO.Ico", 16}, {"logo.32.ico", 48}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        auto button = MakeButton(100, 100);
        button->LoadPicture(Write(c.name, ico), AUILib::ScaleKeep, 16, false);
        EXPECT_EQ(ImplOf(*button).GetPicture().size(), QSize(c.edge, c.edge));
        EXPECT_TRUE(WidgetOf(*button)->isFlat());
    }
}

TEST_F(ButtonPicture, ScalingAndIconSize)
{
    const struct {
        const char* why;
        QSize picture;
        AUILib::ScalePicture mode;
        QSize stored;
        QSize iconSize;
    } kCases[] = {
        {"fitted into the button less 13 px", {50, 50}, AUILib::ScaleToSize, {87, 17}, {87, 17}},
        {"kept, fits", {16, 16}, AUILib::ScaleKeep, {16, 16}, {16, 16}},
        // Higher than the button: divided by the screen's scale factor (1 here).
        {"kept, too high", {64, 64}, AUILib::ScaleKeep, {64, 64}, {64, 64}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        auto button = MakeButton(100, 30);
        button->LoadPicture(Write(QStringLiteral("p.png"), PngBytes(c.picture.width(), c.picture.height(), Qt::darkCyan)), c.mode,
                            16, true);
        EXPECT_EQ(ImplOf(*button).GetPicture().size(), c.stored);
        EXPECT_EQ(WidgetOf(*button)->iconSize(), c.iconSize);
        EXPECT_FALSE(WidgetOf(*button)->icon().isNull());
        EXPECT_TRUE(ImplOf(*button).GetDisabledPicture().isNull());
    }
}

TEST_F(ButtonPicture, DisabledPictureAndFailedLoads)
{
    auto button = MakeButton(100, 30);
    const std::wstring normal = Write(QStringLiteral("n.png"), PngBytes(16, 16, Qt::red));
    const std::wstring disabled = Write(QStringLiteral("d.png"), PngBytes(12, 12, Qt::gray));
    button->LoadPicture(normal, AUILib::ScaleKeep, 16, false);
    button->LoadPictureDisabled(disabled, AUILib::ScaleKeep, 16, false);
    QIcon icon = WidgetOf(*button)->icon();
    EXPECT_EQ(icon.availableSizes(QIcon::Normal), QList<QSize>({QSize(16, 16)}));
    EXPECT_EQ(icon.availableSizes(QIcon::Disabled), QList<QSize>({QSize(12, 12)}));

    // A disabled picture that cannot be read drops the earlier one.
    button->LoadPictureDisabled(dir_.filePath(QStringLiteral("missing.png")).toStdWString(), AUILib::ScaleKeep, 16,
                                false);
    icon = WidgetOf(*button)->icon();
    EXPECT_TRUE(ImplOf(*button).GetDisabledPicture().isNull());
    EXPECT_TRUE(icon.availableSizes(QIcon::Disabled).isEmpty());
    EXPECT_EQ(icon.availableSizes(QIcon::Normal), QList<QSize>({QSize(16, 16)}));

    // A normal picture that cannot be read leaves the icon empty.
    button->LoadPicture(Write(QStringLiteral("broken.png"), QByteArray("not a picture")), AUILib::ScaleKeep, 16,
                        false);
    EXPECT_TRUE(ImplOf(*button).GetPicture().isNull());
    EXPECT_TRUE(WidgetOf(*button)->icon().isNull());
}

TEST_F(ButtonPicture, LabelRouteInTheLabelStyles)
{
    for (Button::ButtonStyle style : {Button::IconAboveText, Button::RoundedIconAboveText}) {
        SCOPED_TRACE(style);
        auto button = MakeButton(100, 60);
        button->SetStyle(style);
        // A text that reached the widget later (a translation) moves to the label.
        WidgetOf(*button)->setText(QStringLiteral("Go"));
        button->LoadPicture(Write(QStringLiteral("p.png"), PngBytes(20, 20, Qt::darkCyan)), AUILib::ScaleKeep, 16, false);
        Button::impl& impl = ImplOf(*button);
        ASSERT_TRUE(impl.HasLabels());
        EXPECT_EQ(impl.GetPictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(20, 20));
        EXPECT_EQ(impl.GetTextLabel()->text(), QStringLiteral("Go"));
        EXPECT_TRUE(WidgetOf(*button)->text().isEmpty());
        EXPECT_TRUE(WidgetOf(*button)->icon().isNull());
        EXPECT_FALSE(impl.IsChangeInProgress());

        // The disabled picture takes the label too.
        button->LoadPictureDisabled(Write(QStringLiteral("d.png"), PngBytes(10, 10, Qt::darkCyan)), AUILib::ScaleKeep, 16, false);
        EXPECT_EQ(impl.GetPictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(10, 10));
        EXPECT_TRUE(WidgetOf(*button)->icon().isNull());
    }

    // A picture loaded before the style moves to the label with it.
    auto button = MakeButton(100, 60);
    button->SetText(L"Open");
    button->LoadPicture(Write(QStringLiteral("p.png"), PngBytes(20, 20, Qt::darkCyan)), AUILib::ScaleKeep, 16, false);
    EXPECT_FALSE(WidgetOf(*button)->icon().isNull());
    button->SetStyle(Button::IconAboveText);
    EXPECT_TRUE(WidgetOf(*button)->icon().isNull());
    EXPECT_EQ(ImplOf(*button).GetPictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(20, 20));
    EXPECT_EQ(button->GetText(), L"Open");
}

TEST_F(ButtonPicture, FromMemory)
{
    // The ICO goes through a temporary file: an unflushed one reads as nothing.
    const QByteArray ico = IcoBytes({16, 48});
    const auto* icoData = reinterpret_cast<const unsigned char*>(ico.constData());
    const QByteArray png = PngBytes(24, 12, Qt::darkCyan);
    const auto* pngData = reinterpret_cast<const unsigned char*>(png.constData());
    const struct {
        const char* why;
        const unsigned char* data;
        int length;
        AUILib::ImageTypes type;
        int size;
        QSize picture;  // empty: null picture
    } kCases[] = {
        {"ICO, the 48 image", icoData, ico.size(), AUILib::ImageICO, 48, {48, 48}},
        {"ICO, the 16 image", icoData, ico.size(), AUILib::ImageICO, 16, {16, 16}},
        {"ICO, below every size", icoData, ico.size(), AUILib::ImageICO, 8, {16, 16}},
        {"PNG", pngData, png.size(), AUILib::ImagePNG, 16, {24, 12}},
        {"PNG named BMP", pngData, png.size(), AUILib::ImageBMP, 16, {}},
        {"null data", nullptr, 100, AUILib::ImagePNG, 16, {}},
        {"null ICO data", nullptr, 100, AUILib::ImageICO, 16, {}},
        {"zero length", pngData, 0, AUILib::ImagePNG, 16, {}},
        {"negative length", pngData, -1, AUILib::ImagePNG, 16, {}},
        {"negative ICO length", icoData, -5, AUILib::ImageICO, 16, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        auto button = MakeButton(100, 100);
        button->LoadPicture(c.data, c.length, c.type, AUILib::ScaleKeep, c.size, false);
        const QPixmap& picture = ImplOf(*button).GetPicture();
        if (c.picture.isEmpty()) {
            EXPECT_TRUE(picture.isNull());
            EXPECT_TRUE(WidgetOf(*button)->icon().isNull());
        } else {
            EXPECT_EQ(picture.size(), c.picture);
        }
    }
    auto button = MakeButton(100, 100);
    button->LoadPictureDisabled(icoData, ico.size(), AUILib::ImageICO, AUILib::ScaleKeep, 16, false);
    EXPECT_EQ(ImplOf(*button).GetDisabledPicture().size(), QSize(16, 16));
    EXPECT_TRUE(ImplOf(*button).GetPicture().isNull());
}

} // namespace
