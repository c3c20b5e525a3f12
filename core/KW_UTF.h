// UTF-8 and UTF-16 conversions between byte runs, 16-bit units and wide
// characters (wchar_t, one 4-byte code point each).
//
// UTF-8 follows the early six-byte scheme (code points up to 0x7FFFFFFF) so
// that every wide character survives an encode/decode round trip. A code point
// written with more bytes than it needs (an "overlong" form, such as C0 80 or
// C0 AF) is never decoded to its value: it becomes U+FFFD, so text checks made
// on decoded characters cannot be bypassed by alternative spellings.
#ifndef KW_UTF_H
#define KW_UTF_H

#include "CKW_TextBuf.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>

// ---- Array functions -------------------------------------------------------

// Decodes UTF-8 into wide characters. Returns -1 when a count pointer is null,
// else 1. On return *sourceLength is the offset just past the last complete
// character, *destinationLength the number of characters produced. A null
// destination (or a destination length of 0) only counts. The scan ends at a
// 0xFE/0xFF byte or a continuation byte where a character should start, and
// when the destination is full.
int KW_UTF8Decode(char const* source, int* sourceLength, wchar_t* destination, int* destinationLength);

// Encodes wide characters as UTF-8 (1 to 6 bytes each; negative values are
// skipped). Returns -1 when a count pointer is null, else 1. Without a
// destination (or with length 0) only counts: *destinationLength = total bytes.
// With one, a character is written only when all its bytes fit; the call stops
// at the first one that does not, and then *sourceLength is the number of
// characters written and *destinationLength the number of bytes written.
int KW_UTF8Encode(wchar_t const* source, int* sourceLength, char* destination, int* destinationLength);

// True when the bytes are plausible UTF-8. *length: on entry the byte count
// (below 1: true, untouched); on return the offset just past the last complete
// multi-byte sequence (0 for pure ASCII). An unfinished sequence at the end is
// accepted.
bool KW_IsUTF8Data(unsigned char const* data, int* length);

// ---- 16-bit units ----------------------------------------------------------
// Surrogate pairs are combined on the way in and produced on the way out, so
// characters above U+FFFF survive. A lone surrogate unit is kept as it is.

// In place: the first count 16-bit units of buffer (which must hold count * 4
// bytes) become wide characters. Returns the number of characters.
int KW_UTF16ToWChar(void* buffer, int count);
// The same into another array of at least count characters.
int KW_UTF16ToWCharCopy(unsigned short const* source, wchar_t* destination, int count);
// In place: count wide characters become 16-bit units (a character above
// U+FFFF takes two). Returns the number of units; they always fit in the
// count * 4 bytes the characters occupied. Values that are not code points
// (negative, above 0x10FFFF) become U+FFFD.
int KW_WCharToUTF16(void* buffer, int count);
// The same into another array, which must hold 2 * count units.
int KW_WCharToUTF16Copy(wchar_t const* source, unsigned short* destination, int count);

// Swaps the two bytes of each character's low 16-bit unit (UTF-16 byte order
// change); higher bits are kept. A negative length means NUL-terminated.
void KW_SwapByteOrder(wchar_t* text, int length);
void KW_SwapByteOrderCopy(wchar_t const* source, wchar_t* destination, int length);

// ---- Bulk helpers used by the strings and the character maps ----------------

// Decodes length bytes exactly as a fresh CKW_UTF8Decoder fed with every byte
// would (malformed input skipped, overlong forms and code point 0 of a
// sequence replaced by U+FFFD). destination must hold at least length
// characters; returns the number written.
size_t KW_UTF8DecodeBulk(unsigned char const* source, size_t length, wchar_t* destination);

// Number of UTF-8 bytes that KW_UTF8EncodeBulk writes for these characters.
size_t KW_UTF8EncodedSize(wchar_t const* source, size_t length);
// Encodes as a CKW_UTF8Encoder would; destination must hold
// KW_UTF8EncodedSize bytes. Returns the number written.
size_t KW_UTF8EncodeBulk(wchar_t const* source, size_t length, char* destination);

// Bytes that the UTF-8 form of one character takes (0 for a negative value).
inline int KW_UTF8CharSize(wchar_t ch)
{
    uint32_t c = static_cast<uint32_t>(ch);
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    if (c < 0x10000) return 3;
    if (c < 0x200000) return 4;
    if (c < 0x4000000) return 5;
    if (c < 0x80000000u) return 6;
    return 0;
}

// Writes the UTF-8 form of ch (KW_UTF8CharSize(ch) bytes) and returns its size.
int KW_UTF8PutChar(wchar_t ch, char* out);

// A Unicode scalar value: a code point up to U+10FFFF that is not a surrogate.
// Only these have a UTF-8 form that other programs accept; writers whose text
// leaves the library put U+FFFD in place of anything else.
inline bool KW_IsUnicodeScalar(wchar_t ch)
{
    uint32_t c = static_cast<uint32_t>(ch);
    return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF);
}
inline wchar_t KW_ScalarOrReplacement(wchar_t ch)
{
    return KW_IsUnicodeScalar(ch) ? ch : static_cast<wchar_t>(0xFFFD);
}

// ---- Incremental coders --------------------------------------------------------

// Fed one byte at a time; collects the characters in a wide text buffer.
// Malformed input is skipped: a continuation byte with nothing pending, a
// 0xFE/0xFF byte, and a sequence cut short by a new lead or an ASCII byte.
class CKW_UTF8Decoder {
public:
    explicit CKW_UTF8Decoder(_IKW_Allocator* allocator = nullptr) : m_Buffer(allocator) {}

    void Input(unsigned char byte);
    void AppendChar(unsigned int ch) { m_Buffer.AppendChar(static_cast<wchar_t>(ch)); }
    void Clear()
    {
        m_Buffer.Clear();
        m_PendingCount = 0;
    }
    CKW_WideStringC GetResult() const { return m_Buffer.GetWideString(); }
    CKW_WideTextBuf& GetBuffer() { return m_Buffer; }

private:
    int m_PendingCount = 0;
    uint32_t m_Accumulated = 0;
    int m_SequenceLength = 0;
    CKW_WideTextBuf m_Buffer;
};

// Fed one character at a time; collects UTF-8 bytes (1 to 6 per character;
// negative values are skipped).
class CKW_UTF8Encoder {
public:
    explicit CKW_UTF8Encoder(_IKW_Allocator* allocator = nullptr) : m_Buffer(allocator) {}

    void Input(wchar_t ch);
    void Clear() { m_Buffer.Clear(); }
    CKW_ByteStringC GetResult() const { return m_Buffer.GetByteString(); }
    CKW_ByteTextBuf& GetBuffer() { return m_Buffer; }

private:
    void AppendByte(unsigned char byte);

    CKW_ByteTextBuf m_Buffer;
};

// UTF-8 of a wide text (negative length: NUL-terminated).
CKW_ByteString KW_UTF8Encode(const wchar_t* text, int length);
// The same into an allocator-bound string made with allocator (null = default).
void KW_UTF8Encode(const wchar_t* text, int length, CKW_ByteStringL& out, _IKW_Allocator* allocator);

#endif
