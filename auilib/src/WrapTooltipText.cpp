#include "WrapTooltipText.h"

#include "WideQt.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QToolTip>

namespace AUILib {

QString WrapTooltipText(const std::wstring& text, int maxWidth)
{
    QString rest = ToQString(text);
    QString out;
    const QFontMetrics metrics(QToolTip::font());
    if (maxWidth >= 1 && rest.size() >= 2 && metrics.horizontalAdvance(rest) > maxWidth) {
        // A little slack so that a line exactly at the width is not broken.
        const int limit = maxWidth + 2;
        static const QRegularExpression space(QStringLiteral("\\s"));
        int i = 1;
        while (i < rest.size()) {
            if (rest[i] == QLatin1Char('\n')) {
                out += rest.left(i) + QStringLiteral("<br>");
                rest = rest.mid(i + 1);
                i = 0;
            } else if (metrics.horizontalAdvance(rest.left(i + 1)) > limit) {
                const int p = rest.lastIndexOf(space, i);
                const int cut = p >= 1 ? p + 1 : i;
                out += rest.left(cut) + QStringLiteral("<br>");
                rest = rest.mid(cut);
                i = 0;
            }
            ++i;
        }
    }
    return QStringLiteral("<div style = 'white-space:pre'>") + out + rest + QStringLiteral("</div>");
}

} // namespace AUILib
