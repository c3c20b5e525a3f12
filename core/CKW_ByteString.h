// Reference-counted, copy-on-write byte string and its non-owning view.
//
// A CKW_ByteString is one pointer to a shared block (header, bytes, a
// terminating zero); copies share the block and a writer takes a private copy
// first. The bytes carry no declared encoding. Blocks come from the default
// memory manager (KWMEM_DefaultAlloc2 / KWMEM_DefaultFree).
//
// Lengths are signed 32-bit. Size arithmetic is done in 64 bits: a result
// that would not fit (see CKW_ByteString::kMaxLength) is refused and the
// string is left as it was. An allocation failure leaves it unchanged too.
#ifndef CKW_BYTESTRING_H
#define CKW_BYTESTRING_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <string.h>

struct _IKW_Allocator;
class CKW_WideString;
class CKW_CharMap;
class CKW_BinaryBuf;
class CKW_ByteString;

// Shared block of a string: the byte string uses the char variant, the wide
// string the wchar_t one. A count of -1 marks a locked block.
template <typename CharT>
struct CKW_StringDataT {
    int64_t m_nRefs;
    int32_t m_nDataLength;
    int32_t m_nAllocLength;
    CharT m_String[1];
};
typedef CKW_StringDataT<char> CKW_StringData;

// Non-owning view: pointer and length; need not be NUL-terminated.
class CKW_ByteStringC {
public:
    CKW_ByteStringC() : m_Ptr(nullptr), m_Length(0) {}
    CKW_ByteStringC(const char* text) // NOLINT: literals pass as views
        : m_Ptr(reinterpret_cast<const uint8_t*>(text)), m_Length(text ? static_cast<int>(strlen(text)) : 0) {}
    CKW_ByteStringC(const char* bytes, int length)
        : m_Ptr(reinterpret_cast<const uint8_t*>(bytes)), m_Length(length < 0 ? 0 : length) {}
    CKW_ByteStringC(const uint8_t* bytes, int length) : m_Ptr(bytes), m_Length(length < 0 ? 0 : length) {}
    CKW_ByteStringC(const CKW_ByteString& str); // NOLINT: strings pass as views
    CKW_ByteStringC(const CKW_ByteStringC&) = default;
    CKW_ByteStringC& operator=(const CKW_ByteStringC&) = default;
    CKW_ByteStringC& operator=(const char* text)
    {
        m_Ptr = reinterpret_cast<const uint8_t*>(text);
        m_Length = text ? static_cast<int>(strlen(text)) : 0;
        return *this;
    }

    int GetLength() const { return m_Length; }
    bool IsEmpty() const { return m_Length == 0; }
    const uint8_t* GetPtr() const { return m_Ptr; }
    const char* GetCStr() const { return reinterpret_cast<const char*>(m_Ptr); }
    uint8_t GetAt(int index) const { return m_Ptr[index]; }
    uint8_t operator[](int index) const { return m_Ptr[index]; }

    bool operator==(const CKW_ByteStringC& other) const
    {
        return m_Length == other.m_Length && (m_Length == 0 || memcmp(m_Ptr, other.m_Ptr, m_Length) == 0);
    }
    bool operator!=(const CKW_ByteStringC& other) const { return !(*this == other); }

    // The 4 bytes at start as a big-endian number; missing bytes are zero.
    uint32_t GetID(int start = 0) const;

private:
    const uint8_t* m_Ptr;
    int m_Length;
};

class CKW_ByteString {
public:
    // Longest string a block can hold: the block (header, bytes, terminator
    // and spare) must stay within the allocator's largest request.
    static constexpr int kMaxLength = 0x7fffffff - 25;

    CKW_ByteString() : m_pData(nullptr) {}
    CKW_ByteString(const char* bytes, int length = -1);
    CKW_ByteString(const unsigned char* bytes, int length);
    explicit CKW_ByteString(char ch);
    CKW_ByteString(const CKW_ByteString& other);
    CKW_ByteString(CKW_ByteString&& other) noexcept : m_pData(other.m_pData) { other.m_pData = nullptr; }
    CKW_ByteString(const CKW_ByteStringC& view); // NOLINT: views convert
    CKW_ByteString(const CKW_ByteStringC& a, const CKW_ByteStringC& b);
    ~CKW_ByteString();

    // Assignment
    const CKW_ByteString& operator=(const CKW_ByteString& other);
    CKW_ByteString& operator=(CKW_ByteString&& other) noexcept;
    const CKW_ByteString& operator=(const CKW_ByteStringC& view);
    const CKW_ByteString& operator=(const char* text);
    const CKW_ByteString& operator=(const CKW_BinaryBuf& buffer); // defined with the text buffers
    void Load(const unsigned char* bytes, int length);
    void Empty();

    // Concatenation
    const CKW_ByteString& operator+=(const char* text);
    const CKW_ByteString& operator+=(char ch) { return Append(&ch, 1); }
    const CKW_ByteString& operator+=(const CKW_ByteString& other);
    const CKW_ByteString& operator+=(const CKW_ByteStringC& view) { return Append(view.GetCStr(), view.GetLength()); }
    void ConcatCopy(int length1, const char* bytes1, int length2, const char* bytes2);

    // Access
    int GetLength() const { return m_pData ? m_pData->m_nDataLength : 0; }
    bool IsEmpty() const { return GetLength() == 0; }
    const char* c_str() const { return m_pData ? m_pData->m_String : ""; }
    const uint8_t* GetPtr() const { return reinterpret_cast<const uint8_t*>(c_str()); }
    char GetAt(int index) const { return m_pData->m_String[index]; }
    char operator[](int index) const { return m_pData->m_String[index]; }
    void SetAt(int index, char ch);
    // Capacity of the current block (0 when there is none).
    int GetAllocLength() const { return m_pData ? m_pData->m_nAllocLength : 0; }

    // Comparison (bytes as unsigned)
    bool Equal(const CKW_ByteStringC& view) const;
    bool operator==(const CKW_ByteString& other) const;
    bool operator==(const CKW_ByteStringC& view) const { return Equal(view); }
    bool operator==(const char* text) const { return Equal(CKW_ByteStringC(text)); }
    bool operator!=(const CKW_ByteString& other) const { return !(*this == other); }
    bool operator!=(const CKW_ByteStringC& view) const { return !Equal(view); }
    bool operator!=(const char* text) const { return !Equal(CKW_ByteStringC(text)); }
    bool operator<(const CKW_ByteString& other) const;
    int Compare(const CKW_ByteStringC& view) const;
    bool EqualNoCase(const CKW_ByteStringC& view) const;

    // Buffer access
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);
    char* LockBuffer();
    void Reserve(int length);
    void CopyBeforeWrite();
    void AllocBeforeWrite(int length);
    void AssignCopy(int length, const char* bytes);
    void ConcatInPlace(int length, const char* bytes);

    // Substrings
    CKW_ByteString Mid(int first, int count) const;
    CKW_ByteString Mid(int first) const;
    CKW_ByteString Left(int count) const;
    CKW_ByteString Right(int count) const;

    // Search
    int Find(char ch, int start = 0) const;
    int ReverseFind(char ch) const;
    int Find(const CKW_ByteStringC& sub, int start = 0) const;

    // Editing
    int Insert(int index, char ch);
    int Delete(int index, int count = 1);
    int Remove(char ch);
    int Replace(const CKW_ByteStringC& oldText, const CKW_ByteStringC& newText);
    void MakeLower();
    void MakeUpper();
    void TrimRight();
    void TrimRight(char target);
    void TrimRight(const CKW_ByteStringC& targets);
    void TrimLeft();
    void TrimLeft(char target);
    void TrimLeft(const CKW_ByteStringC& targets);

    uint32_t GetID(int start = 0) const;

    // Formatting (numbers always use the C conventions)
    // printf-style, also taking the "I64" size prefix and "S"/"C" for wide
    // strings and characters; the result is never cut.
    void Format(const char* format, ...);
    void FormatV(const char* format, va_list args);
    static CKW_ByteString FormatInteger(int value, unsigned flags = 0);
    static CKW_ByteString FormatFloat(float value, int precision = 0);

    // Conversion. These members involve wide strings and character maps and
    // are defined with them (CKW_ByteStringConvert.cpp), not in this file.
    CKW_WideString UTF8Decode() const;
    static CKW_ByteString FromUnicode(const wchar_t* text, int length = -1);
    static CKW_ByteString FromUnicode(const CKW_WideString& text);
    void ConvertFrom(const CKW_WideString& text, CKW_CharMap* map = nullptr);

    // Whole file; empty when it cannot be opened or read in full.
    static CKW_ByteString LoadFromFile(const CKW_ByteStringC& path);

private:
    friend class CKW_ByteStringC;

    bool MakePrivate();
    // Appends in place when the block is ours and has room; else grows.
    const CKW_ByteString& Append(const char* bytes, int length)
    {
        if (m_pData && length > 0 && bytes && m_pData->m_nRefs < 2
            && length <= m_pData->m_nAllocLength - m_pData->m_nDataLength) {
            char* end = m_pData->m_String + m_pData->m_nDataLength;
            memmove(end, bytes, static_cast<size_t>(length));
            end[length] = 0;
            m_pData->m_nDataLength += length;
        } else {
            ConcatInPlace(length, bytes);
        }
        return *this;
    }
    void Release();
    void Attach(CKW_StringData* data);
    bool IsShared() const { return m_pData && m_pData->m_nRefs > 1; }
    bool IsLocked() const { return m_pData && m_pData->m_nRefs < 0; }

    CKW_StringData* m_pData;
};

inline CKW_ByteStringC::CKW_ByteStringC(const CKW_ByteString& str)
{
    if (str.IsEmpty()) {
        m_Ptr = nullptr;
        m_Length = 0;
    } else {
        m_Ptr = str.GetPtr();
        m_Length = str.GetLength();
    }
}

inline bool operator==(const char* text, const CKW_ByteString& str) { return str == text; }
inline bool operator!=(const char* text, const CKW_ByteString& str) { return str != text; }

// Allocator-bound string: no sharing, no destructor; the owner releases it
// through the same allocator it was filled with (null = default manager).
struct CKW_ByteStringL {
    char* m_Ptr = nullptr;
    int m_Length = 0;

    void Empty(_IKW_Allocator* allocator);
    char* AllocBuffer(int length, _IKW_Allocator* allocator);
    void Set(const CKW_ByteStringC& text, _IKW_Allocator* allocator);
    operator CKW_ByteStringC() const { return CKW_ByteStringC(m_Ptr, m_Length); }
    int GetLength() const { return m_Length; }
    const char* c_str() const { return m_Ptr ? m_Ptr : ""; }
};

// First occurrence of the needle within the given length, or null.
const char* KW_strstr(const char* haystack, int haystackLength, const char* needle, int needleLength);

// FormatInteger's text written into text (room for KW_FORMAT_INTEGER_SIZE
// bytes, no terminator); returns the byte count.
enum { KW_FORMAT_INTEGER_SIZE = 17 };
int KW_FormatInteger(int value, unsigned flags, char* text);

// Float to shortest decimal text (see FormatFloat); returns the byte count.
int KW_ftoa(float value, char* buffer, int flag);
extern int g_iPrecision;

#endif // CKW_BYTESTRING_H
