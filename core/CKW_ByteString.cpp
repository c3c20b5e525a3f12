#include "CKW_ByteString.h"

#include "KW_FormatDialect.h"
#include "KW_Memory.h"
#include "KW_Primitives.h"

#include <locale.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <new>
#include <string>

int g_iPrecision = 0;

namespace {

// A block for allocLength bytes: header, bytes, terminator and 8 spare bytes.
// The caller has checked 1 <= allocLength <= kMaxLength.
CKW_StringData* NewData(int dataLength, int allocLength)
{
    void* p = KWMEM_DefaultAlloc2(static_cast<size_t>(allocLength) + 25, 1, 0);
    if (!p)
        return nullptr;
    CKW_StringData* d = static_cast<CKW_StringData*>(p);
    d->m_nRefs = 1;
    d->m_nDataLength = dataLength;
    d->m_nAllocLength = allocLength;
    d->m_String[dataLength] = 0;
    d->m_String[allocLength] = 0;
    return d;
}

CKW_StringData* NewCopy(const char* bytes, int length)
{
    CKW_StringData* d = NewData(length, length);
    if (d)
        memcpy(d->m_String, bytes, static_cast<size_t>(length));
    return d;
}

// The last sharer frees the block; so does the owner of a locked block.
void ReleaseData(CKW_StringData* d)
{
    if (!d)
        return;
    if (d->m_nRefs < 2)
        KWMEM_DefaultFree(d, 0);
    else
        --d->m_nRefs;
}

inline bool FitsLength(int64_t length) { return length <= CKW_ByteString::kMaxLength; }

const char kDefaultTrimSet[] = "\x09\x0A\x0B\x0C\x0D\x20";

} // namespace

// ---------------------------------------------------------------------------
uint32_t CKW_ByteStringC::GetID(int start) const
{
    if (m_Length == 0 || start < 0 || start >= m_Length)
        return 0;
    uint32_t id = 0;
    int available = m_Length - start;
    for (int k = 0; k < 4; ++k)
        id = (id << 8) | (k < available ? m_Ptr[start + k] : 0u);
    return id;
}

// ---------------------------------------------------------------------------
CKW_ByteString::CKW_ByteString(const char* bytes, int length) : m_pData(nullptr)
{
    if (length < 0) {
        if (!bytes)
            return;
        size_t n = strlen(bytes);
        if (!FitsLength(static_cast<int64_t>(n)))
            return;
        length = static_cast<int>(n);
    }
    if (length == 0 || !bytes || !FitsLength(length))
        return;
    m_pData = NewCopy(bytes, length);
}

CKW_ByteString::CKW_ByteString(const unsigned char* bytes, int length) : m_pData(nullptr)
{
    if (length <= 0 || !bytes || !FitsLength(length))
        return;
    m_pData = NewCopy(reinterpret_cast<const char*>(bytes), length);
}

CKW_ByteString::CKW_ByteString(char ch) : m_pData(NewData(1, 1))
{
    if (m_pData)
        m_pData->m_String[0] = ch;
}

CKW_ByteString::CKW_ByteString(const CKW_ByteString& other) : m_pData(nullptr)
{
    if (other.IsEmpty())
        return;
    if (other.IsLocked()) {
        m_pData = NewCopy(other.m_pData->m_String, other.m_pData->m_nDataLength);
    } else {
        m_pData = other.m_pData;
        ++m_pData->m_nRefs;
    }
}

CKW_ByteString::CKW_ByteString(const CKW_ByteStringC& view) : m_pData(nullptr)
{
    if (!view.IsEmpty())
        AssignCopy(view.GetLength(), view.GetCStr());
}

CKW_ByteString::CKW_ByteString(const CKW_ByteStringC& a, const CKW_ByteStringC& b) : m_pData(nullptr)
{
    int64_t total = static_cast<int64_t>(a.GetLength()) + b.GetLength();
    if (total == 0 || !FitsLength(total))
        return;
    m_pData = NewData(static_cast<int>(total), static_cast<int>(total));
    if (!m_pData)
        return;
    if (a.GetLength())
        memcpy(m_pData->m_String, a.GetPtr(), static_cast<size_t>(a.GetLength()));
    if (b.GetLength())
        memcpy(m_pData->m_String + a.GetLength(), b.GetPtr(), static_cast<size_t>(b.GetLength()));
}

CKW_ByteString::~CKW_ByteString() { ReleaseData(m_pData); }

void CKW_ByteString::Release()
{
    ReleaseData(m_pData);
    m_pData = nullptr;
}

void CKW_ByteString::Attach(CKW_StringData* data)
{
    ReleaseData(m_pData);
    m_pData = data;
}

void CKW_ByteString::Empty() { Release(); }

// ---------------------------------------------------------------------------
const CKW_ByteString& CKW_ByteString::operator=(const CKW_ByteString& other)
{
    if (m_pData == other.m_pData)
        return *this;
    if (other.IsEmpty()) {
        Release();
        return *this;
    }
    if (other.IsLocked() || IsLocked()) {
        // Locked blocks are never shared: copy the bytes.
        AssignCopy(other.m_pData->m_nDataLength, other.m_pData->m_String);
        return *this;
    }
    Release();
    m_pData = other.m_pData;
    ++m_pData->m_nRefs;
    return *this;
}

CKW_ByteString& CKW_ByteString::operator=(CKW_ByteString&& other) noexcept
{
    if (this != &other) {
        if (other.IsLocked() || IsLocked()) {
            *this = static_cast<const CKW_ByteString&>(other);
        } else {
            ReleaseData(m_pData);
            m_pData = other.m_pData;
            other.m_pData = nullptr;
        }
    }
    return *this;
}

const CKW_ByteString& CKW_ByteString::operator=(const CKW_ByteStringC& view)
{
    AssignCopy(view.GetLength(), view.GetCStr());
    return *this;
}

const CKW_ByteString& CKW_ByteString::operator=(const char* text)
{
    size_t n = text ? strlen(text) : 0;
    if (FitsLength(static_cast<int64_t>(n)))
        AssignCopy(static_cast<int>(n), text);
    return *this;
}

void CKW_ByteString::AssignCopy(int length, const char* bytes)
{
    if (length < 1 || !bytes) {
        Release();
        return;
    }
    if (!FitsLength(length))
        return;
    if (m_pData && m_pData->m_nRefs < 2 && m_pData->m_nAllocLength >= length) {
        memmove(m_pData->m_String, bytes, static_cast<size_t>(length));
        m_pData->m_nDataLength = length;
        m_pData->m_String[length] = 0;
        return;
    }
    CKW_StringData* d = NewCopy(bytes, length); // before releasing: bytes may be ours
    if (d)
        Attach(d);
}

void CKW_ByteString::Load(const unsigned char* bytes, int length)
{
    CKW_StringData* d = nullptr;
    if (length >= 1 && bytes && FitsLength(length)) {
        d = NewCopy(reinterpret_cast<const char*>(bytes), length);
        if (!d)
            return;
    }
    Attach(d);
}

// ---------------------------------------------------------------------------
void CKW_ByteString::ConcatInPlace(int length, const char* bytes)
{
    if (length <= 0 || !bytes)
        return;
    if (!m_pData) {
        if (FitsLength(length))
            m_pData = NewCopy(bytes, length);
        return;
    }
    const int old = m_pData->m_nDataLength;
    const int64_t needed = static_cast<int64_t>(old) + length;
    if (!FitsLength(needed))
        return; // refused: the string stays as it was
    if (m_pData->m_nRefs < 2 && needed <= m_pData->m_nAllocLength) {
        memmove(m_pData->m_String + old, bytes, static_cast<size_t>(length));
        m_pData->m_nDataLength = static_cast<int>(needed);
        m_pData->m_String[needed] = 0;
        return;
    }
    int64_t capacity = static_cast<int64_t>(old) + (old / 2 > length ? old / 2 : length);
    if (!FitsLength(capacity))
        capacity = kMaxLength;
    const bool appendsOwnBytes = bytes >= m_pData->m_String && bytes <= m_pData->m_String + m_pData->m_nAllocLength;
    if (m_pData->m_nRefs < 2 && !appendsOwnBytes) {
        // Sole owner: grow the block where it is when the heap allows. A
        // locked block loses its lock, as it would with a fresh block.
        void* grown = KWMEM_DefaultRealloc2(m_pData, static_cast<size_t>(capacity) + 25, 1, 0);
        if (!grown)
            return;
        m_pData = static_cast<CKW_StringData*>(grown);
        m_pData->m_nRefs = 1;
        m_pData->m_nAllocLength = static_cast<int>(capacity);
        memcpy(m_pData->m_String + old, bytes, static_cast<size_t>(length));
        m_pData->m_nDataLength = static_cast<int>(needed);
        m_pData->m_String[needed] = 0;
        m_pData->m_String[capacity] = 0;
        return;
    }
    CKW_StringData* d = NewData(static_cast<int>(needed), static_cast<int>(capacity));
    if (!d)
        return;
    memcpy(d->m_String, m_pData->m_String, static_cast<size_t>(old));
    memcpy(d->m_String + old, bytes, static_cast<size_t>(length));
    Attach(d);
}

void CKW_ByteString::ConcatCopy(int length1, const char* bytes1, int length2, const char* bytes2)
{
    if (length1 < 0 || length2 < 0)
        return;
    const int64_t total = static_cast<int64_t>(length1) + length2;
    if (!FitsLength(total))
        return;
    if (total == 0) {
        Release();
        return;
    }
    CKW_StringData* d = NewData(static_cast<int>(total), static_cast<int>(total));
    if (!d)
        return;
    if (length1)
        memcpy(d->m_String, bytes1, static_cast<size_t>(length1));
    if (length2)
        memcpy(d->m_String + length1, bytes2, static_cast<size_t>(length2));
    Attach(d);
}

const CKW_ByteString& CKW_ByteString::operator+=(const char* text)
{
    if (text) {
        size_t n = strlen(text);
        if (FitsLength(static_cast<int64_t>(n)))
            ConcatInPlace(static_cast<int>(n), text);
    }
    return *this;
}


const CKW_ByteString& CKW_ByteString::operator+=(const CKW_ByteString& other)
{
    if (!other.IsEmpty()) {
        // Appending a string to itself: keep the source alive while growing.
        CKW_ByteString keep(other);
        ConcatInPlace(keep.GetLength(), keep.c_str());
    }
    return *this;
}


// ---------------------------------------------------------------------------
bool CKW_ByteString::Equal(const CKW_ByteStringC& view) const
{
    const int n = GetLength();
    return n == view.GetLength() && (n == 0 || memcmp(m_pData->m_String, view.GetPtr(), static_cast<size_t>(n)) == 0);
}

bool CKW_ByteString::operator==(const CKW_ByteString& other) const
{
    if (m_pData == other.m_pData)
        return true;
    return Equal(CKW_ByteStringC(other));
}

int CKW_ByteString::Compare(const CKW_ByteStringC& view) const
{
    const int a = GetLength();
    const int b = view.GetLength();
    const int common = a < b ? a : b;
    if (common) {
        int c = memcmp(m_pData->m_String, view.GetPtr(), static_cast<size_t>(common)); // unsigned bytes
        if (c)
            return c < 0 ? -1 : 1;
    }
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool CKW_ByteString::operator<(const CKW_ByteString& other) const { return Compare(CKW_ByteStringC(other)) < 0; }

bool CKW_ByteString::EqualNoCase(const CKW_ByteStringC& view) const
{
    const int n = GetLength();
    if (n != view.GetLength())
        return false;
    const uint8_t* a = GetPtr();
    const uint8_t* b = view.GetPtr();
    for (int i = 0; i < n; ++i) {
        uint8_t ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<uint8_t>(ca + 32);
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<uint8_t>(cb + 32);
        if (ca != cb)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
char* CKW_ByteString::GetBuffer(int minLength)
{
    if (minLength < 0)
        minLength = 0;
    if (!FitsLength(minLength))
        return nullptr;
    if (!m_pData) {
        if (minLength == 0)
            return nullptr;
        m_pData = NewData(0, minLength);
        return m_pData ? m_pData->m_String : nullptr;
    }
    if (m_pData->m_nRefs < 2 && m_pData->m_nAllocLength >= minLength)
        return m_pData->m_String;
    const int length = m_pData->m_nDataLength;
    const int capacity = minLength > length ? minLength : length;
    if (capacity == 0) {
        Release(); // a shared length-0 block: nothing to keep
        return nullptr;
    }
    CKW_StringData* d = NewData(length, capacity);
    if (!d)
        return nullptr;
    memcpy(d->m_String, m_pData->m_String, static_cast<size_t>(length) + 1);
    Attach(d);
    return m_pData->m_String;
}

void CKW_ByteString::ReleaseBuffer(int newLength)
{
    if (!m_pData)
        return;
    if (!MakePrivate())
        return;
    if (!m_pData)
        return;
    if (newLength < 0)
        newLength = static_cast<int>(strnlen(m_pData->m_String, static_cast<size_t>(m_pData->m_nAllocLength)));
    if (newLength > m_pData->m_nAllocLength)
        newLength = m_pData->m_nAllocLength;
    if (newLength == 0) {
        Release();
        return;
    }
    m_pData->m_nDataLength = newLength;
    m_pData->m_String[newLength] = 0;
}

char* CKW_ByteString::LockBuffer()
{
    if (IsEmpty())
        return nullptr;
    char* p = GetBuffer(0);
    if (!p)
        return nullptr;
    m_pData->m_nRefs = -1;
    return p;
}

void CKW_ByteString::Reserve(int length)
{
    const int current = GetLength();
    if (GetBuffer(length))
        ReleaseBuffer(current);
}

bool CKW_ByteString::MakePrivate()
{
    if (!m_pData || m_pData->m_nRefs < 2)
        return true;
    const int length = m_pData->m_nDataLength;
    if (length == 0) {
        Release();
        return true;
    }
    CKW_StringData* d = NewCopy(m_pData->m_String, length);
    if (!d)
        return false; // still shared: the caller must not write
    Attach(d);
    return true;
}

void CKW_ByteString::CopyBeforeWrite() { MakePrivate(); }

void CKW_ByteString::AllocBeforeWrite(int length)
{
    if (m_pData && m_pData->m_nRefs < 2 && m_pData->m_nAllocLength >= length)
        return;
    if (length < 1) {
        Release();
        return;
    }
    if (!FitsLength(length))
        return;
    CKW_StringData* d = NewData(length, length);
    if (d)
        Attach(d);
}

// ---------------------------------------------------------------------------
CKW_ByteString CKW_ByteString::Mid(int first, int count) const
{
    CKW_ByteString result;
    const int length = GetLength();
    if (length == 0)
        return result;
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    int n = 0;
    if (first <= length)
        n = count < length - first ? count : length - first;
    if (first == 0 && n == length)
        return *this;
    if (n > 0)
        result.m_pData = NewCopy(m_pData->m_String + first, n);
    return result;
}

CKW_ByteString CKW_ByteString::Mid(int first) const
{
    const int length = GetLength();
    if (first < 0)
        first = 0;
    return Mid(first, first > length ? 0 : length - first);
}

CKW_ByteString CKW_ByteString::Left(int count) const
{
    const int length = GetLength();
    if (count < 0)
        count = 0;
    if (count >= length)
        return *this;
    CKW_ByteString result;
    if (count > 0)
        result.m_pData = NewCopy(m_pData->m_String, count);
    return result;
}

CKW_ByteString CKW_ByteString::Right(int count) const
{
    const int length = GetLength();
    if (count < 0)
        count = 0;
    if (count >= length)
        return *this;
    CKW_ByteString result;
    if (count > 0)
        result.m_pData = NewCopy(m_pData->m_String + (length - count), count);
    return result;
}

// ---------------------------------------------------------------------------
int CKW_ByteString::Find(char ch, int start) const
{
    const int length = GetLength();
    if (start < 0)
        start = 0;
    if (length == 0 || start >= length)
        return -1;
    const char* p = strchr(m_pData->m_String + start, ch);
    return p ? static_cast<int>(p - m_pData->m_String) : -1;
}

int CKW_ByteString::ReverseFind(char ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pData->m_String[i] == ch)
            return i;
    return -1;
}

int CKW_ByteString::Find(const CKW_ByteStringC& sub, int start) const
{
    const int length = GetLength();
    if (start < 0)
        start = 0;
    if (length == 0 || start > length || sub.IsEmpty() || sub.GetLength() > length - start)
        return -1;
    const char* p = KW_strstr(m_pData->m_String + start, length - start, sub.GetCStr(), sub.GetLength());
    return p ? static_cast<int>(p - m_pData->m_String) : -1;
}

const char* KW_strstr(const char* haystack, int haystackLength, const char* needle, int needleLength)
{
    if (!haystack || !needle || needleLength <= 0 || needleLength > haystackLength)
        return nullptr;
    // First byte by memchr, the rest by memcmp: only the bytes up to a match
    // are touched, so a scan that resumes after each match stays linear.
    const char first = needle[0];
    const char* p = haystack;
    const char* last = haystack + (haystackLength - needleLength); // last possible start
    while (p <= last) {
        p = static_cast<const char*>(memchr(p, first, static_cast<size_t>(last - p) + 1));
        if (!p)
            return nullptr;
        if (memcmp(p + 1, needle + 1, static_cast<size_t>(needleLength - 1)) == 0)
            return p;
        ++p;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
int CKW_ByteString::Insert(int index, char ch)
{
    if (!m_pData) {
        CKW_ByteString single(ch);
        *this = single;
        return GetLength();
    }
    if (!MakePrivate())
        return GetLength();
    const int length = GetLength();
    if (!FitsLength(static_cast<int64_t>(length) + 1))
        return length;
    if (index < 0)
        index = 0;
    if (index > length)
        index = length;
    if (!m_pData) {
        // MakePrivate dropped a shared length-0 block.
        m_pData = NewData(1, 1);
        if (m_pData)
            m_pData->m_String[0] = ch;
        return GetLength();
    }
    if (m_pData->m_nAllocLength > length) {
        memmove(m_pData->m_String + index + 1, m_pData->m_String + index, static_cast<size_t>(length - index) + 1);
    } else {
        CKW_StringData* d = NewData(length + 1, length + 1);
        if (!d)
            return length;
        memcpy(d->m_String, m_pData->m_String, static_cast<size_t>(index));
        memcpy(d->m_String + index + 1, m_pData->m_String + index, static_cast<size_t>(length - index) + 1);
        Attach(d);
    }
    m_pData->m_String[index] = ch;
    m_pData->m_nDataLength = length + 1;
    return length + 1;
}

int CKW_ByteString::Delete(int index, int count)
{
    if (index < 0)
        index = 0;
    const int length = GetLength();
    if (length == 0)
        return 0;
    if (count < 1 || index >= length)
        return length;
    if (!MakePrivate())
        return length;
    if (static_cast<int64_t>(index) + count >= length) {
        if (index == 0) {
            Release();
            return 0;
        }
        m_pData->m_nDataLength = index;
        m_pData->m_String[index] = 0;
        return index;
    }
    memmove(m_pData->m_String + index, m_pData->m_String + index + count,
            static_cast<size_t>(length - index - count) + 1);
    m_pData->m_nDataLength = length - count;
    return length - count;
}

int CKW_ByteString::Remove(char ch)
{
    const int length = GetLength();
    if (length == 0 || !memchr(m_pData->m_String, ch, static_cast<size_t>(length)))
        return 0;
    if (!MakePrivate())
        return 0;
    char* s = m_pData->m_String;
    int out = 0;
    for (int i = 0; i < length; ++i)
        if (s[i] != ch)
            s[out++] = s[i];
    const int removed = length - out;
    if (out == 0) {
        Release();
    } else {
        m_pData->m_nDataLength = out;
        s[out] = 0;
    }
    return removed;
}

int CKW_ByteString::Replace(const CKW_ByteStringC& oldText, const CKW_ByteStringC& newText)
{
    const int length = GetLength();
    const int oldLength = oldText.GetLength();
    const int newLength = newText.GetLength();
    if (length == 0 || oldLength == 0 || oldLength > length)
        return 0;
    const char* s = m_pData->m_String;
    const char* end = s + length;
    int64_t count = 0;
    for (const char* p = s; (p = KW_strstr(p, static_cast<int>(end - p), oldText.GetCStr(), oldLength));
         p += oldLength)
        ++count;
    if (count == 0)
        return 0;
    const int64_t resultLength = static_cast<int64_t>(length) + (static_cast<int64_t>(newLength) - oldLength) * count;
    if (!FitsLength(resultLength))
        return 0; // refused: the string stays as it was
    if (resultLength == 0) {
        Release();
        return static_cast<int>(count);
    }
    CKW_StringData* d = NewData(static_cast<int>(resultLength), static_cast<int>(resultLength));
    if (!d)
        return 0;
    char* out = d->m_String;
    const char* p = s;
    for (const char* hit; (hit = KW_strstr(p, static_cast<int>(end - p), oldText.GetCStr(), oldLength));
         p = hit + oldLength) {
        memcpy(out, p, static_cast<size_t>(hit - p));
        out += hit - p;
        if (newLength)
            memcpy(out, newText.GetPtr(), static_cast<size_t>(newLength));
        out += newLength;
    }
    memcpy(out, p, static_cast<size_t>(end - p));
    Attach(d);
    return static_cast<int>(count);
}

void CKW_ByteString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength() || !MakePrivate())
        return;
    m_pData->m_String[index] = ch;
}

void CKW_ByteString::MakeLower()
{
    if (IsEmpty() || !MakePrivate())
        return;
    KWSYS_strlwr(m_pData->m_String);
}

void CKW_ByteString::MakeUpper()
{
    if (IsEmpty() || !MakePrivate())
        return;
    KWSYS_strupr(m_pData->m_String);
}

void CKW_ByteString::TrimRight(const CKW_ByteStringC& targets)
{
    int length = GetLength();
    if (length == 0 || targets.IsEmpty())
        return;
    const char* s = m_pData->m_String;
    int keep = length;
    while (keep > 0 && memchr(targets.GetPtr(), s[keep - 1], static_cast<size_t>(targets.GetLength())))
        --keep;
    if (keep == length || !MakePrivate())
        return;
    m_pData->m_nDataLength = keep;
    m_pData->m_String[keep] = 0;
}

void CKW_ByteString::TrimLeft(const CKW_ByteStringC& targets)
{
    int length = GetLength();
    if (length == 0 || targets.IsEmpty())
        return;
    const char* s = m_pData->m_String;
    int skip = 0;
    while (skip < length && memchr(targets.GetPtr(), s[skip], static_cast<size_t>(targets.GetLength())))
        ++skip;
    if (skip == 0 || !MakePrivate())
        return;
    memmove(m_pData->m_String, m_pData->m_String + skip, static_cast<size_t>(length - skip) + 1);
    m_pData->m_nDataLength = length - skip;
}

void CKW_ByteString::TrimRight() { TrimRight(CKW_ByteStringC(kDefaultTrimSet, 6)); }
void CKW_ByteString::TrimRight(char target) { TrimRight(CKW_ByteStringC(&target, 1)); }
void CKW_ByteString::TrimLeft() { TrimLeft(CKW_ByteStringC(kDefaultTrimSet, 6)); }
void CKW_ByteString::TrimLeft(char target) { TrimLeft(CKW_ByteStringC(&target, 1)); }

uint32_t CKW_ByteString::GetID(int start) const { return CKW_ByteStringC(*this).GetID(start); }

// ---------------------------------------------------------------------------
// Formatting: the library's printf dialect (KW_FormatDialect.h), measured and
// written exactly, so output is never cut.

void CKW_ByteString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CKW_ByteString::FormatV(const char* format, va_list args)
{
    if (!format)
        return;
    kwformat::Plan<char> plan;
    kwformat::Check check = kwformat::Check::Ok;
    va_list walk;
    va_copy(walk, args);
    try {
        check = kwformat::Translate(format, walk, plan);
    } catch (const std::bad_alloc&) {
        va_end(walk);
        return;   // out of memory: the string stays as it was
    }
    va_end(walk);
    if (check == kwformat::Check::BadWidth) {
        *this = "Bad width";
        return;
    }
    if (check == kwformat::Check::BadPrecision) {
        *this = "Bad precision";
        return;
    }
    int64_t total = 0;
    bool ok = kwformat::PrintPieces(plan, args, [&](const char* piece, va_list pieceArgs) {
        const int n = kwformat::WithCNumeric(plan.numeric, [&] { return vsnprintf(nullptr, 0, piece, pieceArgs); });
        total += n;
        return n >= 0 && FitsLength(total);
    });
    if (!ok)
        return; // not representable: the string stays as it was
    if (total == 0) {
        Release();
        return;
    }
    // Written into a new block: the arguments may point into this string.
    CKW_StringData* d = NewData(static_cast<int>(total), static_cast<int>(total));
    if (!d)
        return;
    int64_t at = 0;
    ok = kwformat::PrintPieces(plan, args, [&](const char* piece, va_list pieceArgs) {
        const size_t room = static_cast<size_t>(total - at) + 1;
        const int n = kwformat::WithCNumeric(plan.numeric, [&] { return vsnprintf(d->m_String + at, room, piece, pieceArgs); });
        at += n;
        return n >= 0 && at <= total;
    });
    if (!ok || at != total) {
        ReleaseData(d);
        return;
    }
    Attach(d);
}

int KW_FormatInteger(int value, unsigned flags, char* text)
{
    static const char kLower[] = "0123456789abcdef";
    static const char kUpper[] = "0123456789ABCDEF";
    const unsigned base = (flags & 2) ? 16 : 10;
    const char* digits = ((flags & 2) && (flags & 4)) ? kUpper : kLower;
    bool negative = (flags & 1) && value < 0;
    uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char buffer[16];
    int n = 0;
    do {
        buffer[n++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude);
    int k = 0;
    if (negative)
        text[k++] = '-';
    while (n)
        text[k++] = buffer[--n];
    return k;
}

CKW_ByteString CKW_ByteString::FormatInteger(int value, unsigned flags)
{
    char text[KW_FORMAT_INTEGER_SIZE];
    return CKW_ByteString(text, KW_FormatInteger(value, flags, text));
}

CKW_ByteString CKW_ByteString::FormatFloat(float value, int precision)
{
    char buffer[64];
    int n = KW_ftoa(value, buffer, precision);
    return CKW_ByteString(buffer, n);
}

int KW_ftoa(float value, char* buffer, int flag)
{
    buffer[0] = '0';
    buffer[1] = 0;
    if (value == 0.0f)
        return 1;
    const bool negative = value < 0;
    const float m = negative ? -value : value;
    char* out = buffer;
    if (g_iPrecision <= 0) {
        unsigned r = static_cast<unsigned>(KWSYS_round(m));
        if (r > 2147483647u)
            r = 2147483647u;
        int64_t s = 1;
        int64_t v = r;
        if (r <= 99999u) {
            int step = 0;
            for (s = 10;; s *= 10) {
                ++step;
                v = KWSYS_round(static_cast<float>(s) * m);
                if (v >= 100000 || s >= 1000000 || (m > 10.0f && step >= 3))
                    break;
            }
            if (v == 0)
                return 1;
        }
        if (negative)
            *out++ = '-';
        char digits[24];
        KWSYS_i64toa(v / s, digits, 10);
        size_t len = strlen(digits);
        memcpy(out, digits, len);
        out += len;
        int64_t rest = v % s;
        if (rest) {
            *out++ = '.';
            while (rest && s > 1) {
                s /= 10;
                *out++ = static_cast<char>('0' + rest / s);
                rest %= s;
            }
        } else if (flag > 0) {
            *out++ = '.';
            *out++ = '0';
        }
        return static_cast<int>(out - buffer);
    }
    // Fixed number of fraction digits (g_iPrecision, at most 8).
    double whole = floor(static_cast<double>(m));
    int64_t i = whole >= 9.2e18 ? INT64_MAX : static_cast<int64_t>(whole);
    int64_t p = 1;
    for (int k = 0; k < (g_iPrecision < 8 ? g_iPrecision : 8); ++k)
        p *= 10;
    int64_t v = 0, s = 1;
    if (p >= 2) {
        const float f = m - static_cast<float>(whole);
        for (s = 10; s <= p; s *= 10)
            v = KWSYS_round(static_cast<float>(s) * f);
        s /= 10; // the scale of v
        if (v >= s) { // rounded up into the integer part
            ++i;
            v -= s;
        }
    }
    if (i == 0 && v == 0)
        return 1;
    if (negative)
        *out++ = '-';
    char digits[24];
    KWSYS_i64toa(i, digits, 10);
    size_t len = strlen(digits);
    memcpy(out, digits, len);
    out += len;
    *out++ = '.';
    if (v == 0) {
        *out++ = '0';
    } else {
        for (int64_t d = s / 10; d >= 1 && v; d /= 10) {
            *out++ = static_cast<char>('0' + v / d);
            v %= d;
        }
    }
    return static_cast<int>(out - buffer);
}

// ---------------------------------------------------------------------------
CKW_ByteString CKW_ByteString::LoadFromFile(const CKW_ByteStringC& path)
{
    CKW_ByteString result;
    std::string name(path.GetCStr() ? path.GetCStr() : "", static_cast<size_t>(path.GetLength()));
    FILE* f = fopen(name.c_str(), "rb");
    if (!f)
        return result;
    long size = -1;
    if (fseek(f, 0, SEEK_END) == 0)
        size = ftell(f);
    if (size > 0 && size <= kMaxLength && fseek(f, 0, SEEK_SET) == 0) {
        char* buffer = result.GetBuffer(static_cast<int>(size));
        // A short read is a failure: never hand out bytes that were not read.
        if (buffer && fread(buffer, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size))
            result.ReleaseBuffer(static_cast<int>(size));
        else
            result.Release();
    }
    fclose(f);
    return result;
}

// ---------------------------------------------------------------------------
void CKW_ByteStringL::Empty(_IKW_Allocator* allocator)
{
    KWMEM_FreeWith(allocator, m_Ptr);
    m_Ptr = nullptr;
    m_Length = 0;
}

char* CKW_ByteStringL::AllocBuffer(int length, _IKW_Allocator* allocator)
{
    Empty(allocator);
    if (length < 0)
        return nullptr;
    const size_t size = static_cast<size_t>(length) + 1;
    char* p = static_cast<char*>(allocator ? allocator->Alloc(allocator, size) : KWMEM_DefaultAlloc2(size, 1, 0));
    if (p) {
        m_Ptr = p;
        m_Length = length;
    }
    return p;
}

void CKW_ByteStringL::Set(const CKW_ByteStringC& text, _IKW_Allocator* allocator)
{
    Empty(allocator);
    if (!text.GetPtr() || text.GetLength() <= 0)
        return;
    const size_t size = static_cast<size_t>(text.GetLength()) + 1;
    char* p = static_cast<char*>(allocator ? allocator->Alloc(allocator, size) : KWMEM_DefaultAlloc2(size, 1, 0));
    if (!p)
        return;
    memcpy(p, text.GetPtr(), size - 1);
    p[size - 1] = 0;
    m_Ptr = p;
    m_Length = text.GetLength();
}
