// The utilities' mappings between the library's codes and Qt's, the system
// version parse, window handles and the cursor position.
#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QSysInfo>
#include <QWidget>

namespace {

TEST(AUILibUtilsConversion, CheckStatesSwapCheckedAndIndeterminate)
{
    const struct { int in; int out; } kCases[] = {{0, 0}, {1, 2}, {2, 1}, {3, 0}, {-1, 0}, {100, 0}};
    for (const auto& c : kCases) {
        EXPECT_EQ(AUILibUtils::QtChBStateToChBState(static_cast<Qt::CheckState>(c.in)), c.out) << c.in;
        EXPECT_EQ(AUILibUtils::ChBStateToQtChBState(static_cast<AUILib::CheckBoxStates>(c.in)), c.out) << c.in;
    }
    EXPECT_EQ(AUILibUtils::QtChBStateToChBState(Qt::PartiallyChecked), AUILib::CheckBoxIndeterminate);
    EXPECT_EQ(AUILibUtils::ChBStateToQtChBState(AUILib::CheckBoxChecked), Qt::Checked);
}

TEST(AUILibUtilsConversion, ImageTypesFromExtensions)
{
    const struct { std::wstring extension; AUILib::ImageTypes type; } kCases[] = {
        {L"", AUILib::ImageUnknown},   {L".", AUILib::ImageUnknown},   {L"..png", AUILib::ImageUnknown},
        {L".PNG", AUILib::ImagePNG},   {L"png", AUILib::ImagePNG},     {L"Jpeg", AUILib::ImageJPEG},
        {L".jpg", AUILib::ImageJPEG},  {L"BMP", AUILib::ImageBMP},     {L"gif", AUILib::ImageGIF},
        {L".ico", AUILib::ImageICO},   {L"CuR", AUILib::ImageCUR},     {L"tif", AUILib::ImageUnknown},
        {L"png ", AUILib::ImageUnknown},
        // Only ASCII letters fold: the Kelvin sign and dotless i are not k or i.
        {L"\u0130co", AUILib::ImageUnknown}, {L"p\u212Ag", AUILib::ImageUnknown},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(AUILibUtils::WstrToImageType(c.extension), c.type) << QString::fromStdWString(c.extension).toStdString();
}

TEST(AUILibUtilsConversion, ImageFormatNames)
{
    const struct { int type; const char* name; } kCases[] = {
        {0, "BMP"}, {1, "BMP"}, {2, "GIF"}, {3, "JPG"}, {4, "PNG"}, {5, "BMP"}, {6, "ICO"}, {7, "BMP"}, {-1, "BMP"}};
    for (const auto& c : kCases)
        EXPECT_EQ(AUILibUtils::ImageTypeToStr(static_cast<AUILib::ImageTypes>(c.type)), c.name) << c.type;
}

TEST(AUILibUtilsConversion, CursorShapes)
{
    const struct { int type; Qt::CursorShape shape; } kCases[] = {
        {-1, Qt::ArrowCursor},          {0, Qt::ArrowCursor},           {1, Qt::ArrowCursor},
        {2, Qt::WaitCursor},            {3, Qt::IBeamCursor},           {4, Qt::CrossCursor},
        {5, Qt::UpArrowCursor},         {6, Qt::SizeAllCursor},         {7, Qt::ArrowCursor},
        {8, Qt::SizeFDiagCursor},       {9, Qt::SizeBDiagCursor},       {10, Qt::SizeHorCursor},
        {11, Qt::SizeVerCursor},        {12, Qt::SizeAllCursor},        {13, Qt::ForbiddenCursor},
        {14, Qt::OpenHandCursor},       {15, Qt::ArrowCursor},          {1000, Qt::ArrowCursor},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(AUILibUtils::GetPlattformCursorType(static_cast<AUILib::CursorTypes>(c.type)), c.shape) << c.type;
}

TEST(AUILibUtilsConversion, SystemVersionParse)
{
    const struct { const char* version; int major; int minor; } kCases[] = {
        {"11", 11, 0}, {"10.15.7", 10, 15}, {"12", 12, 0}, {"", 0, 0}, {"unknown", 0, 0},
        {"10.x", 10, 0}, {".5", 0, 5}, {"13..1", 13, 0}, {"14.2", 14, 2},
    };
    for (const auto& c : kCases) {
        const AUILibUtils::OsInfo info = AUILibUtils::ParseOsVersion(QString::fromLatin1(c.version));
        EXPECT_EQ(info.reserved0, 0) << c.version;
        EXPECT_EQ(info.major, c.major) << c.version;
        EXPECT_EQ(info.minor, c.minor) << c.version;
        EXPECT_EQ(info.reserved1, 0) << c.version;
    }
    const AUILibUtils::OsInfo system = AUILibUtils::GetOsInfo();
    const AUILibUtils::OsInfo parsed = AUILibUtils::ParseOsVersion(QSysInfo::productVersion());
    EXPECT_EQ(system.major, parsed.major);
    EXPECT_EQ(system.minor, parsed.minor);
}

TEST(AUILibUtilsConversion, HandlesAreTheWidgetAndTheCursorIsGlobal)
{
    QWidget widget;
    EXPECT_EQ(AUILibUtils::GetHandleFromWndPtr(&widget), static_cast<void*>(&widget));
    EXPECT_EQ(AUILibUtils::GetWndPtrFromHandle(AUILibUtils::GetHandleFromWndPtr(&widget)), &widget);
    EXPECT_EQ(AUILibUtils::GetWndPtrFromHandle(nullptr), nullptr);

    QCursor::setPos(123, 45);
    const AUILib::Point position = AUILibUtils::GetCursorPosition();
    EXPECT_EQ(position.x, 123);
    EXPECT_EQ(position.y, 45);
    EXPECT_FALSE(AUILibUtils::IsSystemHighContrastMode());
    EXPECT_GT(AUILibUtils::GetScaleFactor(), 0.0);
}

} // namespace
