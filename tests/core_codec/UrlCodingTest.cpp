// Percent-coding: the unsafe set, whole code points, malformed escapes and
// zero bytes in both decoders. The tests run in a UTF-8 locale.
#include "KW_UrlCoding.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlCodingTest, Encode)
{
    struct Case {
        const wchar_t* text;
        const char* url;   // KW_UrlEncode
        const char* uri;   // KW_EncodeURI
    };
    const Case cases[] = {
        {L"a b/\u00e9", "a%20b/%C3%A9", "a%20b/%C3%A9"},
        {L"~'", "%7E'", "%7E'"},
        {L"\"#%<>[\\]^`{|}\x7f", "%22%23%25%3C%3E%5B%5C%5D%5E%60%7B%7C%7D%7F",
         "%22%23%25%3C%3E%5B%5C%5D%5E%60%7B%7C%7D%7F"},
        {L"\t\r\n", "%09%0D%0A", "%09%0D%0A"},
        {L"Az09-_.!*()+,;:=?@&$", "Az09-_.!*()+,;:=?@&$", "Az09-_.!*()+,;:=?@&$"},
        {L"\U0001F600", "%F0%9F%98%80", "%F0%9F%98%80"},   // above U+FFFF, whole
        {L"\u4e2d", "%E4%B8%AD", "%E4%B8%AD"},
        {L"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.url, KW_UrlEncode(c.text)) << c.url;
        EXPECT_EQ(c.uri, KW_EncodeURI(c.text)) << c.uri;
    }
    // Code points without a UTF-8 form that a server accepts (lone
    // surrogates, past U+10FFFF, past 31 bits) go as U+FFFD.
    const wchar_t invalid[] = {'a', 0xD800, 0xDFFF, 0x110000, 0x7FFFFFFF, (wchar_t)-1, 'b'};
    const CKW_WideString text(invalid, 7);
    const char* replaced = "a%EF%BF%BD%EF%BF%BD%EF%BF%BD%EF%BF%BD%EF%BF%BDb";
    EXPECT_EQ(replaced, KW_UrlEncode(text));
    EXPECT_EQ(replaced, KW_EncodeURI(text));
}

TEST(UrlCodingTest, Decode)
{
    struct Case {
        const char* url;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"%41%4a%2", L"AJ%2"},
        {"%", L"%"},
        {"%4", L"%4"},
        {"%zz%4g", L"%zz%4g"},
        {"a%20b/%C3%A9", L"a b/\u00e9"},
        {"%f0%9f%98%80", L"\U0001F600"},
        {"100%", L"100%"},
        {"+", L"+"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CKW_WideString(c.text), KW_UrlDecode(c.url)) << c.url;
        EXPECT_EQ(CKW_WideString(c.text), KW_DecodeURI(c.url)) << c.url;
    }
}

TEST(UrlCodingTest, DecodedZeroByte)
{
    EXPECT_EQ(CKW_WideString(L"a"), KW_UrlDecode("a%00b"));
    const CKW_WideString uri = KW_DecodeURI("a%00b");
    ASSERT_EQ(3, uri.GetLength());
    EXPECT_EQ(L'a', uri[0]);
    EXPECT_EQ(0, uri[1]);
    EXPECT_EQ(L'b', uri[2]);
}

TEST(UrlCodingTest, RoundTrip)
{
    const CKW_WideString text(L"q=\u00e9t\u00e9 & 100% \U0001F600 [x]");
    EXPECT_EQ(text, KW_UrlDecode(KW_UrlEncode(text)));
    EXPECT_EQ(text, KW_DecodeURI(KW_EncodeURI(text)));
}

} // namespace
