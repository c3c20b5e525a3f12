#include "DirectionControls.h"

namespace DirectionControls {

bool IsDirectionControl(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString Neutralised(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!IsDirectionControl(c))
            out.append(c);
    }
    return out;
}

} // namespace DirectionControls
