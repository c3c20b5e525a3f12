// Every built-in code page against the C library's iconv: every byte
// sequence of one character and every BMP code point, both directions, plus
// the code-page objects over the same tables. Encoding holds only iconv's
// round-trip mappings: its one-way "best fit" ones are not the page's.
#include "KW_CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok()) iconv_close(m_cd);
    }
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or false.
    bool Run(const void* data, size_t size, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* in = const_cast<char*>(static_cast<const char*>(data));
        size_t inLeft = size;
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        if (iconv(m_cd, &in, &inLeft, &o, &oLeft) == static_cast<size_t>(-1) || inLeft) return false;
        // Pages with combining marks hold the last character back until the end.
        if (iconv(m_cd, nullptr, nullptr, &o, &oLeft) == static_cast<size_t>(-1)) return false;
        out.assign(buffer, o);
        return true;
    }

private:
    iconv_t m_cd;
};

const unsigned short kPages[] = {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

// Ours: the sequence as exactly one character, or -1.
long DecodeOne(unsigned short cp, const unsigned char* bytes, int size)
{
    wchar_t out[4] = {};
    int srcLen = size, dstLen = 4;
    int r = KW_DecodeString(cp, reinterpret_cast<const char*>(bytes), &srcLen, out, &dstLen, true);
    if (r != 1 || srcLen != size || dstLen != 1) return -1;
    return static_cast<long>(out[0]);
}

class CodePageSweep : public ::testing::TestWithParam<unsigned short> {};

TEST_P(CodePageSweep, DecodesEverySequenceAsIconvDoes)
{
    const unsigned short cp = GetParam();
    const std::string name = "CP" + std::to_string(cp);
    Iconv ref("WCHAR_T", name.c_str());
    ASSERT_TRUE(ref.ok()) << name;
    IKW_CodePage* page = IKW_CodePage::Create(cp);
    ASSERT_NE(page, nullptr);

    auto refOne = [&](const unsigned char* bytes, int size) -> long {
        std::string out;
        if (!ref.Run(bytes, size, out) || out.size() != sizeof(wchar_t)) return -1;
        wchar_t w;
        std::memcpy(&w, out.data(), sizeof w);
        return static_cast<long>(w);
    };

    int mismatches = 0, characters = 0;
    for (int b = 0; b < 256; ++b) {
        unsigned char one[1] = {static_cast<unsigned char>(b)};
        long want = refOne(one, 1);
        long got = DecodeOne(cp, one, 1);
        if (want != got && ++mismatches < 10) ADD_FAILURE() << name << " byte " << std::hex << b << ": want " << want << " got " << got;
        long viaObject = page->GetUnicode(static_cast<unsigned short>(b));
        EXPECT_EQ(viaObject, want < 0 ? long(KW_CODEPAGE_INVALID) : want) << name << " GetUnicode " << std::hex << b;
        characters += want >= 0;
        if (!page->IsDoubleByte()) continue;
        for (int t = 0; t < 256; ++t) {
            unsigned char two[2] = {static_cast<unsigned char>(b), static_cast<unsigned char>(t)};
            long want2 = refOne(two, 2);
            long got2 = DecodeOne(cp, two, 2);
            if (want2 != got2 && ++mismatches < 10)
                ADD_FAILURE() << name << " bytes " << std::hex << b << " " << t << ": want " << want2 << " got " << got2;
            if (page->IsLeadByte(static_cast<unsigned char>(b))) {
                long viaObject2 = page->GetUnicode(static_cast<unsigned short>(b << 8 | t));
                EXPECT_EQ(viaObject2, want2 < 0 ? long(KW_CODEPAGE_INVALID) : want2);
                characters += want2 >= 0;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(characters, 200);
    page->Release();
}

TEST_P(CodePageSweep, EncodesEveryCodePointAsIconvDoesBothWays)
{
    const unsigned short cp = GetParam();
    const std::string name = "CP" + std::to_string(cp);
    Iconv ref(name.c_str(), "WCHAR_T");
    Iconv back("WCHAR_T", name.c_str());
    ASSERT_TRUE(ref.ok() && back.ok()) << name;
    IKW_CodePage* page = IKW_CodePage::Create(cp);
    ASSERT_NE(page, nullptr);

    std::vector<uint32_t> points;
    for (uint32_t c = 0; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) points.push_back(c);
    // Characters beyond the BMP whose low 16 bits are characters of every page.
    for (uint32_t c : {0x10041u, 0x1005Au, 0x120ACu, 0x1F600u, 0x10FFFFu, 0x7FFFFFFFu}) points.push_back(c);

    int mismatches = 0, mapped = 0;
    for (uint32_t c : points) {
        wchar_t w = static_cast<wchar_t>(c);
        std::string want;
        bool refOk = c <= 0xFFFF && ref.Run(&w, sizeof w, want);
        if (refOk) {
            // One code of this page: a byte, or a lead byte and a trail byte.
            unsigned char first = static_cast<unsigned char>(want[0]);
            refOk = (want.size() == 1 && !page->IsLeadByte(first)) || (want.size() == 2 && page->IsLeadByte(first));
            // ... that decodes back to the same code point.
            std::string decoded;
            refOk = refOk && back.Run(want.data(), want.size(), decoded) && decoded.size() == sizeof(wchar_t) &&
                    std::memcmp(decoded.data(), &w, sizeof w) == 0;
        }
        char out[4] = {};
        int srcLen = 1, dstLen = 4;
        int r = KW_EncodeString(cp, &w, &srcLen, out, &dstLen, true);
        std::string got = r == 1 && srcLen == 1 ? std::string(out, dstLen) : std::string();
        if (!refOk) want.clear();
        if (want != got && ++mismatches < 10)
            ADD_FAILURE() << name << " U+" << std::hex << c << ": want " << want.size() << " bytes, got " << got.size();
        unsigned code = page->GetCharcode(w) & 0xFFFF;
        bool objectValid = page->IsValidUnicode(w);
        EXPECT_EQ(objectValid, refOk) << name << " U+" << std::hex << c;
        if (refOk) {
            unsigned expected = want.size() == 1 ? static_cast<unsigned char>(want[0])
                                                 : (static_cast<unsigned char>(want[0]) << 8 | static_cast<unsigned char>(want[1]));
            EXPECT_EQ(code, expected);
            ++mapped;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(mapped, 200);
    page->Release();
}

INSTANTIATE_TEST_SUITE_P(AllPages, CodePageSweep, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<unsigned short>& info) { return "CP" + std::to_string(info.param); });

// ---- Converter rules over whole runs ----

std::wstring Decode(unsigned short cp, const std::string& bytes, bool strict, int* result = nullptr, int* consumed = nullptr)
{
    std::vector<wchar_t> out(bytes.size() + 1);
    int srcLen = static_cast<int>(bytes.size()), dstLen = static_cast<int>(out.size());
    int r = KW_DecodeString(cp, bytes.data(), &srcLen, out.data(), &dstLen, strict);
    if (result) *result = r;
    if (consumed) *consumed = srcLen;
    return std::wstring(out.data(), dstLen);
}

std::string Encode(unsigned short cp, const std::wstring& text, bool strict, int* result = nullptr, int* consumed = nullptr)
{
    std::vector<char> out(text.size() * 4 + 1);
    int srcLen = static_cast<int>(text.size()), dstLen = static_cast<int>(out.size());
    int r = KW_EncodeString(cp, text.data(), &srcLen, out.data(), &dstLen, strict);
    if (result) *result = r;
    if (consumed) *consumed = srcLen;
    return std::string(out.data(), dstLen);
}

TEST(CodePageConvert, KnownCharacters)
{
    EXPECT_EQ(Decode(1252, "\x80\x41", true), L"\u20AC" L"A");
    EXPECT_EQ(Encode(1252, L"\u20AC" L"A", true), "\x80\x41");
    EXPECT_EQ(Decode(932, "\x82\xA0", true), L"\u3042");
    EXPECT_EQ(Encode(936, L"\u4E2D", true), "\xD6\xD0");   // high byte first
}

TEST(CodePageConvert, LoneLeadByteAtTheEndIsNotCounted)
{
    int result = 0, consumed = 0;
    EXPECT_EQ(Decode(932, "ab\x82", true, &result, &consumed), L"ab");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(consumed, 2);
}

TEST(CodePageConvert, InvalidCharacterStrictStopsLenientSubstitutes)
{
    int result = 0, consumed = 0;
    EXPECT_EQ(Encode(1252, L"x\u3042y", false, &result), "x?y");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Encode(1252, L"x\u3042y", true, &result, &consumed), "x");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(consumed, 1);
    EXPECT_EQ(Decode(1252, "a\x81" "b", false, &result), L"a?b");
    EXPECT_EQ(Decode(1252, "a\x81" "b", true, &result, &consumed), L"a");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(consumed, 1);
}

TEST(CodePageConvert, CountsWithoutDestinationAndStopsWhenFull)
{
    std::wstring text = L"\u4E2Dab\u4E2D";
    int srcLen = static_cast<int>(text.size()), dstLen = 0;
    ASSERT_EQ(KW_EncodeString(936, text.data(), &srcLen, nullptr, &dstLen, true), 1);
    EXPECT_EQ(dstLen, 6);
    char out[3];
    srcLen = static_cast<int>(text.size());
    dstLen = 3;   // room for the first character and 'a' only
    ASSERT_EQ(KW_EncodeString(936, text.data(), &srcLen, out, &dstLen, true), 1);
    EXPECT_EQ(srcLen, 2);
    EXPECT_EQ(dstLen, 3);
    srcLen = static_cast<int>(text.size());
    dstLen = 5;   // the last two-byte character does not fit
    char out5[5];
    ASSERT_EQ(KW_EncodeString(936, text.data(), &srcLen, out5, &dstLen, true), 1);
    EXPECT_EQ(srcLen, 3);
    EXPECT_EQ(dstLen, 4);

    wchar_t wide[2];
    srcLen = 4;
    dstLen = 2;
    ASSERT_EQ(KW_DecodeString(1252, "abcd", &srcLen, wide, &dstLen, true), 1);
    EXPECT_EQ(srcLen, 2);
    EXPECT_EQ(dstLen, 2);
}

TEST(CodePageConvert, BadArgumentsAndUnknownPages)
{
    int srcLen = 3, dstLen = 3;
    wchar_t out[3];
    EXPECT_EQ(KW_DecodeString(1252, "abc", nullptr, out, &dstLen, true), -1);
    EXPECT_EQ(KW_DecodeString(437, "abc", &srcLen, out, &dstLen, true), -1);
    EXPECT_EQ(srcLen, 0);
    EXPECT_EQ(dstLen, 0);
    srcLen = 0;
    dstLen = 3;
    EXPECT_EQ(KW_DecodeString(437, "abc", &srcLen, out, &dstLen, true), 1);   // nothing to do
    EXPECT_EQ(KW_GetCodePage(437), nullptr);
    EXPECT_NE(KW_GetCodePage(1258), nullptr);
}

TEST(CodePageConvert, Utf16FormsKeepCharactersAboveTheBmp)
{
    const std::wstring text = L"A\u00E9\U0001F600";
    int result = 0;
    std::string le = Encode(1200, text, true, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(le, std::string("A\0\xE9\0\x3D\xD8\x00\xDE", 8));
    std::string be = Encode(1201, text, true);
    EXPECT_EQ(be, std::string("\0A\0\xE9\xD8\x3D\xDE\x00", 8));
    EXPECT_EQ(Decode(1200, le, true), text);
    EXPECT_EQ(Decode(1201, be, true), text);
    // A lone low surrogate is invalid; an odd last byte is not counted.
    int consumed = 0;
    EXPECT_EQ(Decode(1200, std::string("A\0\x00\xDC", 4), true, &result, &consumed), L"A");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Decode(1200, std::string("A\0\x00\xDC", 4), false), L"A?");
    EXPECT_EQ(Decode(1200, std::string("A\0B", 3), true, &result, &consumed), L"A");
    EXPECT_EQ(consumed, 2);
}

TEST(CodePageConvert, Utf8Page)
{
    EXPECT_EQ(Decode(65001, "a\xC3\xA9", true), L"a\u00E9");
    EXPECT_EQ(Encode(65001, L"a\U0001F600", true), "a\xF0\x9F\x98\x80");
}

// ---- Objects and lookups ----

TEST(CodePageObjects, ManagerAndHeaders)
{
    IKW_CodePageMgr* mgr = IKW_CodePageMgr::Create();
    ASSERT_NE(mgr, nullptr);
    // The default page is one the manager makes, and it is the Western one.
    EXPECT_TRUE(mgr->IsValidCodePage(mgr->GetDefaultCodePage()));
    IKW_CodePage* western = mgr->CreateCodePage(mgr->GetDefaultCodePage());
    ASSERT_NE(western, nullptr);
    EXPECT_EQ(western->GetUnicode(0x80), 0x20AC);
    EXPECT_EQ(western->GetCharcode(0x00E9), 0xE9u);
    EXPECT_FALSE(western->IsDoubleByte());
    western->Release();
    EXPECT_FALSE(mgr->IsValidCodePage(1200));
    EXPECT_TRUE(mgr->IsValidCodePage(949));
    EXPECT_EQ(mgr->CreateCodePage(65001), nullptr);
    IKW_CodePage* page = mgr->CreateCodePage(932);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetCodePageNumber(), 932);
    EXPECT_TRUE(page->IsDoubleByte());
    EXPECT_EQ(page->GetMaxCharBytes(), 2);
    EXPECT_EQ(page->GetCharWidthClass(), 2);
    EXPECT_TRUE(page->IsLeadByte(0x82));
    EXPECT_FALSE(page->IsLeadByte('A'));
    EXPECT_EQ(page->GetDefaultUnicode(), 0x3Fu);
    EXPECT_EQ(page->GetCharcode(L'\u3042'), 0x82A0u);
    EXPECT_EQ(page->GetCharcode(L'\u0E01'), 0xFFFFu);   // Thai: no range
    EXPECT_FALSE(page->IsValidCharcode(0x82));                              // a lead byte alone
    page->Release();
    mgr->Release();
    EXPECT_EQ(IKW_CodePage::Create(1201), nullptr);
}

TEST(CodePageLookups, CharsetsAndNames)
{
    EXPECT_EQ(KW_GetCodePageFromCharset(128), 932);
    EXPECT_EQ(KW_GetCodePageFromCharset(255), 850);
    EXPECT_EQ(KW_GetCodePageFromCharset(3), 0xFFFF);
    EXPECT_EQ(KW_GetCharsetFromCodePage(1252), 0);
    EXPECT_EQ(KW_GetCharsetFromCodePage(874), 222);
    EXPECT_EQ(KW_GetCharsetFromCodePage(1200), 0xFFFF);

    EXPECT_EQ(KW_GetCodePageFromStringA("", 0), 0xFFFF);
    EXPECT_EQ(KW_GetCodePageFromStringA("Shift_JIS", -1), 932);
    EXPECT_EQ(KW_GetCodePageFromStringA("SHIFT_JIS", -1), 932);
    EXPECT_EQ(KW_GetCodePageFromStringA("utf-8xx", 5), 65001);
    EXPECT_EQ(KW_GetCodePageFromStringA("windows-1251", -1), 1251);
    EXPECT_EQ(KW_GetCodePageFromStringA("no-such-charset", -1), 0xFFFF);
    EXPECT_EQ(KW_GetCodePageFormStringW(L"GB2312", -1), 936);
    EXPECT_EQ(KW_GetCodePageFormStringW(L"", -1), 0xFFFF);
}

// The name table covers every family with its common spellings, in any
// letter case, through both lookups.
TEST(CodePageLookups, NamesOfEveryFamily)
{
    struct Row {
        const char* name;
        unsigned short codePage;
    } rows[] = {
        {"Windows-1250", 1250}, {"CP1251", 1251},      {"csWindows1258", 1258}, {"x-cp1253", 1253},
        {"ISO-8859-1", 1252},   {"Latin-1", 1252},     {"ISO8859_1", 1252},     {"x-ansi", 1252},
        {"ISO-8859-2", 28592},  {"iso-ir-144", 28595}, {"ISO_8859-7", 28597},   {"ISO-8859-8-I", 38598},
        {"ISO-8859-15", 28605}, {"IBM037", 37},        {"EBCDIC-CP-BE", 500},   {"IBM273", 20273},
        {"macintosh", 10000},   {"x-mac-cyrillic", 10007}, {"KOI8-R", 20866},  {"KOI8-U", 21866},
        {"EUC-JP", 51932},      {"EUC-KR", 51949},     {"EUC-CN", 936},         {"ISO-2022-JP", 50220},
        {"ISO-2022-KR", 50225}, {"HZ-GB-2312", 52936}, {"UTF-7", 65000},        {"unicode-2-0-utf-7", 65000},
        {"UTF-8", 65001},       {"csUTF8", 65001},     {"UTF-16", 1200},        {"UTF-16BE", 1201},
        {"Shift_JIS", 932},     {"GBK", 936},          {"KS_C_5601-1987", 949}, {"Big5", 950},
        {"TIS-620", 874},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(KW_GetCodePageFromStringA(row.name, -1), row.codePage);
        const std::string name(row.name);
        const std::wstring wide(name.begin(), name.end());
        EXPECT_EQ(KW_GetCodePageFormStringW(wide.c_str(), -1), row.codePage);
    }
}

// 255 names, sorted for the binary search; the Western page answers for 21
// of them and the Simplified Chinese one for 12.
TEST(CodePageLookups, NameTableShape)
{
    ASSERT_EQ(g_KW_CharsetNameCount, 255);
    int western = 0, chinese = 0;
    for (int i = 0; i < g_KW_CharsetNameCount; ++i) {
        if (i > 0) {
            EXPECT_LT(g_KW_CharsetNames[i - 1].hash, g_KW_CharsetNames[i].hash) << i;
        }
        western += g_KW_CharsetNames[i].codePage == 1252;
        chinese += g_KW_CharsetNames[i].codePage == 936;
    }
    EXPECT_EQ(western, 21);
    EXPECT_EQ(chinese, 12);
}

} // namespace
