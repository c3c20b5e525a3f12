// Wide strings (one code point per character) to and from Qt strings.
#pragma once

#include <QString>
#include <QVector>

#include <string>

namespace AUILib {

inline QString ToQString(const std::wstring& text)
{
    return QString::fromUcs4(reinterpret_cast<const uint*>(text.data()), static_cast<int>(text.size()));
}

inline std::wstring ToWide(const QString& text)
{
    const QVector<uint> ucs4 = text.toUcs4();
    return std::wstring(ucs4.begin(), ucs4.end());
}

} // namespace AUILib
