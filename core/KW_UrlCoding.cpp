#include "KW_UrlCoding.h"

#include "CKW_TextBuf.h"
#include "KW_UTF.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

bool IsUnsafe(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F)
        return c <= 0x20 || c == 0x7F;
    switch (c) {
    case '"': case '#': case '%': case '<': case '>': case '[': case '\\': case ']':
    case '^': case '`': case '{': case '|': case '}': case '~':
        return true;
    default:
        return false;
    }
}

void AppendEscaped(CKW_ByteTextBuf& out, unsigned char c)
{
    const char escaped[3] = {'%', kHexDigits[c >> 4], kHexDigits[c & 15]};
    out.AppendBlock(escaped, 3);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void PercentDecode(const CKW_ByteString& text, CKW_BinaryBuf& out)
{
    const char* p = text.c_str();
    const int n = text.GetLength();
    out.EstimateSize(n);
    for (int i = 0; i < n; ++i) {
        unsigned char c = (unsigned char)p[i];
        if (c == '%' && i + 2 < n) {
            const int high = HexValue(p[i + 1]), low = HexValue(p[i + 2]);
            if (high >= 0 && low >= 0) {
                c = (unsigned char)(high << 4 | low);
                i += 2;
            }
        }
        out.AppendBlock(&c, 1);
    }
}

} // namespace

CKW_ByteString KW_UrlEncode(const CKW_WideString& text)
{
    CKW_ByteTextBuf out;
    for (int i = 0, n = text.GetLength(); i < n; ++i) {
        // A surrogate or a value past U+10FFFF has no encoding a server
        // could read: it goes as U+FFFD.
        const wchar_t ch = KW_ScalarOrReplacement(text[i]);
        if (ch >= 0 && ch < 0x80 && !IsUnsafe((unsigned char)ch)) {
            const char byte = (char)ch;
            out.AppendBlock(&byte, 1);
            continue;
        }
        // The whole code point: characters beyond U+FFFF must not lose
        // their high bits.
        const CKW_ByteString bytes = CKW_ByteString::FromUnicode(&ch, 1);
        for (int k = 0; k < bytes.GetLength(); ++k)
            AppendEscaped(out, (unsigned char)bytes[k]);
    }
    return CKW_ByteString(out.GetByteString());
}

CKW_WideString KW_UrlDecode(const CKW_ByteString& text)
{
    CKW_BinaryBuf bytes;
    PercentDecode(text, bytes);
    const unsigned char zero = 0;
    bytes.AppendBlock(&zero, 1);
    return CKW_WideString::FromLocal((const char*)bytes.GetBuffer(), -1);
}

CKW_ByteString KW_EncodeURI(const CKW_WideString& text)
{
    // Only Unicode scalar values have a UTF-8 form a server accepts; the
    // rest go as U+FFFD.
    CKW_WideString scalars = text;
    for (int i = 0, n = text.GetLength(); i < n; ++i) {
        if (!KW_IsUnicodeScalar(text[i]))
            scalars.SetAt(i, KW_ScalarOrReplacement(text[i]));
    }
    const CKW_ByteString utf8 = scalars.UTF8Encode();
    CKW_ByteTextBuf out;
    out.EstimateSize(utf8.GetLength());
    for (int i = 0, n = utf8.GetLength(); i < n; ++i) {
        const unsigned char c = (unsigned char)utf8[i];
        if (IsUnsafe(c) || c >= 0x80)
            AppendEscaped(out, c);
        else
            out.AppendBlock(&c, 1);
    }
    return CKW_ByteString(out.GetByteString());
}

CKW_WideString KW_DecodeURI(const CKW_ByteString& text)
{
    CKW_BinaryBuf bytes;
    PercentDecode(text, bytes);
    return CKW_WideString::FromUTF8((const char*)bytes.GetBuffer(), bytes.GetSize());
}
