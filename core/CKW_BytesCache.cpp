#include "CKW_BytesCache.h"

#include <stdint.h>
#include <string.h>

namespace {

// offset + size as a stream offset; false when it does not fit in one.
bool EndOf(int64_t offset, uint64_t size, int64_t* end)
{
    return size <= static_cast<uint64_t>(INT64_MAX) && !__builtin_add_overflow(offset, static_cast<int64_t>(size), end);
}

} // namespace

CKW_ContinuousBytesCache::~CKW_ContinuousBytesCache()
{
    KWMEM_DefaultFree(m_pBuffer, 0);
}

void CKW_ContinuousBytesCache::LoadFromFile(IKW_FileRead* file, int64_t offset, size_t size)
{
    if (!file)
        return;
    memset(m_pBuffer, 0, m_nCapacity);
    size_t n = size < m_nCapacity ? size : m_nCapacity;
    int64_t end = 0;
    m_nStart = offset;
    m_nLength = (n && EndOf(offset, n, &end) && file->ReadBlock(m_pBuffer, offset, n)) ? n : 0;
}

KW_BytesRange CKW_ContinuousBytesCache::ReadCached(void* destination, const KW_BytesRange& request)
{
    // A request whose end lies beyond the last stream offset names no bytes.
    int64_t requestEnd = 0;
    int64_t windowEnd = 0;
    if (request.size <= 0 || m_nLength == 0 || !EndOf(request.offset, static_cast<uint64_t>(request.size), &requestEnd)
        || !EndOf(m_nStart, m_nLength, &windowEnd))
        return {request.offset, 0};
    int64_t from = request.offset > m_nStart ? request.offset : m_nStart;
    int64_t to = requestEnd < windowEnd ? requestEnd : windowEnd;
    if (to <= from)
        return {request.offset, 0};
    memcpy(static_cast<uint8_t*>(destination) + (from - request.offset), m_pBuffer + (from - m_nStart),
           static_cast<size_t>(to - from));
    return {from, to - from};
}

void CKW_ContinuousBytesCache::PutBytes(const void* data, int64_t offset, size_t size)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    // Bytes that would end beyond the last stream offset are refused: the
    // window keeps what it has.
    int64_t end = 0;
    int64_t windowEnd = 0;
    if (!EndOf(offset, size, &end) || !EndOf(m_nStart, m_nLength, &windowEnd))
        return;
    bool touches = end == m_nStart || windowEnd == offset;
    if (touches && size < m_nCapacity) {
        if (m_nStart > offset) {
            size_t keep = m_nLength < m_nCapacity - size ? m_nLength : m_nCapacity - size;
            memmove(m_pBuffer + size, m_pBuffer, keep);
            if (size)
                memcpy(m_pBuffer, bytes, size);
            m_nStart = offset;
            m_nLength = size + keep;
        } else if (m_nCapacity - m_nLength >= size) {
            if (size)
                memcpy(m_pBuffer + m_nLength, bytes, size);
            m_nLength += size;
        } else {
            size_t keep = m_nCapacity - size;
            size_t dropped = m_nLength - keep;
            memmove(m_pBuffer, m_pBuffer + dropped, keep);
            memset(m_pBuffer + keep, 0, m_nCapacity - keep);
            memcpy(m_pBuffer + keep, bytes, size);
            m_nStart += static_cast<int64_t>(dropped);
            m_nLength = m_nCapacity;
        }
        return;
    }
    memset(m_pBuffer, 0, m_nCapacity);
    m_nLength = size < m_nCapacity ? size : m_nCapacity;
    if (m_nLength)
        memcpy(m_pBuffer, bytes + (size - m_nLength), m_nLength);
    m_nStart = end - static_cast<int64_t>(m_nLength);
}

void CKW_ContinuousBytesCache::ClearCache()
{
    m_nStart = 0;
    m_nLength = 0;
    memset(m_pBuffer, 0, m_nCapacity);
}

CKW_ContinuousBytesCache* KW_CreateContinuousBytesCache(size_t capacity)
{
    if (capacity == 0)
        return nullptr;
    CKW_ContinuousBytesCache* cache = new CKW_ContinuousBytesCache;
    if (!cache)
        return nullptr;
    cache->m_pBuffer = static_cast<uint8_t*>(KWMEM_DefaultAlloc2(capacity, 1, 0));
    if (!cache->m_pBuffer) {
        delete cache;
        return nullptr;
    }
    memset(cache->m_pBuffer, 0, capacity);
    cache->m_nCapacity = capacity;
    return cache;
}
