#include "CKW_WideString.h"

#include "CKW_CharMap.h"
#include "KW_FormatDialect.h"
#include "KW_Memory.h"
#include "KW_Primitives.h"
#include "KW_UTF.h"

#include <errno.h>
#include <locale.h>
#include <string.h>

#include <new>
#include <string>

namespace {

const wchar_t kDefaultTrimSet[] = {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0};

inline size_t Bytes(int64_t chars) { return static_cast<size_t>(chars) * sizeof(wchar_t); }

bool FitsLength(int64_t n) { return n >= 0 && n <= CKW_WideString::kMaxLength; }

// Length of a NUL-terminated text, or -1 when it is too long for a string.
int64_t TextLength(const wchar_t* text)
{
    if (!text) return 0;
    size_t n = wcslen(text);
    return n > static_cast<size_t>(CKW_WideString::kMaxLength) ? -1 : static_cast<int64_t>(n);
}

void FreeData(CKW_WideStringData* data) { KWMEM_DefaultFree(data, 0); }

bool InBlock(const CKW_WideStringData* data, const wchar_t* p)
{
    return data && p && p >= data->m_String && p <= data->m_String + data->m_nAllocLength;
}

} // namespace

// ---- Blocks ----------------------------------------------------------------

CKW_WideStringData* CKW_WideString::AllocData(int64_t allocLength)
{
    if (!FitsLength(allocLength)) return nullptr;
    // Header (16 bytes), the characters, a terminator and 8 spare bytes.
    auto* data = static_cast<CKW_WideStringData*>(KWMEM_DefaultAlloc2(Bytes(allocLength) + 28, 1, 0));
    if (!data) return nullptr;
    data->m_nRefs = 1;
    data->m_nDataLength = static_cast<int32_t>(allocLength);
    data->m_nAllocLength = static_cast<int32_t>(allocLength);
    data->m_String[allocLength] = 0;
    return data;
}

void CKW_WideString::Release()
{
    if (!m_pData) return;
    if (m_pData->m_nRefs < 2)
        FreeData(m_pData);
    else
        --m_pData->m_nRefs;
    m_pData = nullptr;
}

bool CKW_WideString::MakePrivate()
{
    if (!IsShared()) return true;
    int len = m_pData->m_nDataLength;
    if (len == 0) {
        Release();
        return true;
    }
    CKW_WideStringData* copy = AllocData(len);
    if (!copy) return false;
    wmemcpy(copy->m_String, m_pData->m_String, len);
    Release();
    m_pData = copy;
    return true;
}

// ---- Construction and assignment ------------------------------------------

void CKW_WideString::InitStr(const wchar_t* text, int length)
{
    int64_t n = length;
    if (length < 0) {
        n = TextLength(text);
        if (n < 0) return;
    }
    if (!text || n <= 0) {
        Release();
        return;
    }
    CKW_WideStringData* data = AllocData(n);
    if (!data) return;
    wmemcpy(data->m_String, text, static_cast<size_t>(n));
    Release();
    m_pData = data;
}

CKW_WideString::CKW_WideString(const CKW_WideString& other) : m_pData(nullptr)
{
    if (other.IsEmpty()) return;
    if (other.m_pData->m_nRefs < 0) {
        AssignCopy(other.GetLength(), other.c_str());
    } else {
        m_pData = other.m_pData;
        ++m_pData->m_nRefs;
    }
}

CKW_WideString::CKW_WideString(wchar_t ch) : m_pData(AllocData(1))
{
    if (m_pData) m_pData->m_String[0] = ch;
}

CKW_WideString::CKW_WideString(const CKW_WideStringC& view) : m_pData(nullptr)
{
    if (!view.IsEmpty()) AssignCopy(view.GetLength(), view.GetPtr());
}

CKW_WideString::CKW_WideString(const CKW_WideStringC& a, const CKW_WideStringC& b) : m_pData(nullptr)
{
    int64_t total = static_cast<int64_t>(a.GetLength()) + b.GetLength();
    if (total == 0) return;
    m_pData = AllocData(total);
    if (!m_pData) return;
    if (a.GetLength()) wmemcpy(m_pData->m_String, a.GetPtr(), a.GetLength());
    if (b.GetLength()) wmemcpy(m_pData->m_String + a.GetLength(), b.GetPtr(), b.GetLength());
}

CKW_WideString::~CKW_WideString() { Release(); }

const CKW_WideString& CKW_WideString::operator=(const CKW_WideString& other)
{
    if (m_pData == other.m_pData) return *this;
    if (other.IsEmpty()) {
        Release();
        return *this;
    }
    bool sourceLocked = other.m_pData->m_nRefs < 0;
    bool targetLocked = m_pData && m_pData->m_nRefs < 0;
    if (!sourceLocked && !targetLocked) {
        Release();
        m_pData = other.m_pData;
        ++m_pData->m_nRefs;
    } else {
        AssignCopy(other.GetLength(), other.c_str());
    }
    return *this;
}

CKW_WideString& CKW_WideString::operator=(CKW_WideString&& other) noexcept
{
    if (this != &other) {
        Release();
        m_pData = other.m_pData;
        other.m_pData = nullptr;
    }
    return *this;
}

const CKW_WideString& CKW_WideString::operator=(const wchar_t* text)
{
    int64_t n = TextLength(text);
    if (n >= 0) AssignCopy(static_cast<int>(n), text);
    return *this;
}

const CKW_WideString& CKW_WideString::operator=(const CKW_WideStringC& view)
{
    AssignCopy(view.GetLength(), view.GetPtr());
    return *this;
}

void CKW_WideString::AssignCopy(int length, const wchar_t* text)
{
    if (length < 1 || !text) {
        Release();
        return;
    }
    if (IsOwned() && m_pData->m_nAllocLength >= length) {
        // In place (the text may lie inside this block); a lock is kept.
        wmemmove(m_pData->m_String, text, length);
        m_pData->m_nDataLength = length;
        m_pData->m_String[length] = 0;
        return;
    }
    CKW_WideStringData* data = AllocData(length);
    if (!data) return;
    wmemcpy(data->m_String, text, length);
    Release();
    m_pData = data;
}

void CKW_WideString::Empty() { Release(); }

// ---- Concatenation --------------------------------------------------------

void CKW_WideString::ConcatInPlace(int length, const wchar_t* text)
{
    if (length <= 0 || !text) return;
    if (!m_pData) {
        AssignCopy(length, text);
        return;
    }
    int64_t needed = static_cast<int64_t>(m_pData->m_nDataLength) + length;
    if (!FitsLength(needed)) return;
    if (IsOwned() && needed <= m_pData->m_nAllocLength) {
        wmemmove(m_pData->m_String + m_pData->m_nDataLength, text, length);
        m_pData->m_nDataLength = static_cast<int32_t>(needed);
        m_pData->m_String[needed] = 0;
        return;
    }
    ConcatCopy(m_pData->m_nDataLength, m_pData->m_String, length, text);
}

void CKW_WideString::ConcatCopy(int length1, const wchar_t* text1, int length2, const wchar_t* text2)
{
    if (length1 < 0 || length2 < 0) return;
    int64_t needed = static_cast<int64_t>(length1) + length2;
    if (!FitsLength(needed)) return;
    if (needed == 0) {
        Release();
        return;
    }
    // Grow by half again from the current capacity (at least 2), so that
    // repeated appends are amortised linear.
    int64_t capacity = m_pData && m_pData->m_nAllocLength > 2 ? m_pData->m_nAllocLength : 2;
    do {
        capacity = capacity * 3 / 2;
    } while (capacity < needed);
    if (capacity > kMaxLength) capacity = kMaxLength;
    CKW_WideStringData* data = AllocData(capacity);
    if (!data) return;
    if (length1) wmemcpy(data->m_String, text1, length1);
    if (length2) wmemcpy(data->m_String + length1, text2, length2);
    data->m_nDataLength = static_cast<int32_t>(needed);
    data->m_String[needed] = 0;
    Release();   // the texts may have pointed into the old block: released only now
    m_pData = data;
}

const CKW_WideString& CKW_WideString::operator+=(wchar_t ch)
{
    ConcatInPlace(1, &ch);
    return *this;
}

const CKW_WideString& CKW_WideString::operator+=(const wchar_t* text)
{
    int64_t n = TextLength(text);
    if (n > 0) ConcatInPlace(static_cast<int>(n), text);
    return *this;
}

const CKW_WideString& CKW_WideString::operator+=(const CKW_WideString& other)
{
    if (!other.IsEmpty()) ConcatInPlace(other.GetLength(), other.c_str());
    return *this;
}

const CKW_WideString& CKW_WideString::operator+=(const CKW_WideStringC& view)
{
    ConcatInPlace(view.GetLength(), view.GetPtr());
    return *this;
}

// ---- Access and comparison --------------------------------------------------

void CKW_WideString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength() || !MakePrivate()) return;
    m_pData->m_String[index] = ch;
}

bool CKW_WideString::Equal(const CKW_WideStringC& view) const
{
    int len = GetLength();
    return len == view.GetLength() && (len == 0 || wmemcmp(c_str(), view.GetPtr(), len) == 0);
}

int CKW_WideString::Compare(const CKW_WideString& other) const
{
    int a = GetLength(), b = other.GetLength();
    int common = a < b ? a : b;
    const wchar_t* p = c_str();
    const wchar_t* q = other.c_str();
    for (int i = 0; i < common; ++i) {
        int32_t x = static_cast<int32_t>(p[i]), y = static_cast<int32_t>(q[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a == b ? 0 : (a < b ? -1 : 1);
}

int CKW_WideString::Compare(const wchar_t* text) const
{
    bool textEmpty = !text || !*text;
    if (IsEmpty()) return textEmpty ? 0 : -1;
    if (!text) return 1;
    int r = wcscmp(c_str(), text);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CKW_WideString::CompareNoCase(const wchar_t* text) const
{
    bool textEmpty = !text || !*text;
    if (IsEmpty()) return textEmpty ? 0 : -1;
    if (!text) return 1;
    return KWSYS_wcsicmp(c_str(), text);
}

// ---- Buffer access ------------------------------------------------------------

wchar_t* CKW_WideString::GetBuffer(int minLength)
{
    if (minLength < 0) minLength = 0;
    if (!m_pData) {
        if (minLength == 0) return nullptr;
        CKW_WideStringData* data = AllocData(minLength);
        if (!data) return nullptr;
        data->m_nDataLength = 0;
        data->m_String[0] = 0;
        m_pData = data;
        return m_pData->m_String;
    }
    if (IsOwned() && m_pData->m_nAllocLength >= minLength) return m_pData->m_String;
    int len = m_pData->m_nDataLength;
    CKW_WideStringData* data = AllocData(minLength > len ? minLength : len);
    if (!data) return nullptr;
    wmemcpy(data->m_String, m_pData->m_String, static_cast<size_t>(len) + 1);
    data->m_nDataLength = len;
    Release();
    m_pData = data;
    return m_pData->m_String;
}

void CKW_WideString::ReleaseBuffer(int newLength)
{
    if (!m_pData) return;
    if (IsShared()) {
        CKW_WideStringData* copy = AllocData(m_pData->m_nDataLength);
        if (!copy) return;
        wmemcpy(copy->m_String, m_pData->m_String, m_pData->m_nDataLength);
        Release();
        m_pData = copy;
    }
    if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_pData->m_String, m_pData->m_nAllocLength));
    if (newLength == 0) {
        Release();
        return;
    }
    if (newLength > m_pData->m_nAllocLength) newLength = m_pData->m_nAllocLength;
    m_pData->m_nDataLength = newLength;
    m_pData->m_String[newLength] = 0;
}

wchar_t* CKW_WideString::LockBuffer()
{
    if (!m_pData) return nullptr;
    wchar_t* p = GetBuffer(0);
    if (!p) return nullptr;
    m_pData->m_nRefs = -1;
    return p;
}

void CKW_WideString::Reserve(int length)
{
    if (IsOwned() && m_pData->m_nAllocLength >= length) return;
    if (length < 1) return;
    int len = GetLength();
    CKW_WideStringData* data = AllocData(length > len ? length : len);
    if (!data) return;
    if (m_pData) wmemcpy(data->m_String, m_pData->m_String, len);
    data->m_nDataLength = len;
    data->m_String[len] = 0;
    Release();
    m_pData = data;
}

void CKW_WideString::CopyBeforeWrite() { MakePrivate(); }

void CKW_WideString::AllocBeforeWrite(int length)
{
    if (IsOwned() && m_pData->m_nAllocLength >= length && length >= 1) return;
    if (length < 1) {
        Release();
        return;
    }
    CKW_WideStringData* data = AllocData(length);
    if (!data) return;
    Release();
    m_pData = data;
}

// ---- Substrings -----------------------------------------------------------------

CKW_WideString CKW_WideString::Mid(int first, int count) const
{
    int len = GetLength();
    if (len == 0) return CKW_WideString();
    bool fromStart = first <= 0;
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    int64_t result = first > len ? 0 : static_cast<int64_t>(len) - first;
    if (count < result) result = count;
    if (fromStart && result == len) return *this;
    if (result <= 0) return CKW_WideString();
    return CKW_WideString(c_str() + first, static_cast<int>(result));
}

CKW_WideString CKW_WideString::Mid(int first) const
{
    int64_t count = static_cast<int64_t>(GetLength()) - first;
    if (count > kMaxLength) count = kMaxLength;
    return Mid(first, count < 0 ? 0 : static_cast<int>(count));
}

CKW_WideString CKW_WideString::Left(int count) const
{
    int len = GetLength();
    if (count < 0) count = 0;
    if (count >= len) return *this;
    if (count > 0) return CKW_WideString(c_str(), count);
    return CKW_WideString();
}

CKW_WideString CKW_WideString::Right(int count) const
{
    int len = GetLength();
    if (count < 0) count = 0;
    if (count >= len) return *this;
    if (count > 0) return CKW_WideString(c_str() + (len - count), count);
    return CKW_WideString();
}

// ---- Search ------------------------------------------------------------------------

int CKW_WideString::Find(wchar_t ch, int start) const
{
    int len = GetLength();
    if (start < 0) start = 0;
    if (len == 0 || start >= len) return -1;
    const wchar_t* p = wcschr(c_str() + start, ch);
    return p ? static_cast<int>(p - c_str()) : -1;
}

int CKW_WideString::Find(const wchar_t* sub, int start) const
{
    int len = GetLength();
    if (start < 0) start = 0;
    if (len < 1 || start > len || !sub) return -1;
    const wchar_t* p = wcsstr(c_str() + start, sub);
    return p ? static_cast<int>(p - c_str()) : -1;
}

int CKW_WideString::ReverseFind(wchar_t ch) const
{
    const wchar_t* p = c_str();
    for (int i = GetLength() - 1; i >= 0; --i)
        if (p[i] == ch) return i;
    return -1;
}

// ---- Editing -----------------------------------------------------------------------

int CKW_WideString::Insert(int index, wchar_t ch)
{
    int len = GetLength();
    if (index < 0) index = 0;
    if (index > len) index = len;
    if (len == 0) {
        CKW_WideString single(ch);
        if (!single.IsEmpty()) *this = static_cast<CKW_WideString&&>(single);
        return GetLength();
    }
    if (!FitsLength(static_cast<int64_t>(len) + 1) || !MakePrivate()) return len;
    if (m_pData->m_nAllocLength > len) {
        wmemmove(m_pData->m_String + index + 1, m_pData->m_String + index, static_cast<size_t>(len - index) + 1);
        m_pData->m_String[index] = ch;
        ++m_pData->m_nDataLength;
        return len + 1;
    }
    CKW_WideStringData* data = AllocData(static_cast<int64_t>(len) + 1);
    if (!data) return len;
    wmemcpy(data->m_String, m_pData->m_String, index);
    data->m_String[index] = ch;
    wmemcpy(data->m_String + index + 1, m_pData->m_String + index, len - index);
    Release();
    m_pData = data;
    return len + 1;
}

int CKW_WideString::Delete(int index, int count)
{
    int len = GetLength();
    if (len == 0) return 0;
    if (index < 0) index = 0;
    if (count < 1 || index >= len) return len;
    if (!MakePrivate()) return len;
    if (static_cast<int64_t>(index) + count >= len) {
        m_pData->m_nDataLength = index;
        m_pData->m_String[index] = 0;
        return index;
    }
    wmemmove(m_pData->m_String + index, m_pData->m_String + index + count, static_cast<size_t>(len - index - count) + 1);
    m_pData->m_nDataLength = len - count;
    return len - count;
}

int CKW_WideString::Remove(wchar_t ch)
{
    int len = GetLength();
    if (len == 0 || !MakePrivate()) return 0;
    wchar_t* p = m_pData->m_String;
    int out = 0;
    for (int i = 0; i < len; ++i)
        if (p[i] != ch) p[out++] = p[i];
    p[out] = 0;
    m_pData->m_nDataLength = out;
    return len - out;
}

int CKW_WideString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (IsEmpty() || !oldText || !*oldText) return 0;
    // Texts that point into this string's own block would change under our feet.
    std::wstring oldCopy, newCopy;
    if (InBlock(m_pData, oldText)) oldText = (oldCopy = oldText).c_str();
    if (newText && InBlock(m_pData, newText)) newText = (newCopy = newText).c_str();
    const int64_t oldLen = static_cast<int64_t>(wcslen(oldText));
    const int64_t newLen = newText ? static_cast<int64_t>(wcslen(newText)) : 0;
    if (oldLen > GetLength()) return 0;

    int64_t count = 0;
    for (const wchar_t* p = wcsstr(c_str(), oldText); p; p = wcsstr(p + oldLen, oldText)) ++count;
    if (count == 0) return 0;
    const int64_t len = GetLength();
    const int64_t resultLen = len + (newLen - oldLen) * count;
    if (!FitsLength(resultLen) || count > 0x7fffffff) return 0;

    if (!IsOwned() || m_pData->m_nAllocLength < resultLen) {
        // Built straight into a new block of exactly the new length.
        CKW_WideStringData* data = AllocData(resultLen);
        if (!data) return 0;
        const wchar_t* src = m_pData->m_String;
        const wchar_t* end = src + len;
        wchar_t* out = data->m_String;
        for (const wchar_t* p = wcsstr(src, oldText); p; p = wcsstr(p + oldLen, oldText)) {
            wmemcpy(out, src, p - src);
            out += p - src;
            if (newLen) wmemcpy(out, newText, static_cast<size_t>(newLen));
            out += newLen;
            src = p + oldLen;
        }
        wmemcpy(out, src, end - src);
        Release();
        m_pData = data;
        return static_cast<int>(count);
    }
    // In place: each tail moves by the difference; scanning goes on after the
    // inserted text.
    wchar_t* s = m_pData->m_String;
    int64_t curLen = len;
    int64_t pos = 0;
    for (wchar_t* p = wcsstr(s, oldText); p; p = wcsstr(s + pos, oldText)) {
        int64_t at = p - s;
        wmemmove(s + at + newLen, s + at + oldLen, static_cast<size_t>(curLen - at - oldLen) + 1);
        if (newLen) wmemcpy(s + at, newText, static_cast<size_t>(newLen));
        curLen += newLen - oldLen;
        pos = at + newLen;
    }
    m_pData->m_nDataLength = static_cast<int32_t>(curLen);
    return static_cast<int>(count);
}

void CKW_WideString::MakeLower()
{
    if (IsEmpty() || !MakePrivate()) return;
    KWSYS_wcslwr(m_pData->m_String);
}

void CKW_WideString::MakeUpper()
{
    if (IsEmpty() || !MakePrivate()) return;
    KWSYS_wcsupr(m_pData->m_String);
}

void CKW_WideString::TrimRight(const wchar_t* targets)
{
    if (!targets || !*targets || IsEmpty() || !MakePrivate()) return;
    wchar_t* s = m_pData->m_String;
    int len = m_pData->m_nDataLength;
    while (len > 0 && s[len - 1] != 0 && wcschr(targets, s[len - 1])) --len;
    m_pData->m_nDataLength = len;
    s[len] = 0;
}

void CKW_WideString::TrimRight(wchar_t target)
{
    if (IsEmpty() || !MakePrivate()) return;
    wchar_t* s = m_pData->m_String;
    int len = m_pData->m_nDataLength;
    while (len > 0 && s[len - 1] == target) --len;
    m_pData->m_nDataLength = len;
    s[len] = 0;
}

void CKW_WideString::TrimRight() { TrimRight(kDefaultTrimSet); }

void CKW_WideString::TrimLeft(const wchar_t* targets)
{
    if (!targets || !*targets || IsEmpty() || !MakePrivate()) return;
    wchar_t* s = m_pData->m_String;
    int len = m_pData->m_nDataLength;
    int skip = 0;
    while (skip < len && s[skip] != 0 && wcschr(targets, s[skip])) ++skip;
    if (!skip) return;
    wmemmove(s, s + skip, static_cast<size_t>(len - skip) + 1);
    m_pData->m_nDataLength = len - skip;
}

void CKW_WideString::TrimLeft(wchar_t target)
{
    if (IsEmpty() || !MakePrivate()) return;
    wchar_t* s = m_pData->m_String;
    int len = m_pData->m_nDataLength;
    int skip = 0;
    while (skip < len && s[skip] == target) ++skip;
    if (!skip) return;
    wmemmove(s, s + skip, static_cast<size_t>(len - skip) + 1);
    m_pData->m_nDataLength = len - skip;
}

void CKW_WideString::TrimLeft() { TrimLeft(kDefaultTrimSet); }

// ---- Formatting -----------------------------------------------------------------------

void CKW_WideString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

// The same dialect as the byte string (KW_FormatDialect.h). vswprintf cannot
// measure its output and reports a short buffer and an unconvertible byte
// string alike with -1, so the buffer grows only while the output did not fit,
// never past the bound the format walk gives, and a conversion error (EILSEQ)
// ends the call at once. A failure, running out of memory included, leaves
// the string as it was.
void CKW_WideString::FormatV(const wchar_t* format, va_list args)
{
    if (!format) return;
    kwformat::Plan<wchar_t> plan;
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
        *this = L"Bad width";
        return;
    }
    if (check == kwformat::Check::BadPrecision) {
        *this = L"Bad precision";
        return;
    }
    const uint64_t limit = (plan.bound < static_cast<uint64_t>(kMaxLength) ? plan.bound : kMaxLength) + 1;
    std::wstring result, buffer;
    const bool ok = kwformat::PrintPieces(plan, args, [&](const wchar_t* piece, va_list pieceArgs) {
        uint64_t capacity = limit < 256 ? limit : 256;
        for (;;) {
            try {
                buffer.assign(static_cast<size_t>(capacity), L'\0');
            } catch (const std::bad_alloc&) {
                return false;
            }
            va_list output;
            va_copy(output, pieceArgs);
            int error = 0;
            const int written = kwformat::WithCNumeric(plan.numeric, [&] {
                errno = 0;
                const int n = vswprintf(&buffer[0], buffer.size(), piece, output);
                error = errno;
                return n;
            });
            va_end(output);
            if (written >= 0) {
                if (result.size() + static_cast<size_t>(written) > static_cast<size_t>(kMaxLength)) return false;
                try {
                    result.append(buffer.data(), static_cast<size_t>(written));
                } catch (const std::bad_alloc&) {
                    return false;
                }
                return true;
            }
            if (error == EILSEQ || capacity >= limit) return false;   // unconvertible, or past the bound
            capacity = capacity * 4 < limit ? capacity * 4 : limit;
        }
    });
    if (!ok) return;   // the string stays as it was
    if (result.empty()) {
        Release();
        return;
    }
    AssignCopy(static_cast<int>(result.size()), result.data());
}

// ---- Encodings --------------------------------------------------------------------------

CKW_ByteString CKW_WideString::UTF8Encode() const { return KW_UTF8Encode(c_str(), GetLength()); }

CKW_ByteString CKW_WideString::UTF16LE_Encode(bool terminate) const
{
    const int len = GetLength();
    int64_t units = 0;
    for (int i = 0; i < len; ++i) {
        uint32_t c = static_cast<uint32_t>(m_pData->m_String[i]);
        units += (c >= 0x10000 && c <= 0x10FFFF) ? 2 : 1;
    }
    int64_t bytes = units * 2 + (terminate ? 2 : 0);
    if (bytes == 0 || bytes > CKW_ByteString::kMaxLength) return CKW_ByteString();
    CKW_ByteString result;
    char* out = result.GetBuffer(static_cast<int>(bytes));
    if (!out) return CKW_ByteString();
    size_t k = 0;
    auto put = [&](uint32_t u) {
        out[k++] = static_cast<char>(u & 0xFF);
        out[k++] = static_cast<char>((u >> 8) & 0xFF);
    };
    for (int i = 0; i < len; ++i) {
        uint32_t c = static_cast<uint32_t>(m_pData->m_String[i]);
        if (c > 0x10FFFF) c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    if (terminate) put(0);
    result.ReleaseBuffer(static_cast<int>(bytes));
    return result;
}

void CKW_WideString::ConvertFrom(const CKW_ByteString& bytes, CKW_CharMap* map)
{
    if (!map) map = CKW_CharMap::GetDefaultMapper(0);
    if (!map || !map->m_GetWideString) return;
    *this = map->m_GetWideString(map, bytes);
}

CKW_WideString CKW_WideString::FromLocal(const char* bytes, int length)
{
    CKW_WideString result;
    result.ConvertFrom(CKW_ByteString(bytes, length), nullptr);
    return result;
}

CKW_WideString CKW_WideString::FromUTF8(const char* bytes, int length)
{
    if (!bytes || length == 0) return CKW_WideString();
    size_t n = length < 0 ? strlen(bytes) : static_cast<size_t>(length);
    if (n == 0) return CKW_WideString();
    // Never more characters than bytes, so one buffer of n characters holds
    // the result; input whose worst case does not fit a string is refused.
    if (n > static_cast<size_t>(kMaxLength)) return CKW_WideString();
    CKW_WideString result;
    wchar_t* out = result.GetBuffer(static_cast<int>(n));
    if (!out) return CKW_WideString();
    size_t produced = KW_UTF8DecodeBulk(reinterpret_cast<const unsigned char*>(bytes), n, out);
    result.ReleaseBuffer(static_cast<int>(produced));
    return result;
}

int CKW_WideString::WStringLength(const unsigned short* units)
{
    if (!units) return 0;
    int64_t n = 0;
    while (units[n] && n < kMaxLength) ++n;
    return static_cast<int>(n);
}

namespace {

CKW_WideString FromUTF16(const unsigned short* units, int length, bool swap)
{
    if (!units || length == 0) return CKW_WideString();
    if (length < 0) length = CKW_WideString::WStringLength(units);
    if (length == 0 || length > CKW_WideString::kMaxLength) return CKW_WideString();
    CKW_WideString result;
    wchar_t* out = result.GetBuffer(length);
    if (!out) return CKW_WideString();
    int produced = 0;
    if (!swap) {
        produced = KW_UTF16ToWCharCopy(units, out, length);
    } else {
        std::basic_string<unsigned short> swapped(units, units + length);
        for (auto& u : swapped) u = static_cast<unsigned short>((u >> 8) | (u << 8));
        produced = KW_UTF16ToWCharCopy(swapped.data(), out, length);
    }
    result.ReleaseBuffer(produced);
    return result;
}

} // namespace

CKW_WideString CKW_WideString::FromUTF16LE(const unsigned short* units, int length) { return FromUTF16(units, length, false); }

CKW_WideString CKW_WideString::FromUTF16BE(const unsigned short* units, int length) { return FromUTF16(units, length, true); }

// ---- Numbers ------------------------------------------------------------------------------

int CKW_WideString::GetInteger() const { return IsEmpty() ? 0 : KWSYS_wtoi(c_str()); }

float CKW_WideString::GetFloat() const { return KW_wtof(c_str(), GetLength()); }

float KW_wtof(const wchar_t* text, int length)
{
    if (!text) return 0.0f;
    if (length < 0) length = static_cast<int>(wcsnlen(text, CKW_WideString::kMaxLength));
    int i = 0;
    bool negative = false;
    if (i < length && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Digits accumulate in double precision: long runs saturate to infinity
    // instead of overflowing an integer.
    double value = 0.0;
    while (i < length && text[i] >= L'0' && text[i] <= L'9') {
        value = value * 10.0 + (text[i] - L'0');
        ++i;
    }
    if (i < length && text[i] == L'.') {
        ++i;
        double fraction = 0.0, scale = 1.0;
        while (i < length && text[i] >= L'0' && text[i] <= L'9') {
            if (scale < 1e18) {   // digits past the 18th cannot change a float
                fraction = fraction * 10.0 + (text[i] - L'0');
                scale *= 10.0;
            }
            ++i;
        }
        value += fraction / scale;
    }
    return static_cast<float>(negative ? -value : value);
}

// ---- Allocator-bound string ------------------------------------------------------------------

void CKW_WideStringL::Empty(_IKW_Allocator* allocator)
{
    KWMEM_FreeWith(allocator, m_Ptr);
    m_Ptr = nullptr;
    m_Length = 0;
}

void CKW_WideStringL::Set(const CKW_WideStringC& text, _IKW_Allocator* allocator)
{
    Empty(allocator);
    int len = text.GetLength();
    if (!text.GetPtr() || len <= 0 || len > CKW_WideString::kMaxLength) return;
    size_t bytes = (static_cast<size_t>(len) + 1) * sizeof(wchar_t);
    wchar_t* p = static_cast<wchar_t*>(allocator ? allocator->Alloc(allocator, bytes)
                                                 : KWMEM_DefaultAlloc2(static_cast<size_t>(len) + 1, sizeof(wchar_t), 0));
    if (!p) return;
    wmemcpy(p, text.GetPtr(), len);
    p[len] = 0;
    m_Ptr = p;
    m_Length = len;
}

void CKW_WideStringL::TrimRight(const wchar_t* targets)
{
    if (!targets || !*targets || !m_Ptr || m_Length == 0) return;
    while (m_Length > 0 && m_Ptr[m_Length - 1] != 0 && wcschr(targets, m_Ptr[m_Length - 1])) --m_Length;
    m_Ptr[m_Length] = 0;
}

int CKW_WideStringL::GetInteger() const { return m_Ptr && m_Length ? KWSYS_wtoi(m_Ptr) : 0; }

float CKW_WideStringL::GetFloat() const { return KW_wtof(m_Ptr, m_Length); }
