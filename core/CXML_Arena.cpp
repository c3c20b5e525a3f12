#include "CXML_Arena.h"

#include <cstdlib>
#include <cstring>

// Every block is preceded by one 8-byte word: its usable size shifted left
// by one, with bit 0 set for a large block (whose word ends its Large
// record).
struct CXML_Arena::Chunk {
    Chunk* next;
    size_t size;   // bytes after this record
};

struct CXML_Arena::Large {
    Large* prev;
    Large* next;
    uint64_t word;
};

namespace {

const size_t kWord = sizeof(uint64_t);

inline size_t RoundUp(size_t size)
{
    return (size + 7) & ~(size_t)7;
}

inline uint64_t& WordOf(void* p)
{
    return *(uint64_t*)((uint8_t*)p - kWord);
}

} // namespace

// Nearly every block of a tree is small and fits the current chunk: that
// path is kept to a few instructions, inlined into the allocator entries.
inline void* CXML_Arena::Allocate(size_t size)
{
    const size_t need = kWord + RoundUp(size + (size == 0));
    if (size <= m_nSmallLimit && need <= (size_t)(m_pEnd - m_pTop)) {
        uint8_t* p = m_pTop + kWord;
        WordOf(p) = (uint64_t)(need - kWord) << 1;
        m_pTop += need;
        m_pLast = p;
        return p;
    }
    return AllocateSlow(size);
}

CXML_Arena::CXML_Arena(size_t chunkSize)
    : m_pChunks(nullptr), m_pLarge(nullptr), m_pTop(nullptr), m_pEnd(nullptr), m_pLast(nullptr),
      m_nChunkSize(chunkSize < 1024 ? 1024 : chunkSize), m_nFirstChunkSize(m_nChunkSize),
      m_nSmallLimit(m_nFirstChunkSize / 4), m_nHeapBlocks(0), m_nHeapBytes(0)
{
    AllocDebug = [](_IKW_Allocator* a, size_t size, const char*, int) {
        return static_cast<CXML_Arena*>(a)->Allocate(size);
    };
    Alloc = [](_IKW_Allocator* a, size_t size) { return static_cast<CXML_Arena*>(a)->Allocate(size); };
    ReallocDebug = [](_IKW_Allocator* a, void* p, size_t size, const char*, int) {
        return static_cast<CXML_Arena*>(a)->Resize(p, size);
    };
    Realloc = [](_IKW_Allocator* a, void* p, size_t size) { return static_cast<CXML_Arena*>(a)->Resize(p, size); };
    Free = &FreeEntry;
}

void CXML_Arena::FreeEntry(_IKW_Allocator* allocator, void* p)
{
    static_cast<CXML_Arena*>(allocator)->Release(p);
}

CXML_Arena::~CXML_Arena()
{
    Reset();
}

void CXML_Arena::Reset()
{
    while (m_pChunks) {
        Chunk* next = m_pChunks->next;
        free(m_pChunks);
        m_pChunks = next;
    }
    while (m_pLarge) {
        Large* next = m_pLarge->next;
        free(m_pLarge);
        m_pLarge = next;
    }
    m_pTop = m_pEnd = m_pLast = nullptr;
    m_nChunkSize = m_nFirstChunkSize;
    m_nHeapBlocks = 0;
    m_nHeapBytes = 0;
}

bool CXML_Arena::NewChunk(size_t need)
{
    size_t size = m_nChunkSize;
    if (size < need)
        size = need;
    Chunk* chunk = (Chunk*)malloc(sizeof(Chunk) + size);
    if (!chunk)
        return false;
    chunk->next = m_pChunks;
    chunk->size = size;
    m_pChunks = chunk;
    m_pTop = (uint8_t*)(chunk + 1);
    m_pEnd = m_pTop + size;
    m_pLast = nullptr;
    m_nHeapBlocks++;
    m_nHeapBytes += sizeof(Chunk) + size;
    // Each chunk twice the last, up to a bound: a small document takes one
    // small chunk, a large one a few dozen.
    if (m_nChunkSize < kMaxChunkSize)
        m_nChunkSize *= 2;
    return true;
}

void* CXML_Arena::AllocateLarge(size_t size)
{
    if (size > ((uint64_t)1 << 62) || size > SIZE_MAX - sizeof(Large))
        return nullptr;
    Large* block = (Large*)malloc(sizeof(Large) + size);
    if (!block)
        return nullptr;
    block->prev = nullptr;
    block->next = m_pLarge;
    if (m_pLarge)
        m_pLarge->prev = block;
    m_pLarge = block;
    block->word = ((uint64_t)size << 1) | 1;
    m_nHeapBlocks++;
    m_nHeapBytes += sizeof(Large) + size;
    return block + 1;
}

// Blocks too large for a chunk, or the first block of a new chunk.
void* CXML_Arena::AllocateSlow(size_t size)
{
    if (size == 0)
        size = 1;
    if (size > m_nSmallLimit)
        return AllocateLarge(RoundUp(size));
    size_t need = kWord + RoundUp(size);
    if ((size_t)(m_pEnd - m_pTop) < need && !NewChunk(need))
        return nullptr;
    uint8_t* p = m_pTop + kWord;
    WordOf(p) = (uint64_t)(need - kWord) << 1;
    m_pTop += need;
    m_pLast = p;
    return p;
}

void CXML_Arena::Release(void* p)
{
    if (!p)
        return;
    uint64_t word = WordOf(p);
    if (word & 1) {
        Large* block = (Large*)p - 1;
        if (block->prev)
            block->prev->next = block->next;
        else
            m_pLarge = block->next;
        if (block->next)
            block->next->prev = block->prev;
        m_nHeapBlocks--;
        m_nHeapBytes -= sizeof(Large) + (size_t)(word >> 1);
        free(block);
        return;
    }
    // Only the block carved last can be taken back.
    if (p == m_pLast) {
        m_pTop = (uint8_t*)p - kWord;
        m_pLast = nullptr;
    }
}

void* CXML_Arena::Resize(void* p, size_t size)
{
    if (!p)
        return Allocate(size);
    if (size == 0)
        size = 1;
    const uint64_t word = WordOf(p);
    const size_t old = (size_t)(word >> 1);
    if (word & 1) {
        if (size > m_nSmallLimit) {
            size = RoundUp(size);
            if (size > SIZE_MAX - sizeof(Large))
                return nullptr;
            Large* block = (Large*)p - 1;
            Large* moved = (Large*)realloc(block, sizeof(Large) + size);
            if (!moved)
                return nullptr;
            if (moved->prev)
                moved->prev->next = moved;
            else
                m_pLarge = moved;
            if (moved->next)
                moved->next->prev = moved;
            moved->word = ((uint64_t)size << 1) | 1;
            m_nHeapBytes = m_nHeapBytes - old + size;
            return moved + 1;
        }
    } else {
        size_t round = RoundUp(size);
        if (round <= old)
            return p;
        // The last block grows where it stands when the chunk has room.
        if (p == m_pLast && (size_t)(m_pEnd - (uint8_t*)p) >= round && round <= m_nSmallLimit) {
            WordOf(p) = (uint64_t)round << 1;
            m_pTop = (uint8_t*)p + round;
            return p;
        }
    }
    void* q = Allocate(size);
    if (!q)
        return nullptr;
    memcpy(q, p, old < size ? old : size);
    Release(p);
    return q;
}
