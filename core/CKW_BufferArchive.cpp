#include "CKW_BufferArchive.h"

#include "CKW_CRTFileStream.h"

#include "IKW_Stream.h"
#include "KW_Memory.h"
#include "KW_Primitives.h"

#include <limits.h>
#include <string.h>

IKW_BufferArchive::IKW_BufferArchive(int bufferSize, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_BufSize(bufferSize), m_pBuffer(nullptr), m_Length(0)
{
}

IKW_BufferArchive::~IKW_BufferArchive() { KWMEM_FreeWith(m_pAllocator, m_pBuffer); }

void IKW_BufferArchive::Clear()
{
    m_Length = 0;
    KWMEM_FreeWith(m_pAllocator, m_pBuffer);
    m_pBuffer = nullptr;
}

int IKW_BufferArchive::AppendBlock(const void* data, size_t size)
{
    if (!data || size == 0)
        return 0;
    // No room to copy into would never finish; a size beyond int could not
    // be reported.
    if (m_BufSize <= 0 || size > (size_t)INT_MAX)
        return -1;
    if (!m_pBuffer) {
        m_pBuffer = (uint8_t*)(m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, (size_t)m_BufSize)
                                            : KWMEM_DefaultAlloc2((size_t)m_BufSize, 1, 0));
        if (!m_pBuffer)
            return -1;
        m_Length = 0;
    }
    const uint8_t* p = (const uint8_t*)data;
    size_t left = size;
    while (left > 0) {
        size_t chunk = (size_t)(m_BufSize - m_Length);
        if (chunk > left)
            chunk = left;
        memcpy(m_pBuffer + m_Length, p, chunk);
        m_Length += (int)chunk;
        p += chunk;
        left -= chunk;
        if (m_Length == m_BufSize) {
            m_Length = 0;
            if (!DoWork(m_pBuffer, (size_t)m_BufSize))
                return -1;
        }
    }
    return (int)size;
}

int IKW_BufferArchive::AppendDWord(uint32_t value)
{
    char text[21];
    KWSYS_i64toa((long long)value, text, 10);
    return AppendBlock(text, strlen(text));
}

int IKW_BufferArchive::AppendInt64(int64_t value)
{
    char text[21];
    KWSYS_i64toa((long long)value, text, 10);
    return AppendBlock(text, strlen(text));
}

bool IKW_BufferArchive::Flush()
{
    const bool ok = DoWork(m_pBuffer, (size_t)m_Length);
    m_Length = 0;
    return ok;
}

// ---- CKW_FileBufferArchive ------------------------------------------------------------

CKW_FileBufferArchive::CKW_FileBufferArchive(int bufferSize, _IKW_Allocator* allocator)
    : IKW_BufferArchive(bufferSize, allocator), m_pFile(nullptr), m_bTakeOver(false)
{
}

CKW_FileBufferArchive::~CKW_FileBufferArchive() { LetStreamGo(); }

void CKW_FileBufferArchive::LetStreamGo()
{
    if (m_pFile && m_bTakeOver)
        m_pFile->Release();
    m_pFile = nullptr;
    m_bTakeOver = false;
}

bool CKW_FileBufferArchive::AttachFile(IKW_StreamWrite* stream, bool takeOver)
{
    if (!stream)
        return false;
    if (stream != m_pFile)   // the same stream again must not be released under us
        LetStreamGo();
    m_pFile = stream;
    m_bTakeOver = takeOver;
    return true;
}

bool CKW_FileBufferArchive::AttachFile(const wchar_t* path)
{
    if (!path)
        return false;
    LetStreamGo();
    IKW_FileWrite* file = KW_CreateFileWrite(path, nullptr);
    return file && AttachFile(file, true);
}

bool CKW_FileBufferArchive::AttachFile(const char* path)
{
    if (!path)
        return false;
    LetStreamGo();
    IKW_FileWrite* file = KW_CreateFileWrite(path, nullptr);
    return file && AttachFile(file, true);
}

bool CKW_FileBufferArchive::DoWork(const void* data, size_t size)
{
    if (!m_pFile)
        return false;
    if (!data || size == 0)
        return true;
    return m_pFile->WriteBlock(data, size);
}

bool CKW_FileBufferArchive::Flush()
{
    const bool ok = DoWork(m_pBuffer, (size_t)m_Length);
    m_Length = 0;
    if (!ok)
        return false;
    return m_pFile ? m_pFile->Flush() : true;
}

void CKW_FileBufferArchive::Clear()
{
    LetStreamGo();
    IKW_BufferArchive::Clear();
}
