// Character, number and memory primitives.
#include "CKW_ByteString.h"
#include "KW_Primitives.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

TEST(Primitives, TextToInteger)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {{" 12", 0}, {"-12abc", -12}, {"+", 0}, {"+7", 7}, {"", 0}, {"4294967297", 1}, {"-2147483648", INT_MIN}};
    for (const Case& c : cases)
        EXPECT_EQ(KWSYS_atoi(c.text), c.value) << c.text;
    EXPECT_EQ(KWSYS_atoi(nullptr), 0);
    EXPECT_EQ(KWSYS_atoi64("-9000000000"), -9000000000LL);
    EXPECT_EQ(KWSYS_wtoi(L"-42x"), -42);
    EXPECT_EQ(KWSYS_wtoi64(L"12345678901"), 12345678901LL);
}

TEST(Primitives, IntegerToText)
{
    char buffer[24];
    EXPECT_STREQ(KWSYS_itoa(255, buffer, 16), "255");
    EXPECT_STREQ(KWSYS_itoa(INT_MIN, buffer, 10), "-2147483648");
    EXPECT_STREQ(KWSYS_itoa(0, buffer, 10), "0");
    EXPECT_STREQ(KWSYS_i64toa(LLONG_MIN, buffer, 10), "-9223372036854775808");
    wchar_t wide[24];
    EXPECT_EQ(std::wstring(KWSYS_i64tow(-7, wide, 10)), L"-7");
}

TEST(Primitives, AsciiCase)
{
    char text[] = "AbC\xC4z";
    EXPECT_STREQ(KWSYS_strlwr(text), "abc\xC4z");
    EXPECT_STREQ(KWSYS_strupr(text), "ABC\xC4Z");
    EXPECT_EQ(KWSYS_strlwr(nullptr), nullptr);
    wchar_t wide[] = L"AbC\u00C4";
    EXPECT_EQ(std::wstring(KWSYS_wcslwr(wide)), L"abc\u00C4");
    EXPECT_LT(KWSYS_stricmp("ABC", "abd"), 0);
    EXPECT_EQ(KWSYS_stricmp("ABC", "abc"), 0);
    EXPECT_GT(KWSYS_stricmp("abc", "AB"), 0);
    EXPECT_EQ(KWSYS_wcsicmp(L"Hello", L"hELLO"), 0);
    // n-character compares stop where both texts end, and at a difference.
    EXPECT_EQ(KWSYS_strnicmp("ab", "AB", 10), 0);
    EXPECT_LT(KWSYS_strnicmp("ab", "ABc", 10), 0);
    EXPECT_EQ(KWSYS_strnicmp("abX", "ABY", 2), 0);
    EXPECT_EQ(KWSYS_strnicmp("x", "y", 0), 0);
    EXPECT_EQ(KWSYS_wcsnicmp(L"ab", L"AB", 100), 0);
    wchar_t dst[8];
    std::wmemset(dst, L'#', 8);
    KWSYS_wcsncpy(dst, L"ab", 8);
    EXPECT_EQ(std::wstring(dst), L"ab");
    EXPECT_EQ(dst[3], L'#'); // no padding
}

TEST(Primitives, Hashes)
{
    EXPECT_EQ(KW_HashCode_String_GetA("ab", 2, false), 3105u);
    EXPECT_EQ(KW_HashCode_String_GetA("AB", -1, true), 3105u);
    EXPECT_EQ(KW_HashCode_String_GetA("\xFF", 1, false), 0xFFFFFFFFu); // bytes are signed
    EXPECT_EQ(KW_HashCode_String_GetW(L"ab", 2, false), 97u * 1313u + 98u);
    EXPECT_EQ(KW_HashCode_String_GetW(L"AB", -1, true), 97u * 1313u + 98u);
}

TEST(Primitives, FixedPoint)
{
    struct Case {
        const char* text;
        int integer;
        unsigned fraction;
    } cases[] = {
        {"1.5", 1, 2147483650u},
        {"-1.5", -2, 2147483646u},
        {"2147483647", 2147483647, 0},
        {"2147483648", 16777215, 0},          // out of range: saturated
        {"-99999999999999999999", -16777215, 0},
        {"42949672970", 16777215, 0},         // wraps positive in 32 bits; still out of range
        {"3.", 3, 0},
        {"", 0, 0},
        {"0.25", 0, 2u * 429496730u + 5u * 42949673u},
    };
    for (const Case& c : cases) {
        int integer = -1;
        unsigned fraction = 1;
        KW_atofix32(c.text, integer, fraction);
        EXPECT_EQ(integer, c.integer) << c.text;
        EXPECT_EQ(fraction, c.fraction) << c.text;
    }
}

TEST(Primitives, Numbers)
{
    bool isInteger = false;
    int32_t i32 = -1;
    KW_atonum("42", isInteger, &i32, 4);
    EXPECT_TRUE(isInteger);
    EXPECT_EQ(i32, 42);
    KW_atonum("-17x", isInteger, &i32, 4);
    EXPECT_EQ(i32, -17);
    KW_atonum("2147483648", isInteger, &i32, 4); // overflow gives 0
    EXPECT_EQ(i32, 0);
    int64_t i64 = 0;
    KW_atonum("2147483648", isInteger, &i64, 8);
    EXPECT_EQ(i64, 2147483648LL);
    float f = 0;
    KW_atonum("4.2", isInteger, &f, 4);
    EXPECT_FALSE(isInteger);
    EXPECT_NEAR(f, 4.2f, 1e-5f);

    EXPECT_FLOAT_EQ(KW_atof("--3.5"), -3.5f);
    EXPECT_NE(KW_atof("1x"), 1.0f);
    EXPECT_FLOAT_EQ(KW_atof("+-"), 0.0f);
    // A long fraction goes through the C library on exactly the given bytes.
    const char longText[] = "1.23456789012999";
    EXPECT_NEAR(KW_atof(CKW_ByteStringC(longText, 14)), 1.234567890129f, 1e-6f);

    int consumed = -1;
    EXPECT_FLOAT_EQ(KWSYS_wcstof(L"2.5e3", -1, &consumed), 2.5f);
    EXPECT_EQ(consumed, 3);
    consumed = -1;
    EXPECT_FLOAT_EQ(KWSYS_wcstof(L"7", 0, &consumed), 0.0f);
    EXPECT_EQ(consumed, 0); // always set
    // Bounded by the given length, not by a terminator.
    const char digits[] = {'1', '2', '5', '9'};
    EXPECT_FLOAT_EQ(KWSYS_strtof(digits, 3, &consumed), 125.0f);
    EXPECT_EQ(consumed, 3);
    EXPECT_FLOAT_EQ(KWSYS_strtof("-0.5abc", -1, &consumed), -0.5f);
    EXPECT_EQ(consumed, 4);
    EXPECT_EQ(KWSYS_round(2.5f), 3);
    EXPECT_EQ(KWSYS_round(-2.5f), -3);
    EXPECT_EQ(KWSYS_round(1e20f), INT_MAX);
}

TEST(Primitives, PlatformShims)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(KWSYS_GetFullPathName("abc", 3, buffer), 4);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(KWSYS_GetFullPathName("abc", 8, buffer), 3);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(KWSYS_GetModuleFileName(nullptr, buffer, 8), 0xFFFFFFFFu);
    EXPECT_EQ(KWSYS_WideCharToMultiByte(0, 0, L"h\u00e9", -1, nullptr, 0), 3); // UTF-8 locale
    char out[8] = {};
    EXPECT_EQ(KWSYS_WideCharToMultiByte(0, 0, L"h\u00e9", -1, out, 8), 3);
    EXPECT_STREQ(out, "h\xc3\xa9");
    wchar_t wout[8] = {};
    EXPECT_EQ(KWSYS_MultiByteToWideChar(0, 0, "h\xc3\xa9", -1, wout, 8), 2);
    EXPECT_EQ(std::wstring(wout), L"h\u00e9");
}

} // namespace
