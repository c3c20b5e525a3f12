// The library's one conversion between std::wstring and QString. Text
// crosses the library's interfaces as wide strings of whole code points
// (wchar_t is 32 bits here), Qt holds UTF-16. Every source that turns one
// into the other includes this header; none spells the conversion itself.
//
// Both directions keep valid text unchanged and put U+FFFD in place of
// what is not a character: a wide character in the surrogate range or
// beyond U+10FFFF, and an unpaired surrogate in a QString. A pair of wide
// surrogates therefore never becomes one character by accident, and a
// value beyond the Unicode range never wraps into another one.
#pragma once

#include <QString>
#include <QVector>

#include <string>
#include <type_traits>

namespace AUILib {

namespace WideQtDetail {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

} // namespace WideQtDetail

inline QString ToQString(const std::wstring& text)
{
    if constexpr (sizeof(wchar_t) == 2) {
        // UTF-16 already: only unpaired surrogates need replacing, which
        // the round trip through code points does.
        const QString utf16 =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(text.data()), static_cast<int>(text.size()));
        const QVector<uint> ucs4 = utf16.toUcs4();
        return QString::fromUcs4(ucs4.constData(), ucs4.size());
    } else {
        QString result;
        result.reserve(static_cast<int>(text.size()));
        for (const wchar_t wide : text) {
            // Unsigned first: a negative wchar_t is no character either.
            char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide));
            if (!WideQtDetail::IsScalarValue(c))
                c = WideQtDetail::kReplacement;
            if (c >= 0x10000) {
                result.append(QChar(QChar::highSurrogate(c)));
                result.append(QChar(QChar::lowSurrogate(c)));
            } else {
                result.append(QChar(static_cast<ushort>(c)));
            }
        }
        return result;
    }
}

// The characters of a QString held elsewhere: sorting keeps where an
// item's text is and converts it on every comparison.
inline std::wstring ToWide(const QChar* text, int size)
{
    if constexpr (sizeof(wchar_t) == 4) {
        // Straight from UTF-16, without an intermediate code-point vector.
        std::wstring result;
        result.reserve(static_cast<size_t>(size));
        const QChar* at = text;
        const QChar* end = at + size;
        for (; at < end; ++at) {
            char32_t c = at->unicode();
            if (at->isHighSurrogate() && at + 1 < end && (at + 1)->isLowSurrogate()) {
                c = QChar::surrogateToUcs4(*at, *(at + 1));
                ++at;
            } else if (at->isSurrogate()) {
                c = WideQtDetail::kReplacement;
            }
            result.push_back(static_cast<wchar_t>(c));
        }
        return result;
    } else {
        // toUcs4 joins surrogate pairs and replaces unpaired surrogates.
        const QVector<uint> ucs4 = QString(text, size).toUcs4();
        std::wstring result;
        result.reserve(static_cast<size_t>(ucs4.size()));
        for (const uint c : ucs4) {
            const char32_t value = WideQtDetail::IsScalarValue(c) ? c : WideQtDetail::kReplacement;
            if constexpr (sizeof(wchar_t) == 2) {
                if (value >= 0x10000) {
                    result.push_back(static_cast<wchar_t>(QChar::highSurrogate(value)));
                    result.push_back(static_cast<wchar_t>(QChar::lowSurrogate(value)));
                    continue;
                }
            }
            result.push_back(static_cast<wchar_t>(value));
        }
        return result;
    }
}

inline std::wstring ToWide(const QString& text) { return ToWide(text.constData(), text.size()); }

} // namespace AUILib
