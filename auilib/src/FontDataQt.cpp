#include "FontDataQt.h"

#include "WideQt.h"

#include <QFontInfo>

namespace AUILib {

FontData ShownFontData(const QFont& font)
{
    FontData data;
    const QFontInfo info(font);
    data.faceName = ToWide(info.family());
    data.pointSize = info.pointSizeF();
    data.bold = info.weight() > QFont::Normal ? 1 : 0;
    data.italic = info.italic() ? 1 : 0;
    data.underline = info.underline() ? 1 : 0;
    return data;
}

void MergeFontStyle(QFont& font, const FontData& data)
{
    if (data.bold != -1)
        font.setWeight(data.bold != 0 ? QFont::Bold : QFont::Normal);
    if (data.italic != -1)
        font.setStyle(data.italic != 0 ? QFont::StyleItalic : QFont::StyleNormal);
    if (data.underline != -1)
        font.setUnderline(data.underline != 0);
    // NaN fails the comparison too: a size Qt cannot use (zero, negative,
    // NaN) counts as not given.
    if (data.pointSize > 0.0)
        font.setPointSizeF(data.pointSize);
}

} // namespace AUILib
