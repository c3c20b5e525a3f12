#include "CKW_FileCache.h"

#include <new>
#include <string.h>

CKW_FileCache::CKW_FileCache(_IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_nChunkSize(0), m_nChunkCount(0), m_nUsed(0), m_nLastHit(0), m_nStamp(0),
      m_pChunks(nullptr)
{
}

CKW_FileCache::~CKW_FileCache()
{
    Empty();
}

bool CKW_FileCache::InitChunk(int32_t chunkSize, int32_t chunkCount, uint8_t* buffer)
{
    if (!buffer)
        return true;
    if (chunkSize < 1 || chunkCount < 1)
        return false;
    Chunk* table = static_cast<Chunk*>(
        m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, static_cast<size_t>(chunkCount) * sizeof(Chunk))
                     : KWMEM_DefaultAlloc2(static_cast<size_t>(chunkCount), sizeof(Chunk), 0));
    if (!table)
        return false;
    Empty();
    m_pChunks = table;
    m_nChunkSize = chunkSize;
    m_nChunkCount = chunkCount;
    memset(table, 0, static_cast<size_t>(chunkCount) * sizeof(Chunk));
    for (int32_t i = 0; i < chunkCount; ++i)
        table[i].buffer = buffer + static_cast<size_t>(i) * static_cast<size_t>(chunkSize);
    return true;
}

void CKW_FileCache::Clear()
{
    m_nLastHit = 0;
    for (int32_t i = 0; i < m_nUsed; ++i) {
        m_pChunks[i].offset = 0;
        m_pChunks[i].stamp = 0;
    }
    m_nUsed = 0;
}

void CKW_FileCache::Empty()
{
    KWMEM_FreeWith(m_pAllocator, m_pChunks);
    m_pChunks = nullptr;
    m_nChunkSize = 0;
    m_nChunkCount = 0;
    m_nUsed = 0;
    m_nLastHit = 0;
}

CKW_FileCache::Chunk* CKW_FileCache::SearchChunk(int32_t& index, int64_t chunkOffset)
{
    if (m_nUsed == 0) {
        index = 0;
        return nullptr;
    }
    int32_t last = m_nLastHit < m_nUsed ? m_nLastHit : 0;
    if (m_pChunks[last].offset == chunkOffset) {
        index = last;
        return &m_pChunks[last];
    }
    int32_t lo = 0;
    int32_t hi = m_nUsed;
    if (m_pChunks[last].offset > chunkOffset)
        hi = last;
    else
        lo = last + 1;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        if (m_pChunks[mid].offset < chunkOffset)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    if (lo < m_nUsed && m_pChunks[lo].offset == chunkOffset)
        return &m_pChunks[lo];
    return nullptr;
}

int32_t CKW_FileCache::FindMiniRefChunk() const
{
    if (m_nChunkCount < 1)
        return 0;
    int32_t best = 0;
    for (int32_t i = 1; i < m_nChunkCount; ++i) {
        if (m_pChunks[i].stamp < m_pChunks[best].stamp)
            best = i;
    }
    return best;
}

void CKW_FileCache::DropChunk(int32_t index)
{
    Chunk dropped = m_pChunks[index];
    memmove(&m_pChunks[index], &m_pChunks[index + 1], static_cast<size_t>(m_nUsed - index - 1) * sizeof(Chunk));
    dropped.offset = 0;
    dropped.stamp = 0;
    m_pChunks[m_nUsed - 1] = dropped;
    --m_nUsed;
    m_nLastHit = 0;
}

CKW_FileCache::Chunk* CKW_FileCache::CacheChunk(int32_t& index, int64_t chunkOffset, IKW_FileRead* file)
{
    if (!m_pChunks || !file)
        return nullptr;
    int32_t victim;
    if (m_nUsed < m_nChunkCount)
        victim = m_nUsed++;
    else
        victim = FindMiniRefChunk();
    int64_t size = file->GetSize() - chunkOffset;
    if (size > m_nChunkSize)
        size = m_nChunkSize;
    if (size <= 0 || !file->ReadBlock(m_pChunks[victim].buffer, chunkOffset, static_cast<size_t>(size))) {
        DropChunk(victim);
        return nullptr;
    }
    Chunk loaded = m_pChunks[victim];
    loaded.offset = chunkOffset;
    int32_t place = index;
    if (place > victim) {
        --place;
        memmove(&m_pChunks[victim], &m_pChunks[victim + 1], static_cast<size_t>(place - victim) * sizeof(Chunk));
    } else if (place < victim) {
        memmove(&m_pChunks[place + 1], &m_pChunks[place], static_cast<size_t>(victim - place) * sizeof(Chunk));
    }
    m_pChunks[place] = loaded;
    index = place;
    return &m_pChunks[place];
}

CKW_FileCache::Chunk* CKW_FileCache::Touch(int32_t index)
{
    m_pChunks[index].stamp = ++m_nStamp;
    m_nLastHit = index;
    return &m_pChunks[index];
}

bool CKW_FileCache::ReadBlock(IKW_FileRead* file, void* buffer, int64_t offset, size_t size)
{
    if (!file)
        return false;
    if (!m_pChunks)
        return file->ReadBlock(buffer, offset, size);
    int64_t fileSize = file->GetSize();
    if (offset < 0 || size == 0 || offset > fileSize || size > static_cast<uint64_t>(fileSize - offset))
        return false;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    int64_t position = offset;
    int64_t chunkOffset = offset - offset % m_nChunkSize;
    int32_t index = 0;
    Chunk* chunk = SearchChunk(index, chunkOffset);
    for (;;) {
        if (!chunk) {
            chunk = CacheChunk(index, chunkOffset, file);
            if (!chunk)
                return false;
        }
        size_t inChunk = static_cast<size_t>(position - chunkOffset);
        size_t n = static_cast<size_t>(m_nChunkSize) - inChunk;
        if (n > size)
            n = size;
        memcpy(out, chunk->buffer + inChunk, n);
        Touch(index);
        out += n;
        size -= n;
        if (size == 0)
            return true;
        position += static_cast<int64_t>(n);
        chunkOffset += m_nChunkSize;
        ++index;
        chunk = (index < m_nUsed && m_pChunks[index].offset == position) ? &m_pChunks[index] : nullptr;
    }
}

bool CKW_FileCache::PreCache(IKW_FileRead* file, int64_t offset, int32_t count)
{
    if (!m_pChunks || !file || offset < 0 || count < 1)
        return false;
    int64_t fileSize = file->GetSize();
    if (offset >= fileSize)
        return false;
    int64_t chunkOffset = offset - offset % m_nChunkSize;
    for (int32_t i = 0; i < count && chunkOffset < fileSize; ++i) {
        int32_t index = 0;
        Chunk* chunk = SearchChunk(index, chunkOffset);
        if (!chunk && !CacheChunk(index, chunkOffset, file))
            return false;
        Touch(index);
        chunkOffset += m_nChunkSize;
    }
    return true;
}

// ---------------------------------------------------------------------------

namespace {
const int32_t kMinimumChunk = 4096;
}

CKW_CachedFileRead::CKW_CachedFileRead() : m_pPrivate(nullptr), m_nRefCount(1)
{
    KWCRT_Mutex_Initialize(&m_Mutex);
}

CKW_CachedFileRead::~CKW_CachedFileRead()
{
    if (m_pPrivate) {
        if (m_pPrivate->takeOver && m_pPrivate->file)
            m_pPrivate->file->Release();
        _IKW_Allocator* allocator = m_pPrivate->cache.m_pAllocator;
        m_pPrivate->~Private();
        KWMEM_FreeWith(allocator, m_pPrivate);
    }
    KW_Mutex_Destroy(&m_Mutex);
}

bool CKW_CachedFileRead::Init(int32_t chunkSize, int32_t chunkCount, uint8_t* buffer, _IKW_Allocator* allocator)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (m_pPrivate)
        return false;
    void* p = allocator ? allocator->Alloc(allocator, sizeof(Private)) : KWMEM_DefaultAlloc2(1, sizeof(Private), 0);
    if (!p)
        return false;
    Private* record = ::new (p) Private(allocator);
    if (buffer) {
        if (chunkSize < kMinimumChunk)
            chunkSize = chunkCount = 0;
        if (!record->cache.InitChunk(chunkSize, chunkCount, buffer)) {
            record->~Private();
            KWMEM_FreeWith(allocator, record);
            return false;
        }
    }
    m_pPrivate = record;
    return true;
}

bool CKW_CachedFileRead::AttachFile(IKW_FileRead* file, bool takeOver)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!m_pPrivate)
        return false;
    if (m_pPrivate->takeOver && m_pPrivate->file && m_pPrivate->file != file)
        m_pPrivate->file->Release();
    m_pPrivate->file = file;
    m_pPrivate->takeOver = takeOver;
    m_pPrivate->cache.m_nLastHit = 0;
    m_pPrivate->cache.m_nStamp = 0;
    m_pPrivate->cache.Clear();
    return true;
}

bool CKW_CachedFileRead::PreCache(int64_t offset, int32_t count)
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_pPrivate && m_pPrivate->cache.PreCache(m_pPrivate->file, offset, count);
}

void CKW_CachedFileRead::Release()
{
    KW_Mutex_Lock(&m_Mutex);
    bool last = --m_nRefCount == 0;
    KW_Mutex_Unlock(&m_Mutex);
    // The object itself always comes from operator new; the record's
    // allocator only serves the record and the chunk table.
    if (last)
        delete this;
}

IKW_FileStream* CKW_CachedFileRead::Retain()
{
    CKW_MutexLocker lock(&m_Mutex);
    ++m_nRefCount;
    return this;
}

int64_t CKW_CachedFileRead::GetSize()
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_pPrivate && m_pPrivate->file ? m_pPrivate->file->GetSize() : 0;
}

int64_t CKW_CachedFileRead::GetPosition()
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_pPrivate ? m_pPrivate->position : 0;
}

bool CKW_CachedFileRead::IsEOF()
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!m_pPrivate || !m_pPrivate->file)
        return true;
    return m_pPrivate->position >= m_pPrivate->file->GetSize();
}

bool CKW_CachedFileRead::ReadBlock(void* buffer, int64_t offset, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!m_pPrivate || !m_pPrivate->file || offset < 0 || size == 0)
        return false;
    int64_t fileSize = m_pPrivate->file->GetSize();
    if (offset > fileSize || size > static_cast<uint64_t>(fileSize - offset))
        return false;
    if (!m_pPrivate->cache.ReadBlock(m_pPrivate->file, buffer, offset, size))
        return false;
    m_pPrivate->position = offset + static_cast<int64_t>(size);
    return true;
}

size_t CKW_CachedFileRead::ReadBlock(void* buffer, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!m_pPrivate || !m_pPrivate->file)
        return 0;
    int64_t fileSize = m_pPrivate->file->GetSize();
    int64_t position = m_pPrivate->position;
    if (position >= fileSize)
        return 0;
    if (size > static_cast<uint64_t>(fileSize - position))
        size = static_cast<size_t>(fileSize - position);
    return ReadBlock(buffer, position, size) ? size : 0;
}

bool CKW_CachedFileRead::WriteBlock(const void*, int64_t, size_t)
{
    return false;
}

bool CKW_CachedFileRead::WriteBlock(const void*, size_t)
{
    return false;
}

bool CKW_CachedFileRead::Flush()
{
    return false;
}
