#pragma once
// Stateless helpers the controls share: screen scale, check-state, cursor and
// image-format conversions, picture scaling and icon choice, the system
// version, window handles, the cursor position, plug-in version files and the
// installed font families. They use Qt GUI classes: GUI thread only.
#include "AUILibEnums.h"
#include "AUILibTypes.h"

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <Qt>

#include <cstdint>
#include <string>
#include <vector>

class QWidget;

namespace AUILib {

// The "Reader" element's version and language and the "value" attributes of
// its "Version/VerDes" and "Version/VerLeg" elements, as read, untrimmed.
struct PluginVersionInfo
{
    std::wstring version;
    std::wstring language;
    std::wstring verDes;
    std::wstring verLeg;
};

} // namespace AUILib

class AUILibUtils
{
public:
    // Operating-system version: (0, major, minor, 0).
    struct OsInfo
    {
        std::int32_t reserved0 = 0;
        std::int32_t major = 0;
        std::int32_t minor = 0;
        std::int32_t reserved1 = 0;
    };

    // On this platform a window handle is the widget pointer itself.
    using WindowHandle = void*;

    static double GetScaleFactor();

    static AUILib::CheckBoxStates QtChBStateToChBState(Qt::CheckState state);
    static Qt::CheckState ChBStateToQtChBState(AUILib::CheckBoxStates state);

    static QPixmap ScaleBitmap(const QPixmap& picture, AUILib::ScalePicture mode, QSize size);
    // The pixmap of the available width equal to size, else the widest one
    // below it, else the first one that is not null.
    static QPixmap SelectIcon(const QIcon& icon, int size);

    static bool IsSystemHighContrastMode();

    static AUILib::ImageTypes WstrToImageType(std::wstring extension);
    // The format name for QPixmap::loadFromData.
    static std::string ImageTypeToStr(AUILib::ImageTypes type);

    static OsInfo GetOsInfo();
    // The version record of a product version text such as "10.15.7".
    static OsInfo ParseOsVersion(const QString& productVersion);

    static WindowHandle GetHandleFromWndPtr(QWidget* widget);
    static QWidget* GetWndPtrFromHandle(WindowHandle handle);

    static AUILib::Point GetCursorPosition();
    static Qt::CursorShape GetPlattformCursorType(AUILib::CursorTypes type);

    // False, info untouched, when the file cannot be read, is not strict
    // UTF-8 or well-formed XML, or holds none of the four values.
    static bool GetPluginVersionInfo(std::wstring path, AUILib::PluginVersionInfo& info);

    // EnumFonts, then the whole vector sorted by face name.
    static bool GetSystemFonts(std::vector<AUILib::FontData>& fonts, bool skipSymbolFamilies);
};

// Appends the installed families (none starting with "."), marking symbol
// families; true when the font database lists any family at all.
bool EnumFonts(std::vector<AUILib::FontData>& fonts, bool skipSymbolFamilies);

// Face-name order, code point by code point.
bool compareFontData(AUILib::FontData a, AUILib::FontData b);
