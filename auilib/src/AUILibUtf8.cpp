#include "AUILibUtf8.h"

#include <cstdint>

namespace AUILib {

namespace {

bool IsEncodable(std::uint32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendUtf8(std::uint32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool Utf8ToWide(const char* data, std::size_t length, std::wstring& out)
{
    out.clear();
    out.reserve(length);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        std::size_t extra;
        std::uint32_t c;
        std::uint32_t minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1; c = lead & 0x1F; minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2; c = lead & 0x0F; minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3; c = lead & 0x07; minimum = 0x10000;
        } else {
            return false;   // continuation byte, C0/C1 overlong lead, or F5..FF
        }
        if (length - i <= extra)
            return false;   // truncated at the end of the data
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char b = p[i + k];
            if ((b & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (b & 0x3F);
        }
        if (c < minimum || !IsEncodable(c))
            return false;
        out += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return true;
}

bool WideToUtf8(const std::wstring& text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (wchar_t w : text) {
        const auto c = static_cast<std::uint32_t>(w);
        if (!IsEncodable(c))
            return false;
        AppendUtf8(c, out);
    }
    return true;
}

std::string WideToUtf8Lossy(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        const auto c = static_cast<std::uint32_t>(w);
        AppendUtf8(IsEncodable(c) ? c : 0xFFFD, out);
    }
    return out;
}

} // namespace AUILib
