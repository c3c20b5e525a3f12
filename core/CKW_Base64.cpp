#include "CKW_Base64.h"

#include <limits.h>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct DecodeTable {
    uint8_t values[128];
    DecodeTable()
    {
        for (uint8_t& v : values)
            v = 0xFF;
        for (int i = 0; i < 64; ++i)
            values[(unsigned char)kAlphabet[i]] = (uint8_t)i;
    }
};

const DecodeTable& Table()
{
    static const DecodeTable table;
    return table;
}

// Characters that 'length' bytes encode to; -1 when that does not fit an int.
int EncodedLength(int length)
{
    const int64_t n = (int64_t)length / 3 * 4 + (length % 3 ? 4 : 0);
    return n > INT_MAX ? -1 : (int)n;
}

int DecodedLength(int n) { return n / 4 * 3 + (n % 4 == 3 ? 2 : n % 4 ? 1 : 0); }

template <typename CharT, typename Coder>
int EncodeInto(const unsigned char* data, int length, CharT* out, Coder coder, CharT padding)
{
    CharT* p = out;
    int i = 0;
    for (; i + 3 <= length; i += 3) {
        const uint32_t v = (uint32_t)data[i] << 16 | (uint32_t)data[i + 1] << 8 | data[i + 2];
        *p++ = coder(v >> 18);
        *p++ = coder((v >> 12) & 63);
        *p++ = coder((v >> 6) & 63);
        *p++ = coder(v & 63);
    }
    const int rest = length - i;
    if (rest) {
        const uint32_t v = (uint32_t)data[i] << 16 | (rest == 2 ? (uint32_t)data[i + 1] << 8 : 0);
        *p++ = coder(v >> 18);
        *p++ = coder((v >> 12) & 63);
        *p++ = rest == 2 ? coder((v >> 6) & 63) : padding;
        *p++ = padding;
    }
    return (int)(p - out);
}

// Bits of values outside the alphabet (0xFF) are merged as they come.
template <typename CharT, typename Value>
int DecodeInto(const CharT* text, int n, unsigned char* out, Value value)
{
    unsigned char* p = out;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint8_t a = value(text[i]), b = value(text[i + 1]), c = value(text[i + 2]), d = value(text[i + 3]);
        *p++ = (unsigned char)(a << 2 | b >> 4);
        *p++ = (unsigned char)(b << 4 | c >> 2);
        *p++ = (unsigned char)(c << 6 | d);
    }
    const int rest = n - i;
    if (rest == 1) {
        *p++ = (unsigned char)(value(text[i]) << 2);
    } else if (rest >= 2) {
        const uint8_t a = value(text[i]), b = value(text[i + 1]);
        *p++ = (unsigned char)(a << 2 | b >> 4);
        if (rest == 3)
            *p++ = (unsigned char)(b << 4 | value(text[i + 2]) >> 2);
    }
    return (int)(p - out);
}

uint8_t CharValue(char ch)
{
    const unsigned char c = (unsigned char)ch;
    return c < 128 ? Table().values[c] : 0xFF;
}

} // namespace

wchar_t KWCRT_DefBase64Encoder(int value) { return (wchar_t)kAlphabet[value & 63]; }

uint8_t KWCRT_DefBase64Decoder(wchar_t ch) { return Table().values[ch & 127]; }

// ---- Encoder ---------------------------------------------------------------------

CKW_Base64Encoder::CKW_Base64Encoder(wchar_t padding) : m_pEncoder(KWCRT_DefBase64Encoder), m_Padding(padding) {}

int CKW_Base64Encoder::Encode(const unsigned char* data, int length, char* out) const
{
    const int needed = length < 1 || !data ? 0 : EncodedLength(length);
    if (needed <= 0 || !out)
        return needed < 0 ? 0 : needed;
    return EncodeInto(data, length, out, [](uint32_t v) { return kAlphabet[v]; }, '=');
}

int CKW_Base64Encoder::Encode(const unsigned char* data, int length, wchar_t* out) const
{
    const int needed = length < 1 || !data ? 0 : EncodedLength(length);
    if (needed <= 0 || !out)
        return needed < 0 ? 0 : needed;
    KW_Base64EncodeFunc encoder = m_pEncoder;
    return EncodeInto(data, length, out, [encoder](uint32_t v) { return encoder((int)v); }, m_Padding);
}

int CKW_Base64Encoder::Encode(const CKW_ByteStringC& data, CKW_WideString& out) const
{
    const int needed = Encode(data.GetPtr(), data.GetLength(), (wchar_t*)nullptr);
    if (needed <= 0)
        return 0;
    wchar_t* buffer = out.GetBuffer(needed);
    if (!buffer)
        return 0;
    const int written = Encode(data.GetPtr(), data.GetLength(), buffer);
    out.ReleaseBuffer(written);
    return written;
}

int CKW_Base64Encoder::Encode(const CKW_ByteStringC& data, CKW_ByteString& out) const
{
    CKW_WideString wide;
    if (Encode(data, wide) == 0)
        return 0;
    out = wide.UTF8Encode();
    return out.GetLength();
}

// ---- Decoder ---------------------------------------------------------------------

CKW_Base64Decoder::CKW_Base64Decoder(wchar_t padding) : m_pDecoder(KWCRT_DefBase64Decoder), m_Padding(padding) {}

int CKW_Base64Decoder::Decode(const char* text, int length, unsigned char* out) const
{
    if (length < 1 || !text)
        return 0;
    while (length > 0 && text[length - 1] == '=')
        length--;
    if (length == 0)
        return 0;
    if (!out)
        return DecodedLength(length);
    return DecodeInto(text, length, out, CharValue);
}

int CKW_Base64Decoder::Decode(const wchar_t* text, int length, unsigned char* out) const
{
    if (length < 1 || !text)
        return 0;
    while (length > 0 && text[length - 1] == m_Padding)
        length--;
    if (length == 0)
        return 0;
    if (!out)
        return DecodedLength(length);
    return DecodeInto(text, length, out, m_pDecoder);
}

int CKW_Base64Decoder::Decode(const CKW_WideStringC& text, CKW_ByteString& out) const
{
    const int needed = Decode(text.GetPtr(), text.GetLength(), nullptr);
    if (needed <= 0)
        return 0;
    char* buffer = out.GetBuffer(needed);
    if (!buffer)
        return 0;
    const int written = Decode(text.GetPtr(), text.GetLength(), (unsigned char*)buffer);
    out.ReleaseBuffer(written);
    return written;
}

int CKW_Base64Decoder::Decode(const CKW_ByteStringC& text, CKW_ByteString& out) const
{
    const CKW_WideString wide = CKW_WideString::FromUTF8(text.GetCStr(), text.GetLength());
    return Decode(CKW_WideStringC(wide), out);
}
