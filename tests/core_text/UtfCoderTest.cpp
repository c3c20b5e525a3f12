// Incremental UTF-8 coders, the character maps, and a round-trip property
// against QString's own UTF-8 and UTF-16 conversions.
#include "CKW_CharMap.h"
#include "CKW_WideString.h"
#include "KW_UTF.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <random>
#include <string>

namespace {

std::wstring Decoded(const std::string& bytes)
{
    CKW_UTF8Decoder d;
    for (unsigned char b : bytes) d.Input(b);
    CKW_WideStringC r = d.GetResult();
    return std::wstring(r.GetPtr() ? r.GetPtr() : L"", r.GetLength());
}

std::string Encoded(const std::wstring& text)
{
    CKW_UTF8Encoder e;
    for (wchar_t c : text) e.Input(c);
    CKW_ByteStringC r = e.GetResult();
    return std::string(r.GetCStr() ? r.GetCStr() : "", r.GetLength());
}

std::wstring W(std::initializer_list<uint32_t> cps)
{
    std::wstring s;
    for (uint32_t c : cps) s.push_back(static_cast<wchar_t>(c));
    return s;
}

TEST(Utf8Decoder, Table)
{
    struct Case {
        std::string bytes;
        std::wstring chars;
    } cases[] = {
        {"\xC3\xA9", W({0xE9})},
        {"\xC3" "A", L"A"},                         // cut short: only the ASCII byte
        {"\xA9", L""},                              // stray continuation
        {"\xC0\x80", W({0xFFFD})},                  // overlong zero
        {"\xC1\xBF", W({0xFFFD})},                  // overlong 0x7F
        {"\xE0\x9F\xBF", W({0xFFFD})},              // overlong 0x7FF
        {"\xF0\x8F\xBF\xBF", W({0xFFFD})},          // overlong 0xFFFF
        {"\xE0\xA0\x80", W({0x800})},               // shortest three-byte form
        {"\xED\xA0\x80", W({0xD800})},              // a surrogate value is kept
        {"\xFE" "a\xFF", L"a"},                     // never valid bytes
        {"\xF0\x9F\x98\x80", W({0x1F600})},
        {"\xF4\x8F\xBF\xBF", W({0x10FFFF})},
        {"\xFD\xBF\xBF\xBF\xBF\xBF", W({0x7FFFFFFF})},
        {"\xE2\x82\xF0\x9F\x98\x80", W({0x1F600})}, // a new lead drops the unfinished one
        {"ab\xE2\x82", L"ab"},                      // truncated at the end
    };
    for (const Case& c : cases) EXPECT_EQ(Decoded(c.bytes), c.chars) << testing::PrintToString(c.bytes);

    CKW_UTF8Decoder d;
    d.Input('x');
    d.Input(0xC3);
    d.Clear();
    d.Input(0xA9);   // the pending sequence went with Clear
    d.AppendChar(0x1F600);
    EXPECT_EQ(std::wstring(d.GetResult().GetPtr(), d.GetResult().GetLength()), W({0x1F600}));
}

TEST(Utf8Encoder, Table)
{
    EXPECT_EQ(Encoded(W({0xE9})), "\xC3\xA9");
    EXPECT_EQ(Encoded(W({0x1F600})), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Encoded(W({0x7FFFFFFF})), "\xFD\xBF\xBF\xBF\xBF\xBF");
    EXPECT_EQ(Encoded(W({0x80000000u})), "");
    EXPECT_EQ(Encoded(W({'a', 0x7FF, 0x800, 0xFFFF, 0x10000})), "a\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
    std::wstring many(1000, static_cast<wchar_t>(0x20AC));
    EXPECT_EQ(Encoded(many).size(), 3000u);
}

TEST(Utf8Strings, EncodeIntoAllocatorBoundString)
{
    CKW_ByteStringL out;
    KW_UTF8Encode(L"x\U0001F600", -1, out, nullptr);
    EXPECT_EQ(std::string(out.c_str(), out.GetLength()), "x\xF0\x9F\x98\x80");
    out.Empty(nullptr);
    CKW_ByteString s = KW_UTF8Encode(L"\u00E9t\u00E9", 3);
    EXPECT_TRUE(s == "\xC3\xA9t\xC3\xA9");
    EXPECT_TRUE(KW_UTF8Encode(nullptr, 3).IsEmpty());
    CKW_ByteString raw("a\xC3\xA9", -1);
    CKW_WideString w = raw.UTF8Decode();
    EXPECT_TRUE(w == L"a\u00E9");
}

TEST(Utf8Strings, LongTextsWhateverTheirMix)
{
    // Long texts take a one-pass road that must make room for characters
    // beyond the BMP; every mix must give the same bytes as the coder object.
    const size_t n = 300000;
    const std::wstring ascii(n, L'a');
    const std::wstring emoji(n, static_cast<wchar_t>(0x1F600));
    std::wstring tail = ascii;
    for (size_t i = n - 1000; i < n; ++i) tail[i] = static_cast<wchar_t>(0x7FFFFFFF);   // six bytes each
    const std::wstring* texts[] = {&ascii, &emoji, &tail};
    for (const std::wstring* text : texts) {
        CKW_ByteString ours = KW_UTF8Encode(text->c_str(), static_cast<int>(text->size()));
        std::string expected = Encoded(*text);
        ASSERT_EQ(static_cast<size_t>(ours.GetLength()), expected.size());
        EXPECT_EQ(std::memcmp(ours.c_str(), expected.data(), expected.size()), 0);
        CKW_WideString back = CKW_WideString::FromUTF8(ours.c_str(), ours.GetLength());
        EXPECT_TRUE(back == CKW_WideStringC(text->c_str(), static_cast<int>(text->size())));
    }
}

// The default map gives the same bytes whatever the process locale says.
class LocaleScope {
public:
    explicit LocaleScope(const char* ctype) : m_saved(std::setlocale(LC_CTYPE, nullptr)) { std::setlocale(LC_CTYPE, ctype); }
    ~LocaleScope() { std::setlocale(LC_CTYPE, m_saved.c_str()); }

private:
    std::string m_saved;
};

TEST(CharMap, DefaultMapIsLocaleIndependent)
{
    for (const char* locale : {"C", "C.UTF-8"}) {
        LocaleScope scope(locale);
        CKW_ByteString bytes = CKW_ByteString::FromUnicode(L"caf\u00E9 \U0001F600", -1);
        EXPECT_TRUE(bytes == "caf\xC3\xA9 \xF0\x9F\x98\x80") << locale;
        CKW_WideString back = CKW_WideString::FromLocal("caf\xC3\xA9", -1);
        EXPECT_TRUE(back == L"caf\u00E9") << locale;
        CKW_ByteString viaString;
        viaString.ConvertFrom(CKW_WideString(L"\u4E2D"), nullptr);
        EXPECT_TRUE(viaString == "\xE4\xB8\xAD") << locale;
    }
    EXPECT_TRUE(CKW_ByteString::FromUnicode(CKW_WideString()).IsEmpty());
    EXPECT_TRUE(CKW_ByteString::FromUnicode(nullptr, -1).IsEmpty());
}

TEST(CharMap, BuiltInMaps)
{
    EXPECT_EQ(CKW_CharMap::GetDefaultMapper(933), nullptr);
    EXPECT_EQ(CKW_CharMap::GetDefaultMapper(65001), nullptr);
    EXPECT_EQ(CKW_CharMap::GetDefaultMapper(-1), nullptr);
    ASSERT_NE(CKW_CharMap::GetDefaultMapper(0), nullptr);
    EXPECT_EQ(CKW_CharMap::GetDefaultMapper(0)->m_GetCodePage, nullptr);
    for (int cp : {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
        CKW_CharMap* map = CKW_CharMap::GetDefaultMapper(cp);
        ASSERT_NE(map, nullptr) << cp;
        EXPECT_EQ(map->m_GetCodePage(map), cp);
    }
    CKW_CharMap* cp1252 = CKW_CharMap::GetDefaultMapper(1252);
    CKW_WideString wide;
    wide.ConvertFrom(CKW_ByteString("\x80\x41", 2), cp1252);
    EXPECT_TRUE(wide == L"\u20AC" L"A");
    CKW_ByteString bytes;
    bytes.ConvertFrom(wide, cp1252);
    EXPECT_TRUE(bytes == "\x80\x41");
    bytes.ConvertFrom(CKW_WideString(L"\u3042!"), cp1252);
    EXPECT_TRUE(bytes == "?!");
    CKW_CharMap* cp936 = CKW_CharMap::GetDefaultMapper(936);
    bytes.ConvertFrom(CKW_WideString(L"a\u4E2D"), cp936);
    EXPECT_TRUE(bytes == "a\xD6\xD0");
    wide.ConvertFrom(bytes, cp936);
    EXPECT_TRUE(wide == L"a\u4E2D");
}

// Random text from every plane region: ASCII, Latin, CJK, and beyond the BMP.
std::wstring RandomText(std::mt19937& rng, int length)
{
    std::uniform_int_distribution<int> kind(0, 4);
    std::wstring s;
    for (int i = 0; i < length; ++i) {
        uint32_t c;
        switch (kind(rng)) {
        case 0: c = std::uniform_int_distribution<uint32_t>(0x01, 0x7F)(rng); break;
        case 1: c = std::uniform_int_distribution<uint32_t>(0x80, 0x7FF)(rng); break;
        case 2: c = std::uniform_int_distribution<uint32_t>(0x800, 0xD7FF)(rng); break;
        case 3: c = std::uniform_int_distribution<uint32_t>(0xE000, 0xFFFD)(rng); break;
        default: c = std::uniform_int_distribution<uint32_t>(0x10000, 0x10FFFF)(rng); break;
        }
        s.push_back(static_cast<wchar_t>(c));
    }
    return s;
}

TEST(Utf8RoundTrip, AgreesWithQString)
{
    std::mt19937 rng(20261210);
    for (int round = 0; round < 300; ++round) {
        std::wstring text = RandomText(rng, round % 97);
        CKW_WideString ours(text.c_str(), static_cast<int>(text.size()));
        QString qt = QString::fromUcs4(reinterpret_cast<const uint*>(text.data()), static_cast<int>(text.size()));

        CKW_ByteString utf8 = ours.UTF8Encode();
        QByteArray qtUtf8 = qt.toUtf8();
        ASSERT_EQ(QByteArray(utf8.c_str(), utf8.GetLength()), qtUtf8) << "round " << round;
        ASSERT_EQ(Encoded(text), qtUtf8.toStdString());

        CKW_WideString decoded = CKW_WideString::FromUTF8(qtUtf8.constData(), qtUtf8.size());
        ASSERT_TRUE(decoded == ours) << "round " << round;
        ASSERT_EQ(Decoded(qtUtf8.toStdString()), text);

        CKW_ByteString utf16 = ours.UTF16LE_Encode(false);
        QByteArray qtUtf16(reinterpret_cast<const char*>(qt.utf16()), qt.size() * 2);
        ASSERT_EQ(QByteArray(utf16.c_str(), utf16.GetLength()), qtUtf16);
        CKW_WideString fromUtf16 = CKW_WideString::FromUTF16LE(qt.utf16(), qt.size());
        ASSERT_TRUE(fromUtf16 == ours);
    }
}

} // namespace
