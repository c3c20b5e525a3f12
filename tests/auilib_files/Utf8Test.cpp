// The library's strict UTF-8 coder, the base of every text file it reads.
#include "AUILibUtf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, DecodesEveryLengthAtItsLimits)
{
    const struct { std::string bytes; std::wstring text; } kValid[] = {
        {"", L""},
        {std::string("\0", 1), std::wstring(1, L'\0')},
        {"\x7F", L"\x7F"},
        {"\xC2\x80", L"\x80"},
        {"\xDF\xBF", L"\x7FF"},
        {"\xE0\xA0\x80", L"\x800"},
        {"\xED\x9F\xBF", L"\xD7FF"},
        {"\xEE\x80\x80", L"\xE000"},
        {"\xEF\xBB\xBF", L"\xFEFF"},
        {"\xEF\xBF\xBF", L"\xFFFF"},
        {"\xF0\x90\x80\x80", L"\U00010000"},
        {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
    };
    for (const auto& c : kValid) {
        std::wstring text;
        EXPECT_TRUE(AUILib::Utf8ToWide(c.bytes.data(), c.bytes.size(), text)) << c.bytes.size();
        EXPECT_EQ(text, c.text);
        std::string back;
        EXPECT_TRUE(AUILib::WideToUtf8(c.text, back));
        EXPECT_EQ(back, c.bytes);
    }
}

TEST(Utf8, RefusesWhatIsNotStrictUtf8)
{
    const char* kInvalid[] = {
        "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",   // overlong
        "\xED\xA0\x80", "\xED\xBF\xBF",                               // surrogates
        "\xE2\x82", "\xF0\x9F\x98", "\xC3",                           // truncated
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF",               // above U+10FFFF, never valid
        "\x80", "\xC3\x28", "\xE2\x28\xA1",                           // stray or missing continuation
    };
    for (const char* bytes : kInvalid) {
        std::wstring text;
        EXPECT_FALSE(AUILib::Utf8ToWide(bytes, std::char_traits<char>::length(bytes), text))
            << std::char_traits<char>::length(bytes) << " bytes starting " << std::hex
            << (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])));
    }
}

TEST(Utf8, EncodingRefusesOrReplacesWhatHasNoUtf8Form)
{
    for (wchar_t c : {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDFFF), static_cast<wchar_t>(0x110000)}) {
        const std::wstring text = std::wstring(L"a") + c + L"b";
        std::string bytes;
        EXPECT_FALSE(AUILib::WideToUtf8(text, bytes));
        EXPECT_EQ(AUILib::WideToUtf8Lossy(text), "a\xEF\xBF\xBD" "b");
    }
}

} // namespace
