#include "AUILibUtils.h"
#include "WideQt.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <QVariant>

namespace {

// Families of pictographs and symbols rather than text.
const QStringList& SymbolFamilies()
{
    static const QStringList kFamilies = {
        QStringLiteral("Apple Braille"), QStringLiteral("Apple Color Emoji"),
        QStringLiteral("Apple LiGothic Medium"), QStringLiteral("Apple LiSung Light"),
        QStringLiteral("AppleMyungjo"), QStringLiteral("Apple Symbols"), QStringLiteral("AppleGothic"),
        QStringLiteral("Dingbats"), QStringLiteral("Keyboard"), QStringLiteral("LastResort"),
        QStringLiteral("Osaka"), QStringLiteral("Bodoni Ornaments"), QStringLiteral("SF Symbols"),
        QStringLiteral("DejaVu Sans"), QStringLiteral("FontAwesome"), QStringLiteral("Material Design Icons"),
        QStringLiteral("OpenSymbol"), QStringLiteral("Symbola"), QStringLiteral("Arial Unicode MS"),
        QStringLiteral("Segoe UI Symbol"), QStringLiteral("Wingdings"), QStringLiteral("Wingdings 2"),
        QStringLiteral("Wingdings 3"), QStringLiteral("Webdings"), QStringLiteral("Symbol"),
        QStringLiteral("Bookshelf Symbol 7")};
    return kFamilies;
}

} // namespace

bool EnumFonts(std::vector<AUILib::FontData>& fonts, bool skipSymbolFamilies)
{
    const QFontDatabase database;
    const QStringList families = database.families(QFontDatabase::Any);
    for (const QString& family : families) {
        if (family.startsWith(QLatin1Char('.')) || database.isPrivateFamily(family))
            continue;
        const QFont font = QVariant(family).value<QFont>();
        const bool symbol = SymbolFamilies().contains(font.family(), Qt::CaseSensitive);
        if (symbol && skipSymbolFamilies)
            continue;
        AUILib::FontData data;
        data.faceName = AUILib::ToWide(family);
        data.pointSize = font.pointSizeF();
        data.bold = font.weight() > QFont::Medium ? 1 : 0;
        data.italic = font.style() != QFont::StyleNormal ? 1 : 0;
        data.underline = 0;
        data.symbolFamily = symbol ? 1 : 0;
        fonts.push_back(std::move(data));
    }
    return !families.isEmpty();
}

bool compareFontData(AUILib::FontData a, AUILib::FontData b)
{
    return a.faceName < b.faceName;
}
