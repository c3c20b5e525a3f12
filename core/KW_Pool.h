// Small-object pool and the pool manager.
//
// Requests of 1 to 1024 bytes are served from 4096-byte pools inside 256 KiB
// arenas, one size class per 16 bytes; everything else goes to fallback
// functions (the C library through the static default manager). Blocks are
// aligned to 16 bytes. A block is recognised as a pool block only through a
// process-wide map of arena addresses (arenas are aligned to their size), so
// a foreign block is never mistaken for one and its memory is never touched.
#ifndef KW_POOL_H
#define KW_POOL_H

#include <stddef.h>
#include <stdint.h>

#include "KW_Memory.h"
#include "KW_Platform.h"

enum {
    KWPOOL_ALIGNMENT = 16,
    KWPOOL_SMALL_REQUEST = 1024,
    KWPOOL_SIZE_CLASSES = KWPOOL_SMALL_REQUEST / KWPOOL_ALIGNMENT,
    KWPOOL_POOL_SIZE = 4096,
    KWPOOL_ARENA_SIZE = 256 * 1024,
    KWPOOL_POOL_OVERHEAD = 48,
};

struct KW_PoolHeader {
    uint32_t ref;                 // used blocks
    uint8_t* freeblock;           // free-block list head
    KW_PoolHeader* nextpool;
    KW_PoolHeader* prevpool;
    uint32_t arenaindex;
    uint32_t szidx;               // 0xFFFF for a pool never used
    uint32_t nextoffset;          // next never-used block
    uint32_t maxnextoffset;
};
static_assert(sizeof(KW_PoolHeader) == KWPOOL_POOL_OVERHEAD, "pool header size");

struct KW_ArenaObject {
    uintptr_t address;            // 0 when the record is spare
    uint8_t* pool_address;        // next never-used pool
    uint32_t nfreepools;
    uint32_t ntotalpools;
    KW_PoolHeader* freepools;
    KW_ArenaObject* nextarena;
    KW_ArenaObject* prevarena;
};

enum KW_PoolStateWord : uint32_t { KWPOOL_ACTIVE = 0, KWPOOL_DISCARDING = 1, KWPOOL_RELEASED = 0xFFFFFFFFu };

struct KW_PyObjectState {
    KW_ArenaObject* arenas;
    uint32_t maxarenas;
    KW_ArenaObject* unused_arena_objects;
    KW_ArenaObject* usable_arenas;
    KW_ArenaObject* nfp2lasta[KWPOOL_ARENA_SIZE / KWPOOL_POOL_SIZE + 1];
    uint64_t narenas_currently_allocated;
    void* (*fallbackAlloc)(size_t size);
    int (*fallbackFree)(void* p);
    void* (*fallbackRealloc)(void* p, size_t size);
    uint32_t state;
    // Class lists: each head is linked like a pool header (points at itself
    // when empty). Held per state, so every state is independent.
    KW_PoolHeader usedpools[KWPOOL_SIZE_CLASSES];
};

// Zero-fills the state and installs the fallbacks (the static default manager).
void _PyObject_Init(KW_PyObjectState* state);
void* _PyObject_Malloc(KW_PyObjectState* state, size_t size);
int _PyObject_Free(KW_PyObjectState* state, void* p);
void* _PyObject_Realloc(KW_PyObjectState* state, void* p, size_t size);
void _PyObject_Discard(KW_PyObjectState* state);
void _PyObject_TryPurge(KW_PyObjectState* state);
// Whether p lies in one of the state's arenas.
bool _PyObject_IsPoolBlock(const KW_PyObjectState* state, const void* p);
// Block size of a pool block (0 for a foreign block).
size_t _PyObject_BlockSize(const KW_PyObjectState* state, const void* p);
// The state whose arena holds p, or null. Lock-free: any thread may ask about
// any address without touching the memory it points to.
KW_PyObjectState* _PyObject_StateOf(const void* p);

// The pool manager. Its entries run the pool under its mutex; the static
// manager (KWMEM_CreatePyMgr) lets each thread keep a few free blocks per
// size class, so that most requests and frees take no lock. Blocks kept by a
// thread go back to the pool when the pool is discarded (the discarding
// thread's at once, another thread's at its next call) and when the thread
// ends; a block may be freed on any thread.
struct CKWMEM_PyMgr {
    _KWMEM_SystemMgr m_SystemMgr;
    KW_PyObjectState m_State;
    _KW_MUTEX m_Mutex;

    CKWMEM_PyMgr();
    void Discard();
};

// The static pool manager behind KWMEM_CreatePyMgr (for tests and tools).
CKWMEM_PyMgr* KWMEM_GetPyMgr();
// The pool manager's record when p lies in one of its arenas, else null.
// Lock-free, so that every manager can route a pool block back to the pool.
CKW_MemoryMgr* KWMEM_PoolBlockMaker(const void* p);
// Frees a block that KWMEM_PoolBlockMaker has just named as the pool's,
// without asking the map again.
void KWMEM_PoolFreeBlock(void* p);

#endif // KW_POOL_H
