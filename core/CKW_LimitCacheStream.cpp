#include "CKW_LimitCacheStream.h"

#include <string.h>

CKW_LimitCacheStream::CKW_LimitCacheStream(size_t expectedSize, size_t limit, size_t extra)
    : m_pBuffer(nullptr), m_nDataSize(0), m_nPosition(0), m_nCapacity(0), m_nHeld(0)
{
    if (expectedSize == 0 || extra > SIZE_MAX - expectedSize || expectedSize + extra > limit)
        return;
    m_pBuffer = static_cast<uint8_t*>(KWMEM_DefaultAlloc2(expectedSize + extra, 1, 0));
    if (m_pBuffer)
        m_nCapacity = expectedSize + extra;
}

CKW_LimitCacheStream::~CKW_LimitCacheStream()
{
    KWMEM_DefaultFree(m_pBuffer, 0);
}

void CKW_LimitCacheStream::Release()
{
    delete this;
}

IKW_FileStream* CKW_LimitCacheStream::Retain()
{
    return nullptr;
}

bool CKW_LimitCacheStream::IsEOF()
{
    return !m_pBuffer || static_cast<uint64_t>(m_nPosition) >= m_nDataSize;
}

int64_t CKW_LimitCacheStream::GetPosition()
{
    return m_pBuffer ? m_nPosition : static_cast<int64_t>(m_nDataSize);
}

int64_t CKW_LimitCacheStream::SetPosition(int64_t position)
{
    if (!m_pBuffer)
        return static_cast<int64_t>(m_nDataSize);
    if (position < 0)
        return -1;
    m_nPosition = position;
    return position;
}

size_t CKW_LimitCacheStream::ReadBlock(void* buffer, size_t size)
{
    if (!m_pBuffer || static_cast<uint64_t>(m_nPosition) >= m_nHeld)
        return 0;
    size_t left = m_nHeld - static_cast<size_t>(m_nPosition);
    if (size > left)
        size = left;
    memcpy(buffer, m_pBuffer + m_nPosition, size);
    m_nPosition += static_cast<int64_t>(size);
    return size;
}

bool CKW_LimitCacheStream::ReadBlock(void* buffer, int64_t offset, size_t size)
{
    if (!m_pBuffer || offset < 0 || static_cast<uint64_t>(offset) > m_nHeld
        || size > m_nHeld - static_cast<size_t>(offset))
        return false;
    memcpy(buffer, m_pBuffer + offset, size);
    return true;
}

int64_t CKW_LimitCacheStream::GetSize()
{
    return static_cast<int64_t>(m_nDataSize);
}

bool CKW_LimitCacheStream::Fits(size_t size) const
{
    return m_pBuffer && m_nDataSize <= m_nCapacity && size <= m_nCapacity - m_nDataSize;
}

bool CKW_LimitCacheStream::WriteBlock(const void* buffer, size_t size)
{
    if (size == 0)
        return true;
    if (Fits(size)) {
        memcpy(m_pBuffer + m_nDataSize, buffer, size);
        m_nHeld = static_cast<size_t>(m_nDataSize) + size;
    }
    m_nDataSize += size;
    return true;
}

bool CKW_LimitCacheStream::WriteBlock(const void* buffer, int64_t offset, size_t size)
{
    if (offset < 0 || static_cast<uint64_t>(offset) > m_nDataSize)
        return false;
    if (size == 0)
        return true;
    if (Fits(size)) {
        size_t at = static_cast<size_t>(offset);
        memmove(m_pBuffer + at + size, m_pBuffer + at, static_cast<size_t>(m_nDataSize) - at);
        memcpy(m_pBuffer + at, buffer, size);
        m_nHeld = static_cast<size_t>(m_nDataSize) + size;
    }
    m_nDataSize += size;
    return true;
}

bool CKW_LimitCacheStream::Flush()
{
    return true;
}
