// Reference-counted, copy-on-write wide string (one 4-byte code point per
// wchar_t) and its non-owning view.
//
// The same shared block as the byte string (CKW_StringDataT<wchar_t>): copies
// share it, writers take a private copy first, a locked block (count -1) is
// copied instead of shared. Blocks come from the default memory manager.
//
// Lengths are signed 32-bit, counted in characters. Size arithmetic is done
// in 64 bits: a result longer than kMaxLength, a negative size or an
// allocation failure is refused and leaves the string as it was.
#ifndef CKW_WIDESTRING_H
#define CKW_WIDESTRING_H

#include "CKW_ByteString.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

struct _IKW_Allocator;
class CKW_WideString;
class CKW_CharMap;

typedef CKW_StringDataT<wchar_t> CKW_WideStringData;

// Non-owning view: pointer and length in characters; need not be terminated.
class CKW_WideStringC {
public:
    CKW_WideStringC() : m_Ptr(nullptr), m_Length(0) {}
    CKW_WideStringC(const wchar_t* text) // NOLINT: literals pass as views
        : m_Ptr(text), m_Length(text ? static_cast<int>(wcslen(text)) : 0) {}
    CKW_WideStringC(const wchar_t* text, int length) : m_Ptr(text), m_Length(length < 0 || !text ? 0 : length) {}
    CKW_WideStringC(const CKW_WideString& str); // NOLINT: strings pass as views
    CKW_WideStringC(const CKW_WideStringC&) = default;
    CKW_WideStringC& operator=(const CKW_WideStringC&) = default;

    int GetLength() const { return m_Length; }
    bool IsEmpty() const { return m_Length == 0; }
    const wchar_t* GetPtr() const { return m_Ptr; }
    wchar_t GetAt(int index) const { return m_Ptr[index]; }
    wchar_t operator[](int index) const { return m_Ptr[index]; }

    bool operator==(const CKW_WideStringC& other) const
    {
        return m_Length == other.m_Length && (m_Length == 0 || wmemcmp(m_Ptr, other.m_Ptr, m_Length) == 0);
    }
    bool operator!=(const CKW_WideStringC& other) const { return !(*this == other); }

private:
    const wchar_t* m_Ptr;
    int m_Length;
};

class CKW_WideString {
public:
    // Longest string a block can hold: header, characters, terminator and
    // spare must stay within the allocator's largest request.
    static constexpr int kMaxLength = (0x7fffffff - 28) / 4;

    // Construction
    CKW_WideString() : m_pData(nullptr) {}
    CKW_WideString(const wchar_t* text, int length = -1) : m_pData(nullptr) { InitStr(text, length); } // NOLINT
    CKW_WideString(const CKW_WideString& other);
    CKW_WideString(CKW_WideString&& other) noexcept : m_pData(other.m_pData) { other.m_pData = nullptr; }
    explicit CKW_WideString(wchar_t ch);
    CKW_WideString(const CKW_WideStringC& view); // NOLINT: views convert
    CKW_WideString(const CKW_WideStringC& a, const CKW_WideStringC& b);
    ~CKW_WideString();
    // Negative length: NUL-terminated (null gives empty); 0 or less: empty.
    void InitStr(const wchar_t* text, int length);

    // Assignment
    const CKW_WideString& operator=(const CKW_WideString& other);
    CKW_WideString& operator=(CKW_WideString&& other) noexcept;
    const CKW_WideString& operator=(const wchar_t* text);
    const CKW_WideString& operator=(const CKW_WideStringC& view);
    void Empty();

    // Concatenation
    const CKW_WideString& operator+=(wchar_t ch);
    const CKW_WideString& operator+=(const wchar_t* text);
    const CKW_WideString& operator+=(const CKW_WideString& other);
    const CKW_WideString& operator+=(const CKW_WideStringC& view);
    void ConcatInPlace(int length, const wchar_t* text);
    void ConcatCopy(int length1, const wchar_t* text1, int length2, const wchar_t* text2);

    // Access
    int GetLength() const { return m_pData ? m_pData->m_nDataLength : 0; }
    bool IsEmpty() const { return GetLength() == 0; }
    const wchar_t* c_str() const { return m_pData ? m_pData->m_String : L""; }
    const wchar_t* GetPtr() const { return c_str(); }
    wchar_t GetAt(int index) const { return m_pData->m_String[index]; }
    wchar_t operator[](int index) const { return m_pData->m_String[index]; }
    void SetAt(int index, wchar_t ch);
    int GetAllocLength() const { return m_pData ? m_pData->m_nAllocLength : 0; }

    // Comparison (characters as signed 32-bit values)
    bool Equal(const CKW_WideStringC& view) const;
    bool operator==(const CKW_WideString& other) const { return Equal(other); }
    bool operator==(const CKW_WideStringC& view) const { return Equal(view); }
    bool operator==(const wchar_t* text) const { return Equal(CKW_WideStringC(text)); }
    bool operator!=(const CKW_WideString& other) const { return !Equal(other); }
    bool operator!=(const CKW_WideStringC& view) const { return !Equal(view); }
    bool operator!=(const wchar_t* text) const { return !Equal(CKW_WideStringC(text)); }
    bool operator<(const CKW_WideString& other) const { return Compare(other) < 0; }
    int Compare(const CKW_WideString& other) const;
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    // Buffer access
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);
    wchar_t* LockBuffer();
    void Reserve(int length);
    void CopyBeforeWrite();
    void AllocBeforeWrite(int length);
    void AssignCopy(int length, const wchar_t* text);

    // Substrings
    CKW_WideString Mid(int first, int count) const;
    CKW_WideString Mid(int first) const;
    CKW_WideString Left(int count) const;
    CKW_WideString Right(int count) const;

    // Search (stops at an embedded zero character)
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    // Editing
    int Insert(int index, wchar_t ch);
    int Delete(int index, int count = 1);
    int Remove(wchar_t ch);
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    void MakeLower();
    void MakeUpper();
    void TrimRight();
    void TrimRight(wchar_t target);
    void TrimRight(const wchar_t* targets);
    void TrimLeft();
    void TrimLeft(wchar_t target);
    void TrimLeft(const wchar_t* targets);

    // Formatting (numbers always use the C conventions)
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // Encodings
    CKW_ByteString UTF8Encode() const;
    // 2 bytes per UTF-16 unit, low byte first; characters above U+FFFF
    // become surrogate pairs. terminate adds two zero bytes (counted).
    CKW_ByteString UTF16LE_Encode(bool terminate = true) const;
    void ConvertFrom(const CKW_ByteString& bytes, CKW_CharMap* map = nullptr);
    static CKW_WideString FromLocal(const char* bytes, int length = -1);
    static CKW_WideString FromUTF8(const char* bytes, int length = -1);
    // Surrogate pairs are combined; a lone surrogate is kept as it is.
    static CKW_WideString FromUTF16LE(const unsigned short* units, int length = -1);
    static CKW_WideString FromUTF16BE(const unsigned short* units, int length = -1);
    static int WStringLength(const unsigned short* units);

    // Numbers
    int GetInteger() const;
    float GetFloat() const;

private:
    friend class CKW_WideStringC;

    static CKW_WideStringData* AllocData(int64_t allocLength);
    bool MakePrivate();
    void Release();
    bool IsShared() const { return m_pData && m_pData->m_nRefs > 1; }
    bool IsOwned() const { return m_pData && m_pData->m_nRefs < 2; }   // alone or locked

    CKW_WideStringData* m_pData;
};

inline CKW_WideStringC::CKW_WideStringC(const CKW_WideString& str)
{
    if (str.IsEmpty()) {
        m_Ptr = nullptr;
        m_Length = 0;
    } else {
        m_Ptr = str.c_str();
        m_Length = str.GetLength();
    }
}

inline bool operator==(const wchar_t* text, const CKW_WideString& str) { return str == text; }
inline bool operator!=(const wchar_t* text, const CKW_WideString& str) { return str != text; }
inline bool operator==(const CKW_WideStringC& view, const CKW_WideString& str) { return str == view; }
inline bool operator!=(const CKW_WideStringC& view, const CKW_WideString& str) { return str != view; }
inline bool operator==(const CKW_WideStringC& view, const wchar_t* text) { return view == CKW_WideStringC(text); }
inline bool operator!=(const CKW_WideStringC& view, const wchar_t* text) { return view != CKW_WideStringC(text); }
inline bool operator==(const wchar_t* text, const CKW_WideStringC& view) { return view == CKW_WideStringC(text); }
inline bool operator!=(const wchar_t* text, const CKW_WideStringC& view) { return view != CKW_WideStringC(text); }

// Allocator-bound wide string (used inside the XML tree): no sharing, no
// destructor; the owner empties it with the allocator it was filled with
// (null = default manager).
struct CKW_WideStringL {
    wchar_t* m_Ptr = nullptr;
    int m_Length = 0;

    void Empty(_IKW_Allocator* allocator);
    void Set(const CKW_WideStringC& text, _IKW_Allocator* allocator);
    void TrimRight(const wchar_t* targets);
    int GetInteger() const;
    float GetFloat() const;
    operator CKW_WideStringC() const { return CKW_WideStringC(m_Ptr, m_Length); }
    int GetLength() const { return m_Length; }
    bool IsEmpty() const { return m_Length == 0; }
    const wchar_t* c_str() const { return m_Ptr ? m_Ptr : L""; }
};

// Decimal fraction ("-12.5"): optional sign, digits, optional '.' and digits;
// parsing stops at the first other character. A negative length means
// NUL-terminated. Empty text gives 0.
float KW_wtof(const wchar_t* text, int length);

#endif // CKW_WIDESTRING_H
