#include "LanguageFileXml.h"

#include "AUILibConfig.h"
#include "AUILibUtf8.h"
#include "Encrypter.h"

#include <QFile>

#include <cstdint>
#include <limits>

namespace AUILib {
namespace LanguageFileXml {

namespace {

// Stand-ins keep the code point in the upper bits and an 'a' in the low
// byte: a name, text and attribute character to the parser, never markup.
constexpr std::uint32_t kStandInLowByte = 0x61;

wchar_t StandIn(std::uint32_t c) { return static_cast<wchar_t>((c << 8) | kStandInLowByte); }

bool IsCharacter(std::uint32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// At text[i] == '&' and text[i+1] == '#': the code point and the index after
// the ';', or false when this is not a complete numeric reference.
bool ReadNumericReference(const std::wstring& text, std::size_t i, std::uint32_t& value, std::size_t& end)
{
    std::size_t k = i + 2;
    const bool hex = k < text.size() && text[k] == L'x';
    if (hex)
        ++k;
    std::uint64_t v = 0;
    std::size_t digits = 0;
    for (; k < text.size(); ++k, ++digits) {
        const int d = hex ? HexDigit(text[k]) : (IsAsciiDigit(text[k]) ? text[k] - L'0' : -1);
        if (d < 0)
            break;
        v = v * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFull)
            v = 0xFFFFFFFFull;   // far out of range; stays so
    }
    if (digits == 0 || k >= text.size() || text[k] != L';')
        return false;
    value = static_cast<std::uint32_t>(v);
    end = k + 1;
    return true;
}

void ParseFailure(const wchar_t* where)
{
    throw rapidxml::parse_error("invalid numeric character entity", const_cast<wchar_t*>(where));
}

template <typename T>
bool ReadInteger(const std::wstring& text, T& value)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulate the magnitude against the limit of the sign.
    const std::uint64_t limit = negative ? static_cast<std::uint64_t>(std::numeric_limits<T>::max()) + 1
                                         : static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i, ++digits) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - L'0');
        if (magnitude > limit)
            return false;
    }
    if (digits == 0)
        return false;
    if (negative)
        value = magnitude == limit ? std::numeric_limits<T>::min() : -static_cast<T>(magnitude);
    else
        value = static_cast<T>(magnitude);
    return true;
}

} // namespace

std::wstring ReadText(const std::wstring& path)
{
    try {
        if (ExpectsEncryptedLanguageFiles())
            return Encrypter::ReadAndDecryptFile(path);
        std::string bytePath;
        if (!WideToUtf8(path, bytePath))
            return std::wstring();
        QFile file(QString::fromUtf8(bytePath.data(), static_cast<int>(bytePath.size())));
        if (!file.open(QIODevice::ReadOnly))
            return std::wstring();
        const QByteArray bytes = file.readAll();
        std::wstring text;
        // On a bad sequence the decoder stops there, keeping what came before.
        Utf8ToWide(bytes.constData(), static_cast<std::size_t>(bytes.size()), text);
        return text;
    } catch (const std::exception&) {
        return std::wstring();
    }
}

ParsedText::ParsedText(const std::wstring& text)
{
    std::size_t i = 0;
    // The parser skips only the UTF-8 bytes of a byte-order mark.
    if (!text.empty() && text[0] == L'\xFEFF')
        i = 1;
    buffer_.reserve(text.size() + 1);
    for (; i < text.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (c == L'&' && i + 1 < text.size() && text[i + 1] == L'#') {
            std::uint32_t value = 0;
            std::size_t end = 0;
            if (ReadNumericReference(text, i, value, end) && value > 0x7F) {
                if (!IsCharacter(value))
                    ParseFailure(text.c_str() + i);
                buffer_.push_back(StandIn(value));
                i = end - 1;
                continue;
            }
        }
        buffer_.push_back(c < 0x80 ? static_cast<wchar_t>(c) : StandIn(c));
    }
    buffer_.push_back(L'\0');
    document_.parse<rapidxml::parse_default>(buffer_.data());
}

std::wstring Decode(const wchar_t* text, std::size_t size)
{
    std::wstring out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        out += static_cast<wchar_t>(c < 0x100 ? c : c >> 8);
    }
    return out;
}

std::wstring ValueOf(const Node* node) { return node ? Decode(node->value(), node->value_size()) : std::wstring(); }

std::wstring ValueOf(const Attribute* attribute)
{
    return attribute ? Decode(attribute->value(), attribute->value_size()) : std::wstring();
}

bool ReadInt32(const std::wstring& text, int& value) { return ReadInteger<int>(text, value); }

bool ReadInt64(const std::wstring& text, long long& value) { return ReadInteger<long long>(text, value); }

} // namespace LanguageFileXml
} // namespace AUILib
