#include "KW_Pool.h"

#include <pthread.h>

#include <atomic>
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {

constexpr uint32_t kDummySizeIndex = 0xFFFF;
constexpr uint32_t kInitialArenaObjects = 16;
constexpr uintptr_t kPoolMask = KWPOOL_POOL_SIZE - 1;

inline uint32_t IndexToSize(uint32_t index) { return (index + 1) * KWPOOL_ALIGNMENT; }
inline KW_PoolHeader* PoolOf(const void* p)
{
    return reinterpret_cast<KW_PoolHeader*>(reinterpret_cast<uintptr_t>(p) & ~kPoolMask);
}

// --- fallbacks: the static default record, flags 0 ------------------------------
void* FallbackAlloc(size_t size)
{
    CKW_MemoryMgr* m = KWMEM_GetStaticDefaultMgr();
    void* r = m->m_pSystemMgr->Alloc(m->m_pSystemMgr, size, 0);
    if (m->m_pDebugger && m->m_pDebugger->OnAlloc)
        m->m_pDebugger->OnAlloc(m, r, size, 0);
    if (!r && m->m_pOOMHandler)
        m->m_pOOMHandler(m, m->m_pOOMHandlerParam);
    return r;
}

void* FallbackRealloc(void* p, size_t size)
{
    CKW_MemoryMgr* m = KWMEM_GetStaticDefaultMgr();
    void* r = m->m_pSystemMgr->Realloc(m->m_pSystemMgr, p, size, 0);
    if (m->m_pDebugger && m->m_pDebugger->OnRealloc)
        m->m_pDebugger->OnRealloc(m, p, r, size, 0);
    if (!r && m->m_pOOMHandler)
        m->m_pOOMHandler(m, m->m_pOOMHandlerParam);
    return r;
}

int FallbackFree(void* p)
{
    if (!p)
        return 1;
    CKW_MemoryMgr* m = KWMEM_GetStaticDefaultMgr();
    if (m->m_pDebugger && m->m_pDebugger->OnFree)
        m->m_pDebugger->OnFree(m, p, 0);
    m->m_pSystemMgr->Free(m->m_pSystemMgr, p, 0);
    return 1;
}

// --- arena map ---------------------------------------------------------------------
// Every arena is aligned to its size, so an address names its arena slot by
// its upper bits. The slots form a two-level table of atomics: a free, a
// realloc or an ownership question on any thread reads two words and never
// takes a lock. A leaf is made on the first arena of its 8 GiB range and
// kept for the life of the process (an arena is made only under its pool's
// mutex, so leaves are made one at a time per pool; a lost race frees its leaf).
constexpr unsigned kArenaShift = 18;   // log2 KWPOOL_ARENA_SIZE
static_assert((1u << kArenaShift) == KWPOOL_ARENA_SIZE, "arena size");
constexpr unsigned kAddressBits = 48;
constexpr unsigned kLeafBits = 15;
constexpr unsigned kRootBits = kAddressBits - kArenaShift - kLeafBits;
using ArenaLeaf = std::atomic<KW_PyObjectState*>[size_t(1) << kLeafBits];
std::atomic<ArenaLeaf*> g_ArenaRoot[size_t(1) << kRootBits];

inline bool MapSlot(uintptr_t address, uintptr_t& root, uintptr_t& leaf)
{
    if (address >> kAddressBits)
        return false;
    const uintptr_t slot = address >> kArenaShift;
    root = slot >> kLeafBits;
    leaf = slot & ((uintptr_t(1) << kLeafBits) - 1);
    return true;
}

bool MapArena(uintptr_t address, KW_PyObjectState* s)
{
    uintptr_t root, leaf;
    if (!MapSlot(address, root, leaf))
        return false;
    ArenaLeaf* table = g_ArenaRoot[root].load(std::memory_order_acquire);
    if (!table) {
        ArenaLeaf* fresh = static_cast<ArenaLeaf*>(calloc(1, sizeof(ArenaLeaf)));
        if (!fresh)
            return false;
        if (g_ArenaRoot[root].compare_exchange_strong(table, fresh, std::memory_order_acq_rel))
            table = fresh;
        else
            free(fresh);
    }
    (*table)[leaf].store(s, std::memory_order_release);
    return true;
}

// Cleared before the arena's memory goes back, so that a malloc block later
// placed there is never taken for a pool block.
void UnmapArena(uintptr_t address)
{
    uintptr_t root, leaf;
    if (!MapSlot(address, root, leaf))
        return;
    if (ArenaLeaf* table = g_ArenaRoot[root].load(std::memory_order_acquire))
        (*table)[leaf].store(nullptr, std::memory_order_release);
}

inline KW_PyObjectState* StateOf(const void* p)
{
    uintptr_t root, leaf;
    if (!p || !MapSlot(reinterpret_cast<uintptr_t>(p), root, leaf))
        return nullptr;
    ArenaLeaf* table = g_ArenaRoot[root].load(std::memory_order_acquire);
    return table ? (*table)[leaf].load(std::memory_order_acquire) : nullptr;
}

// --- arena lookup -------------------------------------------------------------------
// The arena record holding p, or null: the arena map names the state, and
// the pool header names the record, which must lead back to the same arena.
KW_ArenaObject* ArenaOf(const KW_PyObjectState* s, const void* p)
{
    if (StateOf(p) != s)
        return nullptr;
    const uint32_t index = PoolOf(p)->arenaindex;
    if (index >= s->maxarenas)
        return nullptr;
    KW_ArenaObject* a = &s->arenas[index];
    const uintptr_t base = reinterpret_cast<uintptr_t>(p) & ~uintptr_t(KWPOOL_ARENA_SIZE - 1);
    return a->address == base ? a : nullptr;
}

// --- arenas --------------------------------------------------------------------------
KW_ArenaObject* NewArena(KW_PyObjectState* s)
{
    if (!s->unused_arena_objects) {
        // Grow the record array (16 at first, then doubled). No record is
        // referenced by pointer while this runs: there is no usable arena.
        uint32_t count = s->maxarenas ? s->maxarenas * 2 : kInitialArenaObjects;
        if (count <= s->maxarenas || count > UINT32_MAX / 2)
            return nullptr;
        KW_ArenaObject* grown = static_cast<KW_ArenaObject*>(realloc(s->arenas, sizeof(KW_ArenaObject) * count));
        if (!grown)
            return nullptr;
        s->arenas = grown;
        for (uint32_t i = s->maxarenas; i < count; ++i) {
            grown[i].address = 0;
            grown[i].nextarena = i + 1 < count ? &grown[i + 1] : nullptr;
        }
        s->unused_arena_objects = &grown[s->maxarenas];
        s->maxarenas = count;
    }
    KW_ArenaObject* a = s->unused_arena_objects;
    // Arenas are aligned to their size, so every one holds a whole number of pools.
    void* memory = aligned_alloc(KWPOOL_ARENA_SIZE, KWPOOL_ARENA_SIZE);
    if (!memory)
        return nullptr;
    if (!MapArena(reinterpret_cast<uintptr_t>(memory), s)) {
        free(memory);
        return nullptr;
    }
    s->unused_arena_objects = a->nextarena;
    a->address = reinterpret_cast<uintptr_t>(memory);
    ++s->narenas_currently_allocated;
    a->freepools = nullptr;
    a->pool_address = static_cast<uint8_t*>(memory);
    a->nfreepools = KWPOOL_ARENA_SIZE / KWPOOL_POOL_SIZE;
    const uintptr_t excess = a->address & kPoolMask;
    if (excess) {
        --a->nfreepools;
        a->pool_address += KWPOOL_POOL_SIZE - excess;
    }
    a->ntotalpools = a->nfreepools;
    return a;
}

void ReleaseArena(KW_PyObjectState* s, KW_ArenaObject* a)
{
    UnmapArena(a->address);
    free(reinterpret_cast<void*>(a->address));
    a->address = 0;
    a->nextarena = s->unused_arena_objects;
    s->unused_arena_objects = a;
    --s->narenas_currently_allocated;
}

void InitClassLists(KW_PyObjectState* s)
{
    for (auto& head : s->usedpools) {
        head.nextpool = &head;
        head.prevpool = &head;
    }
}

// --- allocation ----------------------------------------------------------------------
// The free list ran out: carve the next never-used block, or the pool is full
// and leaves its class list.
void ExtendPool(KW_PoolHeader* pool, uint32_t size)
{
    if (pool->nextoffset <= pool->maxnextoffset) {
        pool->freeblock = reinterpret_cast<uint8_t*>(pool) + pool->nextoffset;
        pool->nextoffset += IndexToSize(size);
        *reinterpret_cast<uint8_t**>(pool->freeblock) = nullptr;
    } else {
        pool->nextpool->prevpool = pool->prevpool;
        pool->prevpool->nextpool = pool->nextpool;
    }
}

void* AllocFromNewPool(KW_PyObjectState* s, uint32_t size)
{
    if (!s->usable_arenas) {
        s->usable_arenas = NewArena(s);
        if (!s->usable_arenas)
            return nullptr;
        s->usable_arenas->nextarena = s->usable_arenas->prevarena = nullptr;
        s->nfp2lasta[s->usable_arenas->nfreepools] = s->usable_arenas;
    }
    KW_ArenaObject* ua = s->usable_arenas;
    if (s->nfp2lasta[ua->nfreepools] == ua)
        s->nfp2lasta[ua->nfreepools] = nullptr;
    if (ua->nfreepools > 1)
        s->nfp2lasta[ua->nfreepools - 1] = ua;

    KW_PoolHeader* pool = ua->freepools;
    if (pool) {
        ua->freepools = pool->nextpool;
    } else {
        pool = reinterpret_cast<KW_PoolHeader*>(ua->pool_address);
        pool->arenaindex = static_cast<uint32_t>(ua - s->arenas);
        pool->szidx = kDummySizeIndex;
        ua->pool_address += KWPOOL_POOL_SIZE;
    }
    if (--ua->nfreepools == 0) {
        s->usable_arenas = ua->nextarena;
        if (s->usable_arenas)
            s->usable_arenas->prevarena = nullptr;
    }

    KW_PoolHeader* head = &s->usedpools[size];
    pool->nextpool = head;
    pool->prevpool = head;
    head->nextpool = pool;
    head->prevpool = pool;
    pool->ref = 1;
    if (pool->szidx == size) {
        // Back in its old class: header and free list are still valid.
        uint8_t* bp = pool->freeblock;
        pool->freeblock = *reinterpret_cast<uint8_t**>(bp);
        if (!pool->freeblock)
            ExtendPool(pool, size);
        return bp;
    }
    pool->szidx = size;
    const uint32_t blockSize = IndexToSize(size);
    uint8_t* bp = reinterpret_cast<uint8_t*>(pool) + KWPOOL_POOL_OVERHEAD;
    pool->nextoffset = KWPOOL_POOL_OVERHEAD + (blockSize << 1);
    pool->maxnextoffset = KWPOOL_POOL_SIZE - blockSize;
    pool->freeblock = bp + blockSize;
    *reinterpret_cast<uint8_t**>(pool->freeblock) = nullptr;
    return bp;
}

void* PoolAlloc(KW_PyObjectState* s, size_t nbytes)
{
    const uint32_t size = static_cast<uint32_t>((nbytes - 1) / KWPOOL_ALIGNMENT);
    KW_PoolHeader* head = &s->usedpools[size];
    KW_PoolHeader* pool = head->nextpool;
    if (pool == head)
        return AllocFromNewPool(s, size);
    ++pool->ref;
    uint8_t* bp = pool->freeblock;
    pool->freeblock = *reinterpret_cast<uint8_t**>(bp);
    if (!pool->freeblock)
        ExtendPool(pool, size);
    return bp;
}

// --- free ---------------------------------------------------------------------------
void InsertToUsedPool(KW_PyObjectState* s, KW_PoolHeader* pool)
{
    KW_PoolHeader* head = &s->usedpools[pool->szidx];
    KW_PoolHeader* next = head->nextpool;
    pool->nextpool = next;
    pool->prevpool = head;
    next->prevpool = pool;
    head->nextpool = pool;
}

void InsertToFreePool(KW_PyObjectState* s, KW_PoolHeader* pool)
{
    pool->nextpool->prevpool = pool->prevpool;
    pool->prevpool->nextpool = pool->nextpool;

    KW_ArenaObject* ao = &s->arenas[pool->arenaindex];
    pool->nextpool = ao->freepools;
    ao->freepools = pool;
    uint32_t nf = ao->nfreepools;
    KW_ArenaObject* lastnf = s->nfp2lasta[nf];
    if (lastnf == ao) {
        KW_ArenaObject* p = ao->prevarena;
        s->nfp2lasta[nf] = (p && p->nfreepools == nf) ? p : nullptr;
    }
    ao->nfreepools = ++nf;

    const bool discarding = s->state != KWPOOL_ACTIVE;
    if (nf == ao->ntotalpools && (ao->nextarena || (discarding && s->usable_arenas == ao && !ao->prevarena))) {
        // Wholly free: the memory goes back, unless it is the last usable
        // arena of an active pool (kept to avoid thrashing).
        if (s->nfp2lasta[nf] == ao)
            s->nfp2lasta[nf] = nullptr;
        if (!ao->prevarena)
            s->usable_arenas = ao->nextarena;
        else
            ao->prevarena->nextarena = ao->nextarena;
        if (ao->nextarena)
            ao->nextarena->prevarena = ao->prevarena;
        ReleaseArena(s, ao);
        return;
    }

    if (nf == 1) {
        // Was full: front of the usable list.
        ao->nextarena = s->usable_arenas;
        ao->prevarena = nullptr;
        if (s->usable_arenas)
            s->usable_arenas->prevarena = ao;
        s->usable_arenas = ao;
        if (!s->nfp2lasta[1])
            s->nfp2lasta[1] = ao;
        return;
    }

    if (!s->nfp2lasta[nf])
        s->nfp2lasta[nf] = ao;
    if (ao == lastnf)
        return; // still in order

    // Move it right after the last arena that had its old count.
    if (ao->prevarena)
        ao->prevarena->nextarena = ao->nextarena;
    else
        s->usable_arenas = ao->nextarena;
    ao->nextarena->prevarena = ao->prevarena;
    ao->prevarena = lastnf;
    ao->nextarena = lastnf->nextarena;
    if (ao->nextarena)
        ao->nextarena->prevarena = ao;
    lastnf->nextarena = ao;
}

void PoolFree(KW_PyObjectState* s, void* p)
{
    KW_PoolHeader* pool = PoolOf(p);
    uint8_t* lastfree = pool->freeblock;
    *reinterpret_cast<uint8_t**>(p) = lastfree;
    pool->freeblock = static_cast<uint8_t*>(p);
    --pool->ref;
    if (!lastfree) {
        InsertToUsedPool(s, pool);
        return;
    }
    if (pool->ref != 0)
        return;
    InsertToFreePool(s, pool);
}

void FinishDiscard(KW_PyObjectState* s)
{
    // A discarded pool whose arenas have all gone back releases its records.
    if (s->state == KWPOOL_DISCARDING && s->narenas_currently_allocated == 0) {
        free(s->arenas);
        s->arenas = nullptr;
        s->maxarenas = 0;
        s->unused_arena_objects = nullptr;
        s->usable_arenas = nullptr;
        memset(s->nfp2lasta, 0, sizeof s->nfp2lasta);
        s->state = KWPOOL_RELEASED;
    }
}

} // namespace

// ---------------------------------------------------------------------------
void _PyObject_Init(KW_PyObjectState* state)
{
    memset(state, 0, sizeof *state);
    InitClassLists(state);
    state->fallbackAlloc = FallbackAlloc;
    state->fallbackFree = FallbackFree;
    state->fallbackRealloc = FallbackRealloc;
}

bool _PyObject_IsPoolBlock(const KW_PyObjectState* state, const void* p)
{
    return p && ArenaOf(state, p) != nullptr;
}

KW_PyObjectState* _PyObject_StateOf(const void* p) { return StateOf(p); }

size_t _PyObject_BlockSize(const KW_PyObjectState* state, const void* p)
{
    return _PyObject_IsPoolBlock(state, p) ? IndexToSize(PoolOf(p)->szidx) : 0;
}

void* _PyObject_Malloc(KW_PyObjectState* state, size_t size)
{
    if (state->state == KWPOOL_ACTIVE && size >= 1 && size <= KWPOOL_SMALL_REQUEST) {
        void* p = PoolAlloc(state, size);
        if (p)
            return p;
    }
    return state->fallbackAlloc(size);
}

int _PyObject_Free(KW_PyObjectState* state, void* p)
{
    if (!p)
        return 0;
    if (state->state != KWPOOL_RELEASED && ArenaOf(state, p)) {
        PoolFree(state, p);
        FinishDiscard(state);
        return 1;
    }
    state->fallbackFree(p);
    return 1;
}

void* _PyObject_Realloc(KW_PyObjectState* state, void* p, size_t size)
{
    if (!p)
        return _PyObject_Malloc(state, size);
    if (state->state == KWPOOL_RELEASED || !ArenaOf(state, p))
        return state->fallbackRealloc(p, size);
    const size_t oldSize = IndexToSize(PoolOf(p)->szidx);
    if (state->state == KWPOOL_ACTIVE) {
        if (size <= oldSize && 4 * size > 3 * oldSize)
            return p; // a shrink by less than a quarter keeps the block
        if (size >= 1 && size <= KWPOOL_SMALL_REQUEST) {
            void* q = PoolAlloc(state, size);
            if (q) {
                memcpy(q, p, size < oldSize ? size : oldSize);
                PoolFree(state, p);
                return q;
            }
        }
    }
    void* q = state->fallbackAlloc(size);
    if (!q)
        return nullptr;
    memcpy(q, p, size < oldSize ? size : oldSize);
    PoolFree(state, p);
    FinishDiscard(state);
    return q;
}

void _PyObject_Discard(KW_PyObjectState* state)
{
    if (state->state == KWPOOL_ACTIVE)
        state->state = KWPOOL_DISCARDING;
    _PyObject_TryPurge(state);
}

void _PyObject_TryPurge(KW_PyObjectState* state)
{
    // Only the last usable arena can be wholly free while it is kept.
    KW_ArenaObject* a = state->usable_arenas;
    if (state->narenas_currently_allocated == 1 && a && !a->nextarena && !a->prevarena
        && a->nfreepools == a->ntotalpools && state->state == KWPOOL_DISCARDING) {
        if (state->nfp2lasta[a->nfreepools] == a)
            state->nfp2lasta[a->nfreepools] = nullptr;
        state->usable_arenas = nullptr;
        ReleaseArena(state, a);
    }
    FinishDiscard(state);
}

// ---------------------------------------------------------------------------
// The pool manager. Each thread keeps, per size class, a short stack of free
// pool blocks: most requests and frees touch only that stack, and the
// manager's mutex is taken once per batch of blocks going to or from the
// pool. A block freed on another thread than the one that allocated it joins
// the freeing thread's stack; it is a block of the shared pool either way.
// A thread's blocks go back to the pool when a stack overflows, when the pool
// is discarded (the discarding thread's at once, another thread's at its next
// call) and when the thread ends; until then they keep their arena alive.
// Only the static manager keeps such stacks; another instance runs the pool
// under its mutex on every call.
namespace {

struct CacheBin {
    void* head;       // blocks chained through their first word
    uint32_t count;
    uint32_t limit;   // 0 while the thread keeps no blocks
};

enum CacheStatus : uint32_t {
    kCacheUnused = 0,    // never kept blocks
    kCacheInService,     // keeps blocks; the thread's end gives them back
    kCacheParked,        // gave its blocks back; the thread's end is still watched
    kCacheRetired,       // the thread is ending: every call goes to the pool
};

struct ThreadCache {
    CacheBin bins[KWPOOL_SIZE_CLASSES];
    CacheStatus status;
};

// Zero-filled and trivial: reached without any initialisation check.
thread_local ThreadCache t_Cache;

// Whether threads may keep blocks: true while the static pool is active.
std::atomic<bool> g_CachesInService{false};

pthread_key_t g_CacheEndKey;

alignas(CKWMEM_PyMgr) unsigned char g_PyMgrStorage[sizeof(CKWMEM_PyMgr)];
std::atomic<CKWMEM_PyMgr*> g_pPyMgr{nullptr};
CKW_MemoryMgr g_PyMgrRecord;

inline CKWMEM_PyMgr* StaticPyMgr() { return reinterpret_cast<CKWMEM_PyMgr*>(g_PyMgrStorage); }
CKWMEM_PyMgr* PyMgrOf(_KWMEM_SystemMgr* sys) { return static_cast<CKWMEM_PyMgr*>(sys->user); }

// About 32 KiB per class and thread, between 16 and 256 blocks. Under random
// churn a stack reaches empty or full the less often the longer it is (about
// the square of its length in calls), so that busy threads seldom meet at the
// mutex; with half as long stacks four churning threads spent a fifth of
// their time there.
uint32_t CacheLimit(uint32_t sizeIndex)
{
    const uint32_t blocks = 32768 / IndexToSize(sizeIndex);
    return blocks < 16 ? 16 : blocks > 256 ? 256 : blocks;
}

// Frees a chain of pool blocks into the static pool; the mutex is held.
void FreeChain(KW_PyObjectState* s, void* head)
{
    while (head) {
        void* next = *static_cast<void**>(head);
        PoolFree(s, head);
        head = next;
    }
}

// Gives every block the thread keeps back to the static pool.
void ParkCache(ThreadCache& c)
{
    CKWMEM_PyMgr* m = StaticPyMgr();
    {
        CKW_MutexLocker lock(&m->m_Mutex);
        for (CacheBin& bin : c.bins)
            FreeChain(&m->m_State, bin.head);
        FinishDiscard(&m->m_State);
    }
    memset(c.bins, 0, sizeof c.bins);
    c.status = kCacheParked;
}

void EndThreadCache(void* cache)
{
    ThreadCache& c = *static_cast<ThreadCache*>(cache);
    ParkCache(c);
    c.status = kCacheRetired;
}

// Lets the thread keep blocks; false when its end could not be watched (its
// calls then go to the pool under the mutex).
bool EnterCacheService(ThreadCache& c)
{
    if (c.status == kCacheRetired)
        return false;
    if (c.status == kCacheUnused) {
        static const bool keyMade = pthread_key_create(&g_CacheEndKey, EndThreadCache) == 0;
        if (!keyMade || pthread_setspecific(g_CacheEndKey, &c) != 0)
            return false;
    }
    for (uint32_t i = 0; i < KWPOOL_SIZE_CLASSES; ++i)
        c.bins[i].limit = CacheLimit(i);
    c.status = kCacheInService;
    return true;
}

// The static pool was discarded since this thread last called: its blocks go back.
void ParkIfDiscarded(CKWMEM_PyMgr* m)
{
    if (m == StaticPyMgr() && t_Cache.status == kCacheInService && !g_CachesInService.load(std::memory_order_relaxed))
        ParkCache(t_Cache);
}

// The slow paths stay out of line, so that the paths through a thread's
// stacks are a few instructions with no frame to set up.
#define KWPOOL_SLOW_PATH __attribute__((noinline))

KWPOOL_SLOW_PATH void* LockedAlloc(CKWMEM_PyMgr* m, size_t size)
{
    ParkIfDiscarded(m);
    CKW_MutexLocker lock(&m->m_Mutex);
    return _PyObject_Malloc(&m->m_State, size);
}

KWPOOL_SLOW_PATH void LockedFree(CKWMEM_PyMgr* m, void* p)
{
    ParkIfDiscarded(m);
    CKW_MutexLocker lock(&m->m_Mutex);
    _PyObject_Free(&m->m_State, p);
}

// The thread's stack of the class is empty: fill half of it from the pool.
KWPOOL_SLOW_PATH void* RefillAndAlloc(CKWMEM_PyMgr* m, size_t size)
{
    ThreadCache& c = t_Cache;
    if (c.status != kCacheInService && !EnterCacheService(c))
        return LockedAlloc(m, size);
    const uint32_t index = static_cast<uint32_t>((size - 1) / KWPOOL_ALIGNMENT);
    CacheBin& bin = c.bins[index];
    void* head = nullptr;
    uint32_t taken = 0;
    {
        CKW_MutexLocker lock(&m->m_Mutex);
        if (m->m_State.state != KWPOOL_ACTIVE)
            return _PyObject_Malloc(&m->m_State, size);
        const uint32_t want = bin.limit / 2;
        for (; taken < want; ++taken) {
            void* p = PoolAlloc(&m->m_State, IndexToSize(index));
            if (!p)
                break;
            *static_cast<void**>(p) = head;
            head = p;
        }
    }
    if (!head)
        return m->m_State.fallbackAlloc(size);
    bin.head = *static_cast<void**>(head);
    bin.count = taken - 1;
    return head;
}

inline void* CachedAlloc(CKWMEM_PyMgr* m, size_t size)
{
    if (size - 1 < KWPOOL_SMALL_REQUEST && m == StaticPyMgr() && g_CachesInService.load(std::memory_order_relaxed)) {
        CacheBin& bin = t_Cache.bins[(size - 1) / KWPOOL_ALIGNMENT];
        if (void* p = bin.head) {
            bin.head = *static_cast<void**>(p);
            --bin.count;
            return p;
        }
        return RefillAndAlloc(m, size);
    }
    return LockedAlloc(m, size);
}

// The class's stack is full, or the thread keeps no blocks yet.
KWPOOL_SLOW_PATH void FreeSlow(CKWMEM_PyMgr* m, void* p)
{
    ThreadCache& c = t_Cache;
    if (m != StaticPyMgr() || !g_CachesInService.load(std::memory_order_relaxed)
        || (c.status != kCacheInService && !EnterCacheService(c))) {
        LockedFree(m, p);
        return;
    }
    CacheBin& bin = c.bins[PoolOf(p)->szidx];
    *static_cast<void**>(p) = bin.head;
    bin.head = p;
    if (++bin.count <= bin.limit)
        return;
    // Half of the stack, the most recently freed blocks, goes back.
    void* out = bin.head;
    void* last = out;
    for (uint32_t i = 1; i < bin.limit / 2; ++i)
        last = *static_cast<void**>(last);
    bin.head = *static_cast<void**>(last);
    bin.count -= bin.limit / 2;
    *static_cast<void**>(last) = nullptr;
    CKW_MutexLocker lock(&m->m_Mutex);
    FreeChain(&m->m_State, out);
    FinishDiscard(&m->m_State);
}

// Frees a block of the manager's pool.
inline void CachedFree(CKWMEM_PyMgr* m, void* p)
{
    if (m == StaticPyMgr() && g_CachesInService.load(std::memory_order_relaxed)) {
        CacheBin& bin = t_Cache.bins[PoolOf(p)->szidx];
        if (bin.count < bin.limit) {
            *static_cast<void**>(p) = bin.head;
            bin.head = p;
            ++bin.count;
            return;
        }
    }
    FreeSlow(m, p);
}

void* PyAlloc(_KWMEM_SystemMgr* sys, size_t size, int) { return CachedAlloc(PyMgrOf(sys), size); }
void* PyAllocDebug(_KWMEM_SystemMgr* sys, size_t size, int flags, const char*, int)
{
    return PyAlloc(sys, size, flags);
}
void* PyRealloc(_KWMEM_SystemMgr* sys, void* p, size_t size, int)
{
    CKWMEM_PyMgr* m = PyMgrOf(sys);
    if (!p)
        return CachedAlloc(m, size);
    if (StateOf(p) != &m->m_State) {
        CKW_MutexLocker lock(&m->m_Mutex);
        return _PyObject_Realloc(&m->m_State, p, size);
    }
    if (m != StaticPyMgr() || !g_CachesInService.load(std::memory_order_relaxed)) {
        ParkIfDiscarded(m);
        CKW_MutexLocker lock(&m->m_Mutex);
        return _PyObject_Realloc(&m->m_State, p, size);
    }
    const size_t oldSize = IndexToSize(PoolOf(p)->szidx);
    if (size <= oldSize && 4 * size > 3 * oldSize)
        return p; // a shrink by less than a quarter keeps the block
    void* q = CachedAlloc(m, size);
    if (!q)
        return nullptr;
    memcpy(q, p, size < oldSize ? size : oldSize);
    CachedFree(m, p);
    return q;
}
void* PyReallocDebug(_KWMEM_SystemMgr* sys, void* p, size_t size, int flags, const char*, int)
{
    return PyRealloc(sys, p, size, flags);
}
void PyFree(_KWMEM_SystemMgr* sys, void* p, int)
{
    CKWMEM_PyMgr* m = PyMgrOf(sys);
    if (p && StateOf(p) == &m->m_State)
        CachedFree(m, p);
    else
        LockedFree(m, p);
}

void BuildTable(CKWMEM_PyMgr* m)
{
    m->m_SystemMgr = {PyAlloc, PyAllocDebug, PyRealloc, PyReallocDebug, nullptr,
                      nullptr, PyFree,       nullptr,   nullptr,        m};
}

void DiscardPoolRecord(CKW_MemoryMgr*)
{
    if (CKWMEM_PyMgr* m = g_pPyMgr.load(std::memory_order_acquire))
        m->Discard();
}

} // namespace

extern void (*g_pKWMEM_PoolDiscard)(CKW_MemoryMgr*);

CKWMEM_PyMgr::CKWMEM_PyMgr()
{
    _PyObject_Init(&m_State);
    KW_Mutex_Initialize(&m_Mutex);
    BuildTable(this);
}

void CKWMEM_PyMgr::Discard()
{
    if (this == StaticPyMgr()) {
        g_CachesInService.store(false, std::memory_order_relaxed);
        if (t_Cache.status == kCacheInService)
            ParkCache(t_Cache);
    }
    CKW_MutexLocker lock(&m_Mutex);
    _PyObject_Discard(&m_State);
}

CKWMEM_PyMgr* KWMEM_GetPyMgr() { return g_pPyMgr.load(std::memory_order_acquire); }

CKW_MemoryMgr* KWMEM_PoolBlockMaker(const void* p)
{
    KW_PyObjectState* s = StateOf(p);
    if (!s)
        return nullptr;
    CKWMEM_PyMgr* m = g_pPyMgr.load(std::memory_order_acquire);
    return m && s == &m->m_State ? &g_PyMgrRecord : nullptr;
}

void KWMEM_PoolFreeBlock(void* p) { CachedFree(g_pPyMgr.load(std::memory_order_acquire), p); }

CKW_MemoryMgr* KWMEM_CreatePyMgr()
{
    CKWMEM_PyMgr* m = g_pPyMgr.load(std::memory_order_acquire);
    if (!m) {
        m = new (g_PyMgrStorage) CKWMEM_PyMgr();
        g_pPyMgr.store(m, std::memory_order_release);
    } else {
        CKW_MutexLocker lock(&m->m_Mutex);
        if (m->m_State.narenas_currently_allocated != 0) {
            // Blocks are still live in the pool (or kept by threads): wiping
            // its state would lose them, so the pool is taken back into
            // service as it is.
            m->m_State.state = KWPOOL_ACTIVE;
        } else {
            free(m->m_State.arenas);
            _PyObject_Init(&m->m_State);
        }
        BuildTable(m);
    }
    g_CachesInService.store(true, std::memory_order_relaxed);
    g_pKWMEM_PoolDiscard = DiscardPoolRecord;
    g_PyMgrRecord.Init(&m->m_SystemMgr, CKW_MemoryMgr::kPool);
    return &g_PyMgrRecord;
}
