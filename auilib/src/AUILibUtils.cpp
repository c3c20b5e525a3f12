#include "AUILibUtils.h"

#include "AUILibUtf8.h"
#include "LanguageFileXml.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>

#include <rapidxml/rapidxml.hpp>

#include <algorithm>

double AUILibUtils::GetScaleFactor()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

namespace {

// Qt and the library swap the numbers of "checked" and "indeterminate"; one
// rule serves both directions.
int SwapCheckState(int state)
{
    switch (state) {
    case 1: return 2;
    case 2: return 1;
    default: return 0;
    }
}

} // namespace

AUILib::CheckBoxStates AUILibUtils::QtChBStateToChBState(Qt::CheckState state)
{
    return static_cast<AUILib::CheckBoxStates>(SwapCheckState(static_cast<int>(state)));
}

Qt::CheckState AUILibUtils::ChBStateToQtChBState(AUILib::CheckBoxStates state)
{
    return static_cast<Qt::CheckState>(SwapCheckState(static_cast<int>(state)));
}

QPixmap AUILibUtils::ScaleBitmap(const QPixmap& picture, AUILib::ScalePicture mode, QSize size)
{
    if (mode == AUILib::ScaleKeep)
        return picture;
    if (picture.isNull())
        return QPixmap();
    switch (mode) {
    case AUILib::ScaleToWidth:
        return picture.scaledToWidth(size.width(), Qt::FastTransformation);
    case AUILib::ScaleToHeight:
        return picture.scaledToHeight(size.height(), Qt::FastTransformation);
    case AUILib::ScaleToSize:
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    default:
        return picture.copy();
    }
}

QPixmap AUILibUtils::SelectIcon(const QIcon& icon, int size)
{
    QPixmap result;
    int bestWidth = 0;
    for (const QSize& available : icon.availableSizes(QIcon::Normal, QIcon::Off)) {
        const int width = available.width();
        if (width == size)
            return icon.pixmap(QSize(size, available.height()), QIcon::Normal, QIcon::Off);
        if (width < size && width >= bestWidth) {
            bestWidth = width;
            result = icon.pixmap(available, QIcon::Normal, QIcon::Off);
        }
        if (result.isNull())
            result = icon.pixmap(available, QIcon::Normal, QIcon::Off);
    }
    return result;
}

bool AUILibUtils::IsSystemHighContrastMode()
{
    return false;
}

AUILib::ImageTypes AUILibUtils::WstrToImageType(std::wstring extension)
{
    if (extension.empty())
        return AUILib::ImageUnknown;
    if (extension[0] == L'.')
        extension.erase(0, 1);
    // Only ASCII letters fold: a locale must not turn other characters into
    // a known extension.
    for (wchar_t& c : extension) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    static const struct { const wchar_t* name; AUILib::ImageTypes type; } kTypes[] = {
        {L"bmp", AUILib::ImageBMP}, {L"gif", AUILib::ImageGIF}, {L"jpg", AUILib::ImageJPEG},
        {L"jpeg", AUILib::ImageJPEG}, {L"png", AUILib::ImagePNG}, {L"ico", AUILib::ImageICO},
        {L"cur", AUILib::ImageCUR}};
    for (const auto& entry : kTypes) {
        if (extension == entry.name)
            return entry.type;
    }
    return AUILib::ImageUnknown;
}

std::string AUILibUtils::ImageTypeToStr(AUILib::ImageTypes type)
{
    switch (type) {
    case AUILib::ImageGIF: return "GIF";
    case AUILib::ImageJPEG: return "JPG";
    case AUILib::ImagePNG: return "PNG";
    case AUILib::ImageICO: return "ICO";
    default: return "BMP";   // the cursor type too
    }
}

AUILibUtils::OsInfo AUILibUtils::GetOsInfo()
{
    return ParseOsVersion(QSysInfo::productVersion());
}

AUILibUtils::OsInfo AUILibUtils::ParseOsVersion(const QString& productVersion)
{
    const QStringList parts = productVersion.split(QLatin1Char('.'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    OsInfo info;
    info.major = parts.value(0).toInt(nullptr, 10);
    info.minor = parts.size() > 1 ? parts.at(1).toInt(nullptr, 10) : 0;
    return info;
}

AUILibUtils::WindowHandle AUILibUtils::GetHandleFromWndPtr(QWidget* widget)
{
    return widget;
}

QWidget* AUILibUtils::GetWndPtrFromHandle(WindowHandle handle)
{
    return static_cast<QWidget*>(handle);
}

AUILib::Point AUILibUtils::GetCursorPosition()
{
    const QPoint position = QCursor::pos();
    return AUILib::Point{position.x(), position.y()};
}

Qt::CursorShape AUILibUtils::GetPlattformCursorType(AUILib::CursorTypes type)
{
    static const Qt::CursorShape kShapes[13] = {
        Qt::WaitCursor, Qt::IBeamCursor, Qt::CrossCursor, Qt::UpArrowCursor, Qt::SizeAllCursor,
        Qt::ArrowCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeVerCursor, Qt::SizeAllCursor, Qt::ForbiddenCursor, Qt::OpenHandCursor};
    const std::int32_t index = static_cast<std::int32_t>(type) - 2;
    if (index < 0 || index >= 13)
        return Qt::ArrowCursor;
    return kShapes[index];
}

namespace {

using XmlNode = rapidxml::xml_node<wchar_t>;
using XmlAttribute = rapidxml::xml_attribute<wchar_t>;

std::wstring ValueOf(const XmlAttribute* attribute) { return AUILib::LanguageFileXml::ValueOf(attribute); }

// The first "value" attribute after the element's first "name" attribute.
bool ReadNamedValue(const XmlNode* parent, const wchar_t* element, std::wstring& value)
{
    const XmlNode* node = parent ? parent->first_node(element) : nullptr;
    const XmlAttribute* name = node ? node->first_attribute(L"name") : nullptr;
    const XmlAttribute* found = name ? name->next_attribute(L"value") : nullptr;
    if (!found)
        return false;
    value = ValueOf(found);
    return true;
}

bool ReadTextFile(const std::wstring& path, std::wstring& text)
{
    std::string bytePath;
    if (!AUILib::WideToUtf8(path, bytePath))
        return false;
    QFile file(QString::fromUtf8(bytePath.data(), static_cast<int>(bytePath.size())));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return AUILib::Utf8ToWide(bytes.constData(), static_cast<std::size_t>(bytes.size()), text);
}

} // namespace

bool AUILibUtils::GetPluginVersionInfo(std::wstring path, AUILib::PluginVersionInfo& info)
{
    try {
        std::wstring text;
        if (!ReadTextFile(path, text))
            return false;
        // Parsed so that a non-ASCII character is never taken for markup
        // (and a leading U+FEFF is skipped).
        const AUILib::LanguageFileXml::ParsedText parsed(text);
        const auto& document = parsed.GetDocument();

        const XmlNode* reader = document.first_node(L"Reader");
        if (!reader)
            return false;
        AUILib::PluginVersionInfo read;
        bool any = false;
        if (const XmlAttribute* language = reader->first_attribute(L"language")) {
            read.language = ValueOf(language);
            any = true;
        }
        if (const XmlAttribute* version = reader->first_attribute(L"version")) {
            read.version = ValueOf(version);
            any = true;
        }
        const XmlNode* versionNode = reader->first_node(L"Version");
        any = ReadNamedValue(versionNode, L"VerDes", read.verDes) || any;
        any = ReadNamedValue(versionNode, L"VerLeg", read.verLeg) || any;
        if (!any)
            return false;
        info = std::move(read);
        return true;
    } catch (const rapidxml::parse_error&) {
        return false;   // not well-formed: the caller sees a file without a version
    } catch (const std::exception&) {
        return false;
    }
}

bool AUILibUtils::GetSystemFonts(std::vector<AUILib::FontData>& fonts, bool skipSymbolFamilies)
{
    const bool listed = EnumFonts(fonts, skipSymbolFamilies);
    std::sort(fonts.begin(), fonts.end(), compareFontData);
    return listed;
}
