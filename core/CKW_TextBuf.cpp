#include "CKW_TextBuf.h"

#include "KW_Memory.h"
#include "KW_Primitives.h"

#include <string.h>

namespace {

const int64_t kMaxSize = 0x7fffffff;

// Digits of KW_ftoa / KWSYS_itoa; 64 bytes hold any of them.
enum { kNumberBuffer = 64 };

} // namespace

CKW_BinaryBuf::CKW_BinaryBuf(_IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_AllocStep(0), m_pBuffer(nullptr), m_DataSize(0), m_AllocSize(0)
{
}

CKW_BinaryBuf::CKW_BinaryBuf(int size, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_AllocStep(0), m_pBuffer(nullptr), m_DataSize(0), m_AllocSize(0)
{
    if (size <= 0) return;
    void* p = allocator ? allocator->Alloc(allocator, static_cast<size_t>(size))
                        : KWMEM_DefaultAlloc2(static_cast<size_t>(size), 1, 0);
    if (!p) return;
    m_pBuffer = static_cast<uint8_t*>(p);
    m_DataSize = m_AllocSize = size;
}

CKW_BinaryBuf::~CKW_BinaryBuf() { FreeBuffer(); }

void CKW_BinaryBuf::FreeBuffer()
{
    if (!m_pBuffer) return;
    if (m_pAllocator)
        m_pAllocator->Free(m_pAllocator, m_pBuffer);
    else
        KWMEM_DefaultFree(m_pBuffer, 0);
    m_pBuffer = nullptr;
}

bool CKW_BinaryBuf::EstimateSize(int size, int step)
{
    m_AllocStep = step < 0 ? 0 : step;
    if (m_AllocSize >= size) return true;
    return ExpandBuf(size - m_DataSize);
}

bool CKW_BinaryBuf::ExpandBuf(int addSize)
{
    if (addSize < 0) return false;
    const int64_t needed = static_cast<int64_t>(m_DataSize) + addSize;
    if (needed > kMaxSize) return false;
    if (m_AllocSize >= needed) return true;
    int64_t step = m_AllocStep;
    if (step <= 0) {
        step = m_AllocSize / 4;
        if (step < 128) step = 128;
    }
    int64_t newSize = (needed + step - 1) / step * step;
    if (newSize > kMaxSize) newSize = needed;   // the rounding alone must not make it fail
    void* p;
    if (m_pBuffer)
        p = m_pAllocator ? m_pAllocator->Realloc(m_pAllocator, m_pBuffer, static_cast<size_t>(newSize))
                         : KWMEM_DefaultRealloc2(m_pBuffer, static_cast<size_t>(newSize), 1, 0);
    else
        p = m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, static_cast<size_t>(newSize))
                         : KWMEM_DefaultAlloc2(static_cast<size_t>(newSize), 1, 0);
    if (!p) return false;
    m_pBuffer = static_cast<uint8_t*>(p);
    m_AllocSize = static_cast<int>(newSize);
    return true;
}

bool CKW_BinaryBuf::CopyData(const void* data, int size)
{
    if (size < 0) return false;
    if (size == 0) {
        m_DataSize = 0;
        return true;
    }
    if (m_AllocSize < size) {
        // Grow as if appending to an empty buffer; the old data is replaced anyway.
        int keep = m_DataSize;
        m_DataSize = 0;
        bool ok = ExpandBuf(size);
        m_DataSize = keep;
        if (!ok) return false;
    }
    if (!m_pBuffer) return false;
    if (data) memmove(m_pBuffer, data, static_cast<size_t>(size));
    m_DataSize = size;
    return true;
}

bool CKW_BinaryBuf::AppendBlock(const void* data, int size)
{
    // Data from this buffer itself is found again at its offset after growth.
    const uint8_t* src = static_cast<const uint8_t*>(data);
    int64_t inside = -1;
    if (src && m_pBuffer && src >= m_pBuffer && src < m_pBuffer + m_AllocSize) inside = src - m_pBuffer;
    if (size < 0 || !ExpandBuf(size)) return false;
    if (size == 0) return true;
    if (!m_pBuffer) return false;   // detached: the memory belongs to someone else
    if (inside >= 0) src = m_pBuffer + inside;
    if (src) memmove(m_pBuffer + m_DataSize, src, static_cast<size_t>(size));
    m_DataSize += size;
    return true;
}

bool CKW_BinaryBuf::InsertBlock(int position, const void* data, int size)
{
    if (size < 0 || position < 0 || position > m_DataSize) return false;
    if (size == 0) return true;
    // The data may lie inside this buffer, which may move when it grows.
    if (data && m_pBuffer && static_cast<const uint8_t*>(data) >= m_pBuffer &&
        static_cast<const uint8_t*>(data) < m_pBuffer + m_AllocSize) {
        CKW_BinaryBuf copy(m_pAllocator);
        if (!copy.AppendBlock(data, size)) return false;
        return InsertBlock(position, copy.GetBuffer(), size);
    }
    if (!ExpandBuf(size) || !m_pBuffer) return false;
    memmove(m_pBuffer + position + size, m_pBuffer + position, static_cast<size_t>(m_DataSize - position));
    if (data) memcpy(m_pBuffer + position, data, static_cast<size_t>(size));
    m_DataSize += size;
    return true;
}

bool CKW_BinaryBuf::AppendFill(unsigned char byte, int count)
{
    if (count < 0 || !ExpandBuf(count)) return false;
    if (count == 0) return true;
    if (!m_pBuffer) return false;
    memset(m_pBuffer + m_DataSize, byte, static_cast<size_t>(count));
    m_DataSize += count;
    return true;
}

void CKW_BinaryBuf::Delete(int start, int count)
{
    if (start < 0 || count < 0 || !m_pBuffer || static_cast<int64_t>(start) + count > m_DataSize) return;
    memmove(m_pBuffer + start, m_pBuffer + start + count, static_cast<size_t>(m_DataSize - start - count));
    m_DataSize -= count;
}

void CKW_BinaryBuf::DetachBuffer()
{
    m_pBuffer = nullptr;
    m_DataSize = 0;
}

void CKW_BinaryBuf::AttachData(void* buffer, int size)
{
    FreeBuffer();
    m_pBuffer = static_cast<uint8_t*>(buffer);
    m_DataSize = m_AllocSize = buffer && size > 0 ? size : 0;
}

void CKW_BinaryBuf::TakeOver(CKW_BinaryBuf& other)
{
    if (&other == this) return;
    FreeBuffer();
    // The block goes on being grown and freed by the allocator that made it.
    m_pAllocator = other.m_pAllocator;
    m_pBuffer = other.m_pBuffer;
    m_DataSize = m_AllocSize = other.m_DataSize;
    other.m_pBuffer = nullptr;
    other.m_DataSize = 0;
}

void CKW_BinaryBuf::GetByteStringL(CKW_ByteStringL& out) const { out.Set(GetByteString(), m_pAllocator); }

// ---- Byte text ---------------------------------------------------------------

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(const CKW_ByteStringC& text)
{
    AppendBlock(text.GetPtr(), text.GetLength());
    return *this;
}

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(int value)
{
    char digits[kNumberBuffer];
    KWSYS_itoa(value, digits, 10);
    return *this << CKW_ByteStringC(digits);
}

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(unsigned int value) { return *this << static_cast<int>(value); }

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(long long value)
{
    char digits[kNumberBuffer];
    KWSYS_i64toa(value, digits, 10);
    return *this << CKW_ByteStringC(digits);
}

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(double value)
{
    char digits[kNumberBuffer] = {};
    int n = KW_ftoa(static_cast<float>(value), digits, 0);
    return *this << CKW_ByteStringC(digits, n);
}

CKW_ByteTextBuf& CKW_ByteTextBuf::operator<<(const CKW_ByteTextBuf& other)
{
    AppendBlock(other.GetBuffer(), other.GetSize());
    return *this;
}

CKW_ByteTextBuf& CKW_ByteTextBuf::operator=(const CKW_ByteStringC& text)
{
    CopyData(text.GetPtr(), text.GetLength());
    return *this;
}

// ---- Wide text ------------------------------------------------------------------

namespace {

bool AppendChars(CKW_WideTextBuf& buf, const wchar_t* text, int64_t count)
{
    if (count <= 0) return true;
    if (count > kMaxSize / static_cast<int64_t>(sizeof(wchar_t))) return false;
    return buf.AppendBlock(text, static_cast<int>(count * sizeof(wchar_t)));
}

void AppendNarrow(CKW_WideTextBuf& buf, const char* text, int n)
{
    wchar_t wide[kNumberBuffer];
    for (int i = 0; i < n; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    AppendChars(buf, wide, n);
}

} // namespace

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(const CKW_WideStringC& text)
{
    AppendChars(*this, text.GetPtr(), text.GetLength());
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(const CKW_WideString& text)
{
    AppendChars(*this, text.c_str(), text.GetLength());
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(const wchar_t* text)
{
    if (text) AppendChars(*this, text, static_cast<int64_t>(wcslen(text)));
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(const CKW_WideTextBuf& other)
{
    AppendBlock(other.GetBuffer(), other.GetSize());
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(int value)
{
    char digits[kNumberBuffer];
    KWSYS_itoa(value, digits, 10);
    AppendNarrow(*this, digits, static_cast<int>(strlen(digits)));
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator<<(double value)
{
    char digits[kNumberBuffer] = {};
    int n = KW_ftoa(static_cast<float>(value), digits, 0);
    AppendNarrow(*this, digits, n);
    return *this;
}

CKW_WideTextBuf& CKW_WideTextBuf::operator=(const CKW_WideStringC& text)
{
    int64_t bytes = static_cast<int64_t>(text.GetLength()) * sizeof(wchar_t);
    if (bytes <= kMaxSize) CopyData(text.GetPtr(), static_cast<int>(bytes));
    return *this;
}

void CKW_WideTextBuf::GetWideStringL(CKW_WideStringL& out) const { out.Set(GetWideString(), m_pAllocator); }

// ---- Fixed-capacity byte text -------------------------------------------------------

void CKW_StringBufBase::Copy(const CKW_ByteStringC& text)
{
    int n = text.GetLength() < m_Limit ? text.GetLength() : m_Limit;
    if (n > 0) memmove(m_pChars, text.GetPtr(), static_cast<size_t>(n));
    m_Size = n;
}

void CKW_StringBufBase::Append(const CKW_ByteStringC& text)
{
    int room = m_Limit - m_Size;
    int n = text.GetLength() < room ? text.GetLength() : room;
    if (n <= 0) return;
    memmove(m_pChars + m_Size, text.GetPtr(), static_cast<size_t>(n));
    m_Size += n;
}

// Formatted on the stack: this buffer never asks the heap for anything.
void CKW_StringBufBase::Append(int value, unsigned flags)
{
    char text[KW_FORMAT_INTEGER_SIZE];
    Append(CKW_ByteStringC(text, KW_FormatInteger(value, flags, text)));
}

// The byte string's assignment from a buffer lives with the buffers.
const CKW_ByteString& CKW_ByteString::operator=(const CKW_BinaryBuf& buffer)
{
    Load(buffer.GetBuffer(), buffer.GetSize());
    return *this;
}
