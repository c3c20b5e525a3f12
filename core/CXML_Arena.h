// Per-document arena for XML trees: an allocator interface to hand to
// CXML_Element::Parse (or to build or clone a tree with), so that a whole
// tree lives in a few large blocks instead of about a dozen heap blocks per
// element.
//
// Small blocks are carved one after another out of chunks; freeing one gives
// its memory back only when it is the last one carved (so a string that is
// replaced right after it was made costs nothing), otherwise the memory stays
// until the arena goes. Realloc grows the last block in place when there is
// room and otherwise copies into a new block, so nothing is ever dropped.
// Large blocks (above a quarter of a chunk) get a heap block of their own and
// are really resized and freed, so the growing arrays and the reader's own
// buffers do not leave copies behind.
//
// The tree is used as always: destroy the root (CXML_Element::Destroy)
// before the arena, whose destructor releases everything at once. No lock:
// one arena serves one thread at a time, like the tree it holds. Blocks are
// aligned to 8 bytes, which every record of the tree needs.
#ifndef CXML_ARENA_H
#define CXML_ARENA_H

#include "KW_Memory.h"

#include <cstddef>
#include <cstdint>

class CXML_Arena : public _IKW_Allocator {
public:
    explicit CXML_Arena(size_t chunkSize = kDefaultChunkSize);
    CXML_Arena(const CXML_Arena&) = delete;
    CXML_Arena& operator=(const CXML_Arena&) = delete;
    ~CXML_Arena();

    enum : size_t { kDefaultChunkSize = 64 * 1024, kMaxChunkSize = 4 * 1024 * 1024 };

    // Releases every block at once; the arena can be used again.
    void Reset();

    // Whether the allocator is an arena: its small blocks need not be
    // returned one by one, as they all go when the arena does.
    static bool IsArena(const _IKW_Allocator* allocator) { return allocator && allocator->Free == &FreeEntry; }

    // Heap blocks the arena holds (chunks and large blocks), and their bytes.
    size_t GetHeapBlocks() const { return m_nHeapBlocks; }
    size_t GetHeapBytes() const { return m_nHeapBytes; }

private:
    static void FreeEntry(_IKW_Allocator* allocator, void* p);

    struct Chunk;
    struct Large;

    void* Allocate(size_t size);
    void* AllocateSlow(size_t size);
    void* Resize(void* p, size_t size);
    void Release(void* p);
    bool NewChunk(size_t need);
    void* AllocateLarge(size_t size);

    Chunk* m_pChunks;     // newest first; blocks are carved from the newest
    Large* m_pLarge;      // doubly linked, newest first
    uint8_t* m_pTop;      // next free byte of the newest chunk
    uint8_t* m_pEnd;      // end of the newest chunk
    uint8_t* m_pLast;     // the last small block carved, or null
    size_t m_nChunkSize;  // size of the next chunk
    size_t m_nFirstChunkSize;
    size_t m_nSmallLimit;  // larger blocks get a heap block of their own
    size_t m_nHeapBlocks;
    size_t m_nHeapBytes;
};

#endif
