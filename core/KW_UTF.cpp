#include "KW_UTF.h"

#include <cstring>

namespace {

// Sequence length by lead byte: 1 ASCII, 0 continuation, 2..6 leads, -1 invalid.
inline int LeadClass(unsigned char b)
{
    if (b < 0x80) return 1;
    if (b < 0xC0) return 0;
    if (b < 0xE0) return 2;
    if (b < 0xF0) return 3;
    if (b < 0xF8) return 4;
    if (b < 0xFC) return 5;
    if (b < 0xFE) return 6;
    return -1;
}

// Smallest code point that needs a sequence of n bytes.
const uint32_t kMinForLength[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
const unsigned char kLeadPrefix[7] = {0, 0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
const unsigned char kLeadMask[7] = {0, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

inline wchar_t Finish(uint32_t cp, int n)
{
    // Overlong forms (which include every multi-byte spelling of 0) never
    // yield their value.
    if (cp < kMinForLength[n]) return static_cast<wchar_t>(0xFFFD);
    return static_cast<wchar_t>(cp);
}

inline uint16_t Swap16(uint32_t c) { return static_cast<uint16_t>(((c & 0xFF) << 8) | ((c >> 8) & 0xFF)); }

} // namespace

int KW_UTF8PutChar(wchar_t ch, char* out)
{
    uint32_t c = static_cast<uint32_t>(ch);
    int n = KW_UTF8CharSize(ch);
    if (n == 1) {
        out[0] = static_cast<char>(c);
    } else if (n > 1) {
        out[0] = static_cast<char>(kLeadPrefix[n] | (c >> (6 * (n - 1))));
        for (int i = 1; i < n; ++i)
            out[i] = static_cast<char>(0x80 | ((c >> (6 * (n - 1 - i))) & 0x3F));
    }
    return n;
}

int KW_UTF8Decode(char const* source, int* sourceLength, wchar_t* destination, int* destinationLength)
{
    if (!sourceLength || !destinationLength) return -1;
    const int length = *sourceLength;
    const bool store = destination && *destinationLength > 0;
    const int capacity = store ? *destinationLength : 0;
    if (length < 1 || !source) {
        *sourceLength = 0;
        *destinationLength = 0;
        return 1;
    }
    const unsigned char* s = reinterpret_cast<const unsigned char*>(source);
    int consumed = 0, produced = 0;
    int pending = 0, seqLen = 0;
    uint32_t cp = 0;
    for (int i = 0; i < length; ++i) {
        unsigned char b = s[i];
        int cls = LeadClass(b);
        wchar_t out;
        if (cls < 0) break;
        if (cls == 0) {
            if (pending == 0) break;
            cp |= static_cast<uint32_t>(b & 0x3F) << (6 * (pending - 1));
            if (--pending) continue;
            out = Finish(cp, seqLen);
        } else if (cls == 1) {
            pending = 0;
            out = static_cast<wchar_t>(b);
        } else {
            // A new lead drops an unfinished sequence.
            seqLen = cls;
            pending = cls - 1;
            cp = static_cast<uint32_t>(b & kLeadMask[cls]) << (6 * pending);
            continue;
        }
        if (store) destination[produced] = out;
        ++produced;
        consumed = i + 1;
        if (store && produced >= capacity) break;
    }
    *sourceLength = consumed;
    *destinationLength = produced;
    return 1;
}

int KW_UTF8Encode(wchar_t const* source, int* sourceLength, char* destination, int* destinationLength)
{
    if (!sourceLength || !destinationLength) return -1;
    const int count = source ? *sourceLength : 0;
    const bool store = destination && *destinationLength > 0;
    const int64_t capacity = store ? *destinationLength : 0;
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        int n = KW_UTF8CharSize(source[i]);
        if (store) {
            if (total + n > capacity) {
                *sourceLength = i;
                *destinationLength = static_cast<int>(total);
                return 1;
            }
            KW_UTF8PutChar(source[i], destination + total);
        }
        total += n;
        if (total > 0x7FFFFFFF) {   // the count no longer fits: stop before it
            *sourceLength = i;
            *destinationLength = static_cast<int>(total - n);
            return 1;
        }
    }
    *sourceLength = count < 0 ? 0 : count;
    *destinationLength = static_cast<int>(total);
    return 1;
}

bool KW_IsUTF8Data(unsigned char const* data, int* length)
{
    if (!length) return false;
    if (*length < 1) return true;
    const int n = *length;
    *length = 0;
    int pending = 0;
    for (int i = 0; i < n; ++i) {
        unsigned char b = data[i];
        if (pending) {
            if ((b & 0xC0) != 0x80) return false;
            if (--pending == 0) *length = i + 1;
            continue;
        }
        int cls = LeadClass(b);
        if (cls <= 0) return false;
        pending = cls - 1;
    }
    return true;
}

int KW_UTF16ToWCharCopy(unsigned short const* source, wchar_t* destination, int count)
{
    int out = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t u = source[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count && source[i + 1] >= 0xDC00 && source[i + 1] < 0xE000) {
            u = 0x10000 + ((u - 0xD800) << 10) + (source[i + 1] - 0xDC00u);
            ++i;
        }
        destination[out++] = static_cast<wchar_t>(u);
    }
    return out;
}

int KW_UTF16ToWChar(void* buffer, int count)
{
    if (!buffer || count < 1) return 0;
    unsigned char* base = static_cast<unsigned char*>(buffer);
    auto unit = [base](int i) {
        uint16_t u;
        std::memcpy(&u, base + 2 * static_cast<size_t>(i), 2);
        return static_cast<uint32_t>(u);
    };
    auto isHigh = [](uint32_t u) { return u >= 0xD800 && u < 0xDC00; };
    auto isLow = [](uint32_t u) { return u >= 0xDC00 && u < 0xE000; };
    // First pass: how many characters, so the backward pass knows where each lands.
    int chars = 0;
    for (int i = 0; i < count; ++i) {
        if (isHigh(unit(i)) && i + 1 < count && isLow(unit(i + 1))) ++i;
        ++chars;
    }
    // Backward pass: character k lands at bytes [4k, 4k+4), units [2k, 2k+2);
    // the units still to be read lie below the current start, and start <= 2k
    // because the characters before it took at most two units each. A high
    // surrogate can only begin a character, so a low one after it always pairs.
    int k = chars;
    int i = count - 1;
    while (i >= 0) {
        uint32_t u = unit(i);
        int start = i;
        if (isLow(u) && i > 0 && isHigh(unit(i - 1))) start = i - 1;
        uint32_t c = u;
        if (start == i - 1) c = 0x10000 + ((unit(i - 1) - 0xD800) << 10) + (u - 0xDC00);
        --k;
        wchar_t w = static_cast<wchar_t>(c);
        std::memcpy(base + 4 * static_cast<size_t>(k), &w, 4);
        i = start - 1;
    }
    return chars;
}

int KW_WCharToUTF16Copy(wchar_t const* source, unsigned short* destination, int count)
{
    int out = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t c = static_cast<uint32_t>(source[i]);
        if (c > 0x10FFFF) c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            destination[out++] = static_cast<unsigned short>(0xD800 + (c >> 10));
            destination[out++] = static_cast<unsigned short>(0xDC00 + (c & 0x3FF));
        } else {
            destination[out++] = static_cast<unsigned short>(c);
        }
    }
    return out;
}

int KW_WCharToUTF16(void* buffer, int count)
{
    if (!buffer || count < 1) return 0;
    unsigned char* base = static_cast<unsigned char*>(buffer);
    int out = 0;
    for (int i = 0; i < count; ++i) {
        wchar_t w;
        std::memcpy(&w, base + 4 * static_cast<size_t>(i), 4);
        uint32_t c = static_cast<uint32_t>(w);
        if (c > 0x10FFFF) c = 0xFFFD;
        uint16_t units[2];
        int n = 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            units[0] = static_cast<uint16_t>(0xD800 + (c >> 10));
            units[1] = static_cast<uint16_t>(0xDC00 + (c & 0x3FF));
            n = 2;
        } else {
            units[0] = static_cast<uint16_t>(c);
        }
        // Units out..out+n-1 lie at or below character i's own bytes, which were read.
        std::memcpy(base + 2 * static_cast<size_t>(out), units, 2 * n);
        out += n;
    }
    return out;
}

void KW_SwapByteOrder(wchar_t* text, int length)
{
    if (!text) return;
    if (length < 0) length = static_cast<int>(std::wcslen(text));
    for (int i = 0; i < length; ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        text[i] = static_cast<wchar_t>((c & 0xFFFF0000u) | Swap16(c));
    }
}

void KW_SwapByteOrderCopy(wchar_t const* source, wchar_t* destination, int length)
{
    if (!source || !destination) return;
    if (length < 0) length = static_cast<int>(std::wcslen(source));
    for (int i = 0; i < length; ++i) {
        uint32_t c = static_cast<uint32_t>(source[i]);
        destination[i] = static_cast<wchar_t>((c & 0xFFFF0000u) | Swap16(c));
    }
}

size_t KW_UTF8DecodeBulk(unsigned char const* s, size_t length, wchar_t* d)
{
    wchar_t* const start = d;
    size_t i = 0;
    while (i < length) {
        // ASCII runs dominate most text: take eight bytes at a time.
        while (i + 8 <= length) {
            uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ull) break;
            for (int k = 0; k < 8; ++k) d[k] = static_cast<wchar_t>(s[i + k]);
            d += 8;
            i += 8;
        }
        if (i >= length) break;
        const unsigned char b = s[i];
        if (b < 0x80) {
            *d++ = static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        // Complete, well-formed sequences of 2 to 4 bytes take the short road.
        const size_t left = length - i;
        if ((b & 0xE0) == 0xC0 && left >= 2 && (s[i + 1] & 0xC0) == 0x80) {
            uint32_t cp = (uint32_t(b & 0x1F) << 6) | (s[i + 1] & 0x3F);
            *d++ = cp < 0x80 ? static_cast<wchar_t>(0xFFFD) : static_cast<wchar_t>(cp);
            i += 2;
            continue;
        }
        if ((b & 0xF0) == 0xE0 && left >= 3 && ((s[i + 1] & 0xC0) | ((s[i + 2] & 0xC0) >> 2)) == 0xA0) {
            uint32_t cp = (uint32_t(b & 0x0F) << 12) | (uint32_t(s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            *d++ = cp < 0x800 ? static_cast<wchar_t>(0xFFFD) : static_cast<wchar_t>(cp);
            i += 3;
            continue;
        }
        if ((b & 0xF8) == 0xF0 && left >= 4 && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80 &&
            (s[i + 3] & 0xC0) == 0x80) {
            uint32_t cp = (uint32_t(b & 0x07) << 18) | (uint32_t(s[i + 1] & 0x3F) << 12) |
                          (uint32_t(s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            *d++ = cp < 0x10000 ? static_cast<wchar_t>(0xFFFD) : static_cast<wchar_t>(cp);
            i += 4;
            continue;
        }
        // Everything else: five- and six-byte forms and malformed input.
        ++i;
        int cls = LeadClass(b);
        if (cls <= 0) continue;   // stray continuation or 0xFE/0xFF: ignored
        uint32_t cp = b & kLeadMask[cls];
        int got = 1;
        while (got < cls && i < length) {
            if (s[i] >= 0xFE) {   // never part of a sequence, and no interruption of one either
                ++i;
                continue;
            }
            if ((s[i] & 0xC0) != 0x80) break;
            cp = (cp << 6) | (s[i] & 0x3F);
            ++i;
            ++got;
        }
        // An interrupted sequence is dropped; the interrupting byte is read next.
        if (got == cls) *d++ = Finish(cp, cls);
    }
    return static_cast<size_t>(d - start);
}

size_t KW_UTF8EncodedSize(wchar_t const* source, size_t length)
{
    // Branch-free so that the compiler can vectorise it.
    size_t total = 0;
    for (size_t i = 0; i < length; ++i) {
        uint32_t c = static_cast<uint32_t>(source[i]);
        uint32_t n = 1u + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000) + (c >= 0x200000) + (c >= 0x4000000);
        total += (c >= 0x80000000u) ? 0u : n;
    }
    return total;
}

size_t KW_UTF8EncodeBulk(wchar_t const* source, size_t length, char* destination)
{
    unsigned char* d = reinterpret_cast<unsigned char*>(destination);
    size_t i = 0;
    while (i < length) {
        while (i + 4 <= length && (static_cast<uint32_t>(source[i]) | static_cast<uint32_t>(source[i + 1]) |
                                   static_cast<uint32_t>(source[i + 2]) | static_cast<uint32_t>(source[i + 3])) < 0x80) {
            d[0] = static_cast<unsigned char>(source[i]);
            d[1] = static_cast<unsigned char>(source[i + 1]);
            d[2] = static_cast<unsigned char>(source[i + 2]);
            d[3] = static_cast<unsigned char>(source[i + 3]);
            d += 4;
            i += 4;
        }
        if (i >= length) break;
        uint32_t c = static_cast<uint32_t>(source[i++]);
        if (c < 0x80) {
            *d++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            d[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
            d[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            d += 2;
        } else if (c < 0x10000) {
            d[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
            d[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            d[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            d += 3;
        } else {
            d += KW_UTF8PutChar(static_cast<wchar_t>(c), reinterpret_cast<char*>(d));
        }
    }
    return static_cast<size_t>(d - reinterpret_cast<unsigned char*>(destination));
}

// ---- Incremental coders --------------------------------------------------------

void CKW_UTF8Decoder::Input(unsigned char byte)
{
    int cls = LeadClass(byte);
    if (cls == 1) {
        m_PendingCount = 0;
        m_Buffer.AppendChar(static_cast<wchar_t>(byte));
    } else if (cls >= 2) {
        m_SequenceLength = cls;
        m_PendingCount = cls - 1;
        m_Accumulated = static_cast<uint32_t>(byte & kLeadMask[cls]) << (6 * m_PendingCount);
    } else if (cls == 0 && m_PendingCount > 0) {
        m_Accumulated |= static_cast<uint32_t>(byte & 0x3F) << (6 * (m_PendingCount - 1));
        if (--m_PendingCount == 0) m_Buffer.AppendChar(Finish(m_Accumulated, m_SequenceLength));
    }
}

void CKW_UTF8Encoder::AppendByte(unsigned char byte)
{
    if (m_Buffer.GetSize() >= m_Buffer.GetAllocSize() && !m_Buffer.ExpandBuf(100)) return;
    m_Buffer.AppendBlock(&byte, 1);
}

void CKW_UTF8Encoder::Input(wchar_t ch)
{
    char bytes[6];
    int n = KW_UTF8PutChar(ch, bytes);
    for (int i = 0; i < n; ++i) AppendByte(static_cast<unsigned char>(bytes[i]));
}

CKW_ByteString KW_UTF8Encode(const wchar_t* text, int length)
{
    if (!text) return CKW_ByteString();
    const size_t n = length < 0 ? wcslen(text) : static_cast<size_t>(length);
    const size_t maxLength = static_cast<size_t>(CKW_ByteString::kMaxLength);
    CKW_ByteString result;
    // Long texts are encoded in one pass into room for three bytes per
    // character (all of the BMP); only a text with enough characters beyond
    // it is measured exactly and given more room. The unused tail of such a
    // large block is never touched. Short texts are measured first.
    const size_t kLongText = 1 << 18;
    if (n >= kLongText && 3 * n + 16 <= maxLength) {
        size_t capacity = 3 * n + 16;
        char* out = result.GetBuffer(static_cast<int>(capacity));
        if (!out) return CKW_ByteString();
        size_t written = 0;
        bool exact = false;
        const size_t kChunk = 4096;
        for (size_t i = 0; i < n;) {
            size_t m = n - i < kChunk ? n - i : kChunk;
            if (!exact && written + 6 * m > capacity) {
                size_t rest = KW_UTF8EncodedSize(text + i, n - i);
                if (written + rest > capacity) {
                    if (written + rest > maxLength) return CKW_ByteString();
                    result.ReleaseBuffer(static_cast<int>(written));   // keep what is written when growing
                    out = result.GetBuffer(static_cast<int>(written + rest));
                    if (!out) return CKW_ByteString();
                    capacity = written + rest;
                }
                exact = true;
            }
            written += KW_UTF8EncodeBulk(text + i, m, out + written);
            i += m;
        }
        result.ReleaseBuffer(static_cast<int>(written));
        return result;
    }
    size_t bytes = KW_UTF8EncodedSize(text, n);
    if (bytes == 0 || bytes > maxLength) return CKW_ByteString();
    char* out = result.GetBuffer(static_cast<int>(bytes));
    if (!out) return CKW_ByteString();
    KW_UTF8EncodeBulk(text, n, out);
    result.ReleaseBuffer(static_cast<int>(bytes));
    return result;
}

void KW_UTF8Encode(const wchar_t* text, int length, CKW_ByteStringL& out, _IKW_Allocator* allocator)
{
    out.Empty(allocator);
    if (!text) return;
    size_t n = length < 0 ? wcslen(text) : static_cast<size_t>(length);
    CKW_UTF8Encoder encoder(allocator);
    size_t bytes = KW_UTF8EncodedSize(text, n);
    if (bytes == 0 || bytes > 0x7ffffffe) return;
    encoder.GetBuffer().EstimateSize(static_cast<int>(bytes));
    for (size_t i = 0; i < n; ++i) encoder.Input(text[i]);
    encoder.GetBuffer().GetByteStringL(out);
}
