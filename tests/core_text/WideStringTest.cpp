// The wide string: sharing and copy-on-write, growth, editing, comparison,
// numbers and encodings.
#include "CKW_WideString.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::wstring S(const CKW_WideString& s) { return std::wstring(s.c_str(), s.GetLength()); }

TEST(WideString, ConstructionEdges)
{
    EXPECT_EQ(CKW_WideString(L'\0').GetLength(), 1);
    CKW_WideString s;
    s.InitStr(nullptr, -1);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(CKW_WideString(L"abc", 0).IsEmpty());
    EXPECT_TRUE(CKW_WideString(L"abc", -5).GetLength() == 3);
    EXPECT_EQ(S(CKW_WideString(CKW_WideStringC(L"ab"), CKW_WideStringC(L"cd"))), L"abcd");
    EXPECT_EQ(S(CKW_WideString(L"a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(WideString, CopiesShareUntilWritten)
{
    CKW_WideString a(L"hello");
    CKW_WideString b(a);
    EXPECT_EQ(a.c_str(), b.c_str());
    b.SetAt(0, L'j');
    EXPECT_EQ(S(a), L"hello");
    EXPECT_EQ(S(b), L"jello");
    // Assigning empty to a sharer leaves the other untouched.
    CKW_WideString c(a);
    c = L"";
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(S(a), L"hello");
    c = a;
    c = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(S(a), L"hello");
}

TEST(WideString, LockedBufferIsCopiedNotShared)
{
    CKW_WideString a(L"abc");
    wchar_t* p = a.LockBuffer();
    ASSERT_NE(p, nullptr);
    CKW_WideString copy(a);
    CKW_WideString assigned;
    assigned = a;
    p[0] = L'X';
    EXPECT_EQ(S(a), L"Xbc");
    EXPECT_EQ(S(copy), L"abc");
    EXPECT_EQ(S(assigned), L"abc");
}

TEST(WideString, AppendGrowthSequence)
{
    CKW_WideString s;
    std::vector<int> capacities;
    for (int i = 0; i < 7; ++i) {
        s += L'x';
        capacities.push_back(s.GetAllocLength());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 3, 3, 4, 6, 6, 9}));
    for (int i = 0; i < 3; ++i) s += L'x';
    EXPECT_EQ(s.GetAllocLength(), 13);
    EXPECT_EQ(s.GetLength(), 10);
}

TEST(WideString, AppendToSharedOrSelf)
{
    CKW_WideString a(L"ab");
    CKW_WideString b(a);
    b += L"cd";
    EXPECT_EQ(S(a), L"ab");
    EXPECT_EQ(S(b), L"abcd");
    b += b;
    EXPECT_EQ(S(b), L"abcdabcd");
    b += CKW_WideStringC(b.c_str() + 1, 2);   // a view into the string itself
    EXPECT_EQ(S(b), L"abcdabcdbc");
    b += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(b.GetLength(), 10);
}

TEST(WideString, RefusedSizesLeaveTheStringUnchanged)
{
    CKW_WideString s(L"abc");
    s.ConcatInPlace(-1, L"x");
    s.ConcatInPlace(INT_MAX, L"x");   // far past the largest string: refused before allocating
    EXPECT_EQ(S(s), L"abc");
    EXPECT_EQ(s.GetBuffer(-5), s.c_str());
    EXPECT_EQ(s.Delete(1, -3), 3);
    EXPECT_EQ(S(s), L"abc");
    CKW_WideString shared(s);
    s.Reserve(-1);
    EXPECT_EQ(s.c_str(), shared.c_str());
}

struct DeleteCase {
    const wchar_t* text;
    int index, count;
    const wchar_t* result;
    int returned;
};

TEST(WideString, DeleteTable)
{
    const DeleteCase cases[] = {
        {L"abcdef", 2, 100, L"ab", 2}, {L"abcdef", 2, 2, L"abef", 4},  {L"abcdef", -3, 1, L"bcdef", 5},
        {L"abcdef", 6, 1, L"abcdef", 6}, {L"abcdef", 0, 0, L"abcdef", 6}, {L"", 0, 1, L"", 0},
        {L"abcdef", 1, INT_MAX, L"a", 1},
    };
    for (const DeleteCase& c : cases) {
        CKW_WideString s(c.text);
        CKW_WideString sharer(s);
        EXPECT_EQ(s.Delete(c.index, c.count), c.returned) << c.text << " " << c.index << " " << c.count;
        EXPECT_EQ(S(s), c.result);
        EXPECT_EQ(S(sharer), c.text);
    }
}

struct ReplaceCase {
    const wchar_t* text;
    const wchar_t* oldText;
    const wchar_t* newText;
    const wchar_t* result;
    int count;
};

TEST(WideString, ReplaceTable)
{
    const ReplaceCase cases[] = {
        {L"xabyab", L"ab", nullptr, L"xy", 2},
        {L"aaaa", L"aa", L"b", L"bb", 2},
        {L"aaa", L"aa", L"b", L"ba", 1},
        {L"abc", L"b", L"XYZ", L"aXYZc", 1},
        {L"bbb", L"b", L"bb", L"bbbbbb", 3},
        {L"abc", L"z", L"y", L"abc", 0},
        {L"abc", L"", L"y", L"abc", 0},
        {L"abc", nullptr, L"y", L"abc", 0},
        {L"ab", L"abc", L"y", L"ab", 0},
        {L"abab", L"ab", L"", L"", 2},
        {L"\U0001F600-\U0001F600", L"\U0001F600", L"\u00E9", L"\u00E9-\u00E9", 2},
    };
    for (const ReplaceCase& c : cases) {
        CKW_WideString s(c.text);
        CKW_WideString sharer(s);
        EXPECT_EQ(s.Replace(c.oldText, c.newText), c.count) << c.text;
        EXPECT_EQ(S(s), c.result) << c.text;
        EXPECT_EQ(S(sharer), c.text);
    }
    // In place with spare capacity, growing and shrinking.
    CKW_WideString s(L"a-b-c");
    s.Reserve(64);
    EXPECT_EQ(s.Replace(L"-", L"--"), 2);
    EXPECT_EQ(S(s), L"a--b--c");
    EXPECT_EQ(s.GetAllocLength(), 64);
    EXPECT_EQ(s.Replace(L"--", L"+"), 2);
    EXPECT_EQ(S(s), L"a+b+c");
    // Texts taken from the string itself.
    CKW_WideString t(L"abab");
    EXPECT_EQ(t.Replace(t.c_str() + 2, t.c_str()), 2);
    EXPECT_EQ(S(t), L"abababab");
}

TEST(WideString, SubstringsAndSearch)
{
    CKW_WideString s(L"hello world");
    EXPECT_EQ(S(s.Mid(6)), L"world");
    EXPECT_EQ(S(s.Mid(-2, 5)), L"hello");
    EXPECT_EQ(s.Mid(0, 100).c_str(), s.c_str());   // the whole string is shared
    EXPECT_TRUE(s.Mid(20, 3).IsEmpty());
    EXPECT_EQ(S(s.Mid(6, INT_MAX)), L"world");
    EXPECT_EQ(S(s.Left(5)), L"hello");
    EXPECT_EQ(S(s.Right(5)), L"world");
    EXPECT_TRUE(s.Left(-1).IsEmpty());
    EXPECT_EQ(s.Find(L'o'), 4);
    EXPECT_EQ(s.Find(L'o', 5), 7);
    EXPECT_EQ(s.Find(L'o', 11), -1);
    EXPECT_EQ(s.Find(L"wor"), 6);
    EXPECT_EQ(s.Find(L""), 0);
    EXPECT_EQ(s.Find(L"", 3), 3);
    EXPECT_EQ(s.Find(L"xyz"), -1);
    EXPECT_EQ(s.ReverseFind(L'o'), 7);
    EXPECT_EQ(CKW_WideString().Find(L'a'), -1);
}

TEST(WideString, InsertRemoveTrimCase)
{
    CKW_WideString s(L"ace");
    EXPECT_EQ(s.Insert(1, L'b'), 4);
    EXPECT_EQ(s.Insert(100, L'f'), 5);
    EXPECT_EQ(s.Insert(-4, L'_'), 6);
    EXPECT_EQ(S(s), L"_abcef");
    EXPECT_EQ(s.Remove(L'_'), 1);
    EXPECT_EQ(S(s), L"abcef");
    CKW_WideString e;
    EXPECT_EQ(e.Insert(3, L'z'), 1);

    CKW_WideString t(L"\t x \r\n");
    t.TrimRight();
    EXPECT_EQ(S(t), L"\t x");
    t.TrimLeft();
    EXPECT_EQ(S(t), L"x");
    CKW_WideString blanks(L"   ");
    blanks.TrimRight();
    EXPECT_EQ(blanks.GetLength(), 0);
    EXPECT_TRUE(blanks == L"");
    CKW_WideString xs(L"xxabxx");
    xs.TrimLeft(L'x');
    xs.TrimRight(L"bx");
    EXPECT_EQ(S(xs), L"a");

    CKW_WideString mixed(L"MiXeD \u00C4");
    mixed.MakeLower();
    EXPECT_EQ(S(mixed), L"mixed \u00C4");   // ASCII letters only
    mixed.MakeUpper();
    EXPECT_EQ(S(mixed), L"MIXED \u00C4");
}

TEST(WideString, Comparison)
{
    CKW_WideString abc(L"abc"), abd(L"abd"), ab(L"ab"), empty, trimmed(L"  ");
    trimmed.TrimRight();
    EXPECT_TRUE(abc == L"abc");
    EXPECT_TRUE(L"abc" == abc);
    EXPECT_TRUE(abc == CKW_WideStringC(L"abc"));
    EXPECT_TRUE(abc != abd);
    EXPECT_TRUE(empty == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(empty == trimmed);
    EXPECT_TRUE(abc < abd);
    EXPECT_TRUE(ab < abc);
    EXPECT_TRUE(empty < ab);
    EXPECT_FALSE(empty < trimmed);
    EXPECT_EQ(abc.Compare(abd), -1);
    EXPECT_EQ(abd.Compare(abc), 1);
    EXPECT_EQ(empty.Compare(trimmed), 0);
    EXPECT_EQ(empty.Compare(L""), 0);
    EXPECT_EQ(empty.Compare(static_cast<const wchar_t*>(nullptr)), 0);
    EXPECT_EQ(empty.Compare(L"a"), -1);
    EXPECT_EQ(abc.Compare(L"abc"), 0);
    EXPECT_EQ(abc.Compare(L"abb"), 1);
    EXPECT_EQ(abc.CompareNoCase(L"ABC"), 0);
    EXPECT_NE(abc.CompareNoCase(L"ABD"), 0);
    EXPECT_EQ(empty.CompareNoCase(L"x"), -1);
    // Characters compare as signed values.
    CKW_WideString high(static_cast<wchar_t>(-1));
    EXPECT_TRUE(high < abc);
}

TEST(WideString, ReserveAndBuffers)
{
    CKW_WideString e;
    e.Reserve(10);
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(e.GetAllocLength(), 10);   // the empty block is kept
    CKW_WideString s(L"abc");
    CKW_WideString sharer(s);
    s.Reserve(100);
    EXPECT_EQ(S(s), L"abc");
    EXPECT_GE(s.GetAllocLength(), 100);
    EXPECT_EQ(S(sharer), L"abc");

    CKW_WideString b;
    EXPECT_EQ(b.GetBuffer(0), nullptr);
    wchar_t* p = b.GetBuffer(8);
    wcscpy(p, L"xyz");
    b.ReleaseBuffer();
    EXPECT_EQ(S(b), L"xyz");
    p = b.GetBuffer(2);
    p[1] = L'Y';
    b.ReleaseBuffer(2);
    EXPECT_EQ(S(b), L"xY");
    b.ReleaseBuffer(0);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(WideString, Numbers)
{
    struct Case {
        const wchar_t* text;
        float value;
    } cases[] = {
        {L"-12.5", -12.5f}, {L"1.5e3", 1.5f}, {L"+", 0.0f},       {L"", 0.0f},        {L"42", 42.0f},
        {L"3.25abc", 3.25f}, {L"12x34", 12.0f}, {L".5", 0.5f},   {L"-0.125", -0.125f}, {L"x1", 0.0f},
        {L"0.1234567890123456789012345", 0.12345679f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(CKW_WideString(c.text).GetFloat(), c.value) << c.text;
        EXPECT_FLOAT_EQ(KW_wtof(c.text, -1), c.value) << c.text;
    }
    // A digit run far past any integer neither wraps nor traps.
    std::wstring longRun(400, L'9');
    EXPECT_TRUE(std::isinf(CKW_WideString(longRun.c_str()).GetFloat()));
    std::wstring big = L"123456789012345678901234567890";
    EXPECT_FLOAT_EQ(CKW_WideString(big.c_str()).GetFloat(), 1.2345679e29f);
    EXPECT_FLOAT_EQ(KW_wtof(L"2.5e3", 2), 2.0f);   // the length bounds the text

    EXPECT_EQ(CKW_WideString(L"-17abc").GetInteger(), -17);
    EXPECT_EQ(CKW_WideString().GetInteger(), 0);

    CKW_WideStringL l;
    l.Set(CKW_WideStringC(L"6.75 "), nullptr);
    EXPECT_FLOAT_EQ(l.GetFloat(), 6.75f);
    EXPECT_EQ(l.GetInteger(), 6);
    l.Empty(nullptr);
}

// Each row runs one Format on a string holding "previous" with LC_CTYPE set to
// the row's locale; a format that fails leaves "previous" in place.
struct FormatCase {
    const char* name;
    const char* ctype;
    std::function<void(CKW_WideString&)> op;
    std::wstring expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name << " (LC_CTYPE " << c.ctype << ")"; }

class CtypeScope {
public:
    explicit CtypeScope(const char* ctype) : m_saved(std::setlocale(LC_CTYPE, nullptr)) { std::setlocale(LC_CTYPE, ctype); }
    ~CtypeScope() { std::setlocale(LC_CTYPE, m_saved.c_str()); }

private:
    std::string m_saved;
};

class WideStringFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WideStringFormat, Table)
{
    const FormatCase& c = GetParam();
    CtypeScope scope(c.ctype);
    CKW_WideString s(L"previous");
    c.op(s);
    EXPECT_EQ(S(s), c.expected);
}

const FormatCase kFormatCases[] = {
    {"plain", "C.UTF-8", [](CKW_WideString& s) { s.Format(L"%d-%ls-%s-%.2f", 42, L"w\u00E9", "n", 2.5); },
     L"42-w\u00E9-n-2.50"},
    {"bad_width", "C", [](CKW_WideString& s) { s.Format(L"%5000000d", 1); }, L"Bad width"},
    {"bad_precision", "C", [](CKW_WideString& s) { s.Format(L"%.999999f", 1.0); }, L"Bad precision"},
    {"pointer_precision", "C", [](CKW_WideString& s) { s.Format(L"[%.40p]", reinterpret_cast<void*>(0x1234)); },
     L"[0x0000000000000000000000000000000000001234]"},
    {"star_widths", "C", [](CKW_WideString& s) { s.Format(L"%*d|%-*d|", 4, 7, 3, 8); }, L"   7|8  |"},
    {"long_output", "C", [](CKW_WideString& s) { s.Format(L"<%ls>", std::wstring(5000, L'q').c_str()); },
     L"<" + std::wstring(5000, L'q') + L">"},
    {"empty_result", "C", [](CKW_WideString& s) { s.Format(L"%s", ""); }, L""},
    {"percent", "C", [](CKW_WideString& s) { s.Format(L"100%%"); }, L"100%"},
    {"utf8_bytes_converted", "C.UTF-8", [](CKW_WideString& s) { s.Format(L"[%s]", "caf\xC3\xA9"); }, L"[caf\u00E9]"},
    {"unconvertible_byte_under_C", "C", [](CKW_WideString& s) { s.Format(L"%s", "\xFF"); }, L"previous"},
    {"invalid_utf8_bytes", "C.UTF-8", [](CKW_WideString& s) { s.Format(L"a%sb", "\xC3\x28"); }, L"previous"},
    {"invalid_utf8_after_long_text", "C.UTF-8",
     [](CKW_WideString& s) { s.Format(L"%ls%s", std::wstring(3000, L'x').c_str(), "\xFF"); }, L"previous"},
    {"n_with_null_pointer", "C", [](CKW_WideString& s) { s.Format(L"a%nb", static_cast<int*>(nullptr)); }, L"ab"},
    {"n_is_not_written", "C",
     [](CKW_WideString& s) {
         int n = -1;
         s.Format(L"a%nb%d", &n, 5);
         if (n != -1) s += L"!";
     },
     L"ab5"},
    {"n_with_star_width", "C", [](CKW_WideString& s) { s.Format(L"a%*nb%d", 7, static_cast<int*>(nullptr), 5); },
     L"ab5"},
    {"I64_prefix", "C", [](CKW_WideString& s) { s.Format(L"%I64d|%d", 1LL << 40, 7); }, L"1099511627776|7"},
    {"I64_unsigned", "C", [](CKW_WideString& s) { s.Format(L"%I64u|%I64x", 1ULL << 63, 255ULL); },
     L"9223372036854775808|ff"},
    {"hs_byte_strings", "C", [](CKW_WideString& s) { s.Format(L"%hs|%hS|%s", "b", "c", "d"); }, L"b|c|d"},
    {"S_wide_strings", "C", [](CKW_WideString& s) { s.Format(L"%S|%lS|%ls", L"w\u00E9", L"v", L"u"); },
     L"w\u00E9|v|u"},
    {"C_wide_character", "C", [](CKW_WideString& s) { s.Format(L"%C%c%hC", L'\u00E9', 'x', 'y'); }, L"\u00E9xy"},
    {"star_after_dialect", "C", [](CKW_WideString& s) { s.Format(L"%I64d[%*d]", 1LL << 33, 4, 9); },
     L"8589934592[   9]"},
};

INSTANTIATE_TEST_SUITE_P(Rows, WideStringFormat, ::testing::ValuesIn(kFormatCases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

// A byte string the locale cannot convert fails at once: the call asks for no
// buffer beyond what the format can produce. Run under a data limit in a
// child process, where growing a buffer toward a gigabyte cannot succeed.
TEST(WideStringFormatLimits, UnconvertibleTextFailsWithoutGrowing)
{
    EXPECT_EXIT(
        {
            std::ifstream status("/proc/self/status");
            std::string line;
            unsigned long long dataKiB = 0;
            while (std::getline(status, line))
                if (line.rfind("VmData:", 0) == 0) dataKiB = std::stoull(line.substr(7));
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(dataKiB * 1024 + (64u << 20));
            setrlimit(RLIMIT_DATA, &limit);
            CtypeScope scope("C");
            CKW_WideString s(L"previous");
            for (int i = 0; i < 4; ++i) s.Format(L"%ls%s", L"text", "\xFF");
            std::_Exit(s == L"previous" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(WideString, Utf16Encodings)
{
    CKW_ByteString a = CKW_WideString(L"A").UTF16LE_Encode(true);
    EXPECT_EQ(std::string(a.c_str(), a.GetLength()), std::string("A\0\0\0", 4));
    CKW_ByteString emoji = CKW_WideString(L"\U0001F600").UTF16LE_Encode(false);
    EXPECT_EQ(std::string(emoji.c_str(), emoji.GetLength()), std::string("\x3D\xD8\x00\xDE", 4));
    CKW_ByteString empty = CKW_WideString().UTF16LE_Encode(true);
    EXPECT_EQ(empty.GetLength(), 2);
    EXPECT_TRUE(CKW_WideString().UTF16LE_Encode(false).IsEmpty());

    const unsigned short pair[] = {0xD83D, 0xDE00, 0};
    EXPECT_EQ(S(CKW_WideString::FromUTF16LE(pair, -1)), L"\U0001F600");
    const unsigned short lone[] = {0x41, 0xDE00};
    EXPECT_EQ(S(CKW_WideString::FromUTF16LE(lone, 2)), std::wstring(L"A") + static_cast<wchar_t>(0xDE00));
    const unsigned short bigEndian[] = {0x3DD8, 0x00DE, 0x4100, 0};
    EXPECT_EQ(S(CKW_WideString::FromUTF16BE(bigEndian, -1)), L"\U0001F600" L"A");
    EXPECT_EQ(CKW_WideString::WStringLength(bigEndian), 3);
    EXPECT_EQ(CKW_WideString::WStringLength(nullptr), 0);
    EXPECT_TRUE(CKW_WideString::FromUTF16LE(nullptr, 3).IsEmpty());
}

TEST(WideString, Utf8Encodings)
{
    CKW_WideString s = CKW_WideString::FromUTF8("a\xC3\xA9\xF0\x9F\x98\x80", -1);
    EXPECT_EQ(S(s), L"a\u00E9\U0001F600");
    CKW_ByteString back = s.UTF8Encode();
    EXPECT_EQ(std::string(back.c_str(), back.GetLength()), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_TRUE(CKW_WideString::FromUTF8("\xA9\xFE", 2).IsEmpty());
    EXPECT_TRUE(CKW_WideString::FromUTF8(nullptr, 4).IsEmpty());
    EXPECT_EQ(S(CKW_WideString::FromUTF8("\xC0\x80", 2)), std::wstring(1, static_cast<wchar_t>(0xFFFD)));
}

TEST(WideStringL, SetTrimEmpty)
{
    CKW_WideStringL l;
    l.Set(CKW_WideStringC(L"value  \t"), nullptr);
    l.TrimRight(L" \t");
    EXPECT_EQ(std::wstring(l.c_str()), L"value");
    EXPECT_EQ(l.GetLength(), 5);
    l.TrimRight(L"aeluv");
    EXPECT_EQ(l.GetLength(), 0);
    EXPECT_EQ(l.c_str()[0], 0);
    l.Set(CKW_WideStringC(), nullptr);
    EXPECT_EQ(l.m_Ptr, nullptr);
    l.Empty(nullptr);
}

} // namespace
