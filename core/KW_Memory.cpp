#include "KW_Memory.h"

#include "KW_Pool.h"

#include <stdint.h>
#include <stdlib.h>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace {

// Which manager made a block. Blocks of the static default record are plain
// malloc blocks and are entered nowhere, so any malloc block may be handed to
// the library. Pool blocks are known by the pool's own arena map, which any
// thread reads without a lock; the pool's large blocks are plain malloc
// blocks of the static default record. Only a created manager, whose blocks
// come from a caller's system table at addresses nobody can predict and
// which must reach that table unchanged, has its blocks entered here with
// their maker. When a maker is destroyed its blocks stay entered with its
// system table alone, which frees them without hooks.
struct Maker {
    CKW_MemoryMgr* mgr;           // null once the manager is destroyed
    _KWMEM_SystemMgr* table;
};

// Entries are spread over shards by address, each with its own lock, so
// threads working with different blocks rarely meet.
class BlockRegistry {
public:
    bool Enter(void* p, CKW_MemoryMgr* mgr)
    {
        Shard& shard = ShardOf(p);
        std::lock_guard<std::mutex> lock(shard.mutex);
        try {
            if (!shard.blocks.emplace(p, Maker{mgr, mgr->m_pSystemMgr}).second)
                shard.blocks[p] = Maker{mgr, mgr->m_pSystemMgr};
            else
                g_Entered.fetch_add(1, std::memory_order_release);
        } catch (...) {
            return false;
        }
        return true;
    }

    // Takes p's entry out, for a free.
    bool Take(const void* p, Maker& maker)
    {
        Shard& shard = ShardOf(p);
        std::lock_guard<std::mutex> lock(shard.mutex);
        auto it = shard.blocks.find(p);
        if (it == shard.blocks.end())
            return false;
        maker = it->second;
        shard.blocks.erase(it);
        g_Entered.fetch_sub(1, std::memory_order_release);
        return true;
    }

    // While a block is reallocated its entry is held aside (its old address
    // may be handed out again at once) and then put back under the block's
    // new address. Putting it back needs no memory: the node travels along.
    using Entry = std::unordered_map<const void*, Maker>::node_type;
    Entry Hold(const void* p)
    {
        Shard& shard = ShardOf(p);
        std::lock_guard<std::mutex> lock(shard.mutex);
        return shard.blocks.extract(p);
    }
    void PutBack(Entry entry, const void* at)
    {
        if (entry.empty())
            return;
        Shard& shard = ShardOf(at);
        std::lock_guard<std::mutex> lock(shard.mutex);
        entry.key() = at;
        shard.blocks.insert(std::move(entry));
    }

    bool Find(const void* p, Maker& maker)
    {
        Shard& shard = ShardOf(p);
        std::lock_guard<std::mutex> lock(shard.mutex);
        auto it = shard.blocks.find(p);
        if (it == shard.blocks.end())
            return false;
        maker = it->second;
        return true;
    }

    void Orphan(CKW_MemoryMgr* mgr)
    {
        for (Shard& shard : m_Shards) {
            std::lock_guard<std::mutex> lock(shard.mutex);
            for (auto& entry : shard.blocks)
                if (entry.second.mgr == mgr)
                    entry.second.mgr = nullptr;
        }
    }

    // Entries exist at all: plain and pool blocks ask nothing else.
    static bool Any() { return g_Entered.load(std::memory_order_acquire) != 0; }

private:
    struct Shard {
        std::mutex mutex;
        std::unordered_map<const void*, Maker> blocks;
    };
    static constexpr size_t kShards = 16;
    Shard& ShardOf(const void* p)
    {
        // Blocks are at least 16-byte aligned: the low bits say nothing.
        const uintptr_t a = reinterpret_cast<uintptr_t>(p) >> 4;
        return m_Shards[(a ^ (a >> 7) ^ (a >> 13)) % kShards];
    }

    static std::atomic<size_t> g_Entered;
    Shard m_Shards[kShards];
};

std::atomic<size_t> BlockRegistry::g_Entered{0};

// Never destroyed: blocks may still be freed while the process ends.
BlockRegistry& Registry()
{
    static BlockRegistry* registry = new BlockRegistry;
    return *registry;
}

// --- the C library's table ---------------------------------------------------
void* SysAlloc(_KWMEM_SystemMgr*, size_t size, int) { return malloc(size); }
void* SysAllocDebug(_KWMEM_SystemMgr*, size_t size, int, const char*, int) { return malloc(size); }
void* SysRealloc(_KWMEM_SystemMgr*, void* p, size_t size, int) { return realloc(p, size); }
void* SysReallocDebug(_KWMEM_SystemMgr*, void* p, size_t size, int, const char*, int) { return realloc(p, size); }
void SysFree(_KWMEM_SystemMgr*, void* p, int) { free(p); }

// --- embedded allocator entries: forward to the manager with flags 0 ---------
inline CKW_MemoryMgr* MgrOf(_IKW_Allocator* a)
{
    return *reinterpret_cast<CKW_MemoryMgr**>(a + 1);
}
void* EntryAllocDebug(_IKW_Allocator* a, size_t size, const char* file, int line)
{
    return MgrOf(a)->AllocDebug(size, 0, file, line);
}
void* EntryAlloc(_IKW_Allocator* a, size_t size) { return MgrOf(a)->Alloc(size, 0); }
void* EntryReallocDebug(_IKW_Allocator* a, void* p, size_t size, const char* file, int line)
{
    return MgrOf(a)->ReallocDebug(p, size, 0, file, line);
}
void* EntryRealloc(_IKW_Allocator* a, void* p, size_t size) { return MgrOf(a)->Realloc(p, size, 0); }
void EntryFree(_IKW_Allocator* a, void* p) { MgrOf(a)->Free(p, 0); }

constexpr _IKW_Allocator kEntries = {EntryAllocDebug, EntryAlloc, EntryReallocDebug, EntryRealloc, EntryFree};

_KWMEM_SystemMgr g_DefaultSystemMgr = {SysAlloc, SysAllocDebug, SysRealloc, SysReallocDebug, nullptr, nullptr,
                                       SysFree,  nullptr,       nullptr,    nullptr};

CKW_MemoryMgr g_DefaultMgrRecord = {CKW_MemoryMgr::kDefault, &g_DefaultSystemMgr, nullptr, nullptr, nullptr,
                                    kEntries, &g_DefaultMgrRecord, nullptr, nullptr, false};

inline void Failed(CKW_MemoryMgr* m, int flags)
{
    if (!(flags & KWMEM_NONLEAVE) && m->m_pOOMHandler)
        m->m_pOOMHandler(m, m->m_pOOMHandlerParam);
}

// count x unit within the library's request limit; zero when refused.
enum class Guard { Zero, Refused, Ok };
inline Guard CheckRequest(size_t count, size_t unit)
{
    if (count == 0 || unit == 0)
        return Guard::Zero;
    if (unit > KWMEM_MAX_REQUEST || count > KWMEM_MAX_REQUEST / unit)
        return Guard::Refused;
    return Guard::Ok;
}

} // namespace

// Set by the pool module when it builds its manager record: destroying that
// record discards the pool instead of freeing the record.
void (*g_pKWMEM_PoolDiscard)(CKW_MemoryMgr*) = nullptr;

CKW_MemoryMgr* g_pDefVeltoMgr = &g_DefaultMgrRecord;

// ---------------------------------------------------------------------------
void CKW_MemoryMgr::Init(_KWMEM_SystemMgr* pSystemMgr, Type type)
{
    m_Type = type;
    m_pSystemMgr = pSystemMgr;
    m_pDebugger = nullptr;
    m_pOOMHandler = nullptr;
    m_pOOMHandlerParam = nullptr;
    m_Allocator = kEntries;
    m_pAllocatorOwner = this;
    m_pProcessContext = nullptr;
    m_pSpare = nullptr;
    m_bFreeRecord = true;
}

namespace {

inline bool IsPlain(const CKW_MemoryMgr* m) { return m == &g_DefaultMgrRecord; }

// Managers whose blocks are entered in the registry: all but the static
// default (plain blocks) and the pool (its arena map knows its blocks).
inline bool IsEntered(const CKW_MemoryMgr* m) { return m && !IsPlain(m) && m->m_Type != CKW_MemoryMgr::kPool; }

// A new block of manager m: entered with its maker where its manager needs it.
// A block that cannot be entered is given back and the request fails.
void* Adopt(CKW_MemoryMgr* m, void* block, int flags)
{
    if (!block || !IsEntered(m) || Registry().Enter(block, m))
        return block;
    m->m_pSystemMgr->Free(m->m_pSystemMgr, block, flags);
    return nullptr;
}

// The maker of a block: a pool block by the arena map, a created manager's by
// the registry; a block known to neither is a plain malloc block.
Maker MakerOf(const void* p)
{
    if (CKW_MemoryMgr* pool = KWMEM_PoolBlockMaker(p))
        return Maker{pool, pool->m_pSystemMgr};
    Maker maker{&g_DefaultMgrRecord, &g_DefaultSystemMgr};
    if (BlockRegistry::Any())
        Registry().Find(p, maker);
    return maker;
}

// Reallocates block p of manager m (or of a destroyed manager's table, when m
// is null) with the given system call; a registry entry follows the block.
template <typename SystemCall>
void* Move(CKW_MemoryMgr* m, _KWMEM_SystemMgr* table, void* p, SystemCall call)
{
    if (m && !IsEntered(m))
        return call(table, p);
    BlockRegistry::Entry entry = Registry().Hold(p);
    void* r = call(table, p);
    Registry().PutBack(std::move(entry), r ? r : p);   // on failure the old block stays alive
    return r;
}

} // namespace

void* CKW_MemoryMgr::Alloc(size_t size, int flags)
{
    void* r = Adopt(this, m_pSystemMgr->Alloc(m_pSystemMgr, size, flags), flags);
    if (m_pDebugger && m_pDebugger->OnAlloc)
        m_pDebugger->OnAlloc(this, r, size, flags);
    if (!r)
        Failed(this, flags);
    return r;
}

void* CKW_MemoryMgr::AllocDebug(size_t size, int flags, const char* file, int line)
{
    void* r = Adopt(this, m_pSystemMgr->AllocDebug(m_pSystemMgr, size, flags, file, line), flags);
    if (m_pDebugger && m_pDebugger->OnAllocDebug)
        m_pDebugger->OnAllocDebug(this, r, size, flags, file, line);
    if (!r)
        Failed(this, flags);
    return r;
}

void* CKW_MemoryMgr::Realloc(void* p, size_t newSize, int flags)
{
    if (!p)
        return Alloc(newSize, flags);
    const Maker maker = MakerOf(p);
    if (maker.mgr && maker.mgr != this)
        return maker.mgr->Realloc(p, newSize, flags);
    void* r = Move(maker.mgr, maker.table, p,
                   [&](_KWMEM_SystemMgr* t, void* block) { return t->Realloc(t, block, newSize, flags); });
    if (!maker.mgr)
        return r;   // its manager is gone: no hooks, no handler
    if (m_pDebugger && m_pDebugger->OnRealloc)
        m_pDebugger->OnRealloc(this, p, r, newSize, flags);
    if (!r)
        Failed(this, flags);
    return r;
}

void* CKW_MemoryMgr::ReallocDebug(void* p, size_t newSize, int flags, const char* file, int line)
{
    if (!p)
        return AllocDebug(newSize, flags, file, line);
    const Maker maker = MakerOf(p);
    if (maker.mgr && maker.mgr != this)
        return maker.mgr->ReallocDebug(p, newSize, flags, file, line);
    void* r = Move(maker.mgr, maker.table, p, [&](_KWMEM_SystemMgr* t, void* block) {
        return t->ReallocDebug(t, block, newSize, flags, file, line);
    });
    if (!maker.mgr)
        return r;
    if (m_pDebugger && m_pDebugger->OnReallocDebug)
        m_pDebugger->OnReallocDebug(this, p, r, newSize, flags, file, line);
    if (!r)
        Failed(this, flags);
    return r;
}

void CKW_MemoryMgr::Free(void* p, int flags)
{
    if (!p)
        return;
    if (CKW_MemoryMgr* pool = KWMEM_PoolBlockMaker(p)) {
        if (pool->m_pDebugger && pool->m_pDebugger->OnFree)
            pool->m_pDebugger->OnFree(pool, p, flags);
        KWMEM_PoolFreeBlock(p);
        return;
    }
    Maker maker{&g_DefaultMgrRecord, &g_DefaultSystemMgr};
    // A registry entry goes before the block: once freed, its address may be
    // handed out and entered again at once.
    if (BlockRegistry::Any())
        Registry().Take(p, maker);
    CKW_MemoryMgr* owner = maker.mgr;
    if (owner && owner->m_pDebugger && owner->m_pDebugger->OnFree)
        owner->m_pDebugger->OnFree(owner, p, flags);
    maker.table->Free(maker.table, p, flags);
}

void CKW_MemoryMgr::ReportOOM()
{
    if (m_pOOMHandler)
        m_pOOMHandler(this, m_pOOMHandlerParam);
}

void CKW_MemoryMgr::CollectAll()
{
    if (m_pSystemMgr && m_pSystemMgr->CollectAll)
        m_pSystemMgr->CollectAll(m_pSystemMgr);
}

void CKW_MemoryMgr::PurgeMgr()
{
    if (m_pSystemMgr && m_pSystemMgr->Purge)
        m_pSystemMgr->Purge(m_pSystemMgr);
}

CKW_MemoryMgr* KWMEM_GetBlockOwner(const void* p)
{
    return p ? MakerOf(p).mgr : nullptr;
}

// ---------------------------------------------------------------------------
CKW_MemoryMgr* KWMEM_CreateVeltoMgr(_KWMEM_SystemMgr* pSystemMgr)
{
    if (!pSystemMgr)
        return nullptr;
    void* raw = pSystemMgr->Alloc(pSystemMgr, sizeof(CKW_MemoryMgr), 0);
    if (!raw)
        return nullptr;
    CKW_MemoryMgr* m = static_cast<CKW_MemoryMgr*>(raw);
    m->Init(pSystemMgr, CKW_MemoryMgr::kCreated);
    return m;
}

void KWMEM_DestroyVeltoMgr(CKW_MemoryMgr* pMgr)
{
    if (!pMgr)
        return;
    pMgr->CollectAll();
    void* spare = pMgr->m_pSpare;
    if (pMgr->m_Type == CKW_MemoryMgr::kPool) {
        if (g_pKWMEM_PoolDiscard)
            g_pKWMEM_PoolDiscard(pMgr);
    } else if (pMgr->m_bFreeRecord) {
        // The record is gone after this: the default must not lead to it,
        // and its live blocks are left to its system table.
        if (g_pDefVeltoMgr == pMgr)
            KWMEM_ResetSystemMgr();
        Registry().Orphan(pMgr);
        _KWMEM_SystemMgr* sys = pMgr->m_pSystemMgr;
        sys->Free(sys, pMgr, 0);
    }
    if (spare)
        free(spare);
}

void* KWMEM_Alloc(CKW_MemoryMgr* pMgr, size_t size, int flags) { return pMgr->Alloc(size, flags); }
void* KWMEM_AllocDebug(CKW_MemoryMgr* pMgr, size_t size, int flags, const char* file, int line)
{
    return pMgr->AllocDebug(size, flags, file, line);
}
void* KWMEM_Realloc(CKW_MemoryMgr* pMgr, void* p, size_t newSize, int flags)
{
    return pMgr->Realloc(p, newSize, flags);
}
void* KWMEM_ReallocDebug(CKW_MemoryMgr* pMgr, void* p, size_t newSize, int flags, const char* file, int line)
{
    return pMgr->ReallocDebug(p, newSize, flags, file, line);
}
void KWMEM_Free(CKW_MemoryMgr* pMgr, void* p, int flags) { pMgr->Free(p, flags); }
void KWMEM_ReportOOM(CKW_MemoryMgr* pMgr) { pMgr->ReportOOM(); }

void KWMEM_SetOOMHandler(CKW_MemoryMgr* pMgr, KWMEM_OOMHandler handler, void* param)
{
    pMgr->m_pOOMHandler = handler;
    pMgr->m_pOOMHandlerParam = param;
}

void KWMEM_UseDebugger(CKW_MemoryMgr* pMgr, _KWMEM_Debugger* pDebugger) { pMgr->m_pDebugger = pDebugger; }

void KWMEM_OutputDebugTag(CKW_MemoryMgr* pMgr, const char* tag)
{
    if (pMgr->m_pDebugger && pMgr->m_pDebugger->OnTag)
        pMgr->m_pDebugger->OnTag(pMgr, tag);
}

void KWMEM_CollectAll(CKW_MemoryMgr* pMgr) { pMgr->CollectAll(); }
void KWMEM_PurgeMgr(CKW_MemoryMgr* pMgr) { pMgr->PurgeMgr(); }

CKW_MemoryMgr* KWMEM_ResetSystemMgr()
{
    g_pDefVeltoMgr = &g_DefaultMgrRecord;
    return g_pDefVeltoMgr;
}

void KWMEM_SetDefaultMgr(CKW_MemoryMgr* pMgr) { g_pDefVeltoMgr = pMgr; }
CKW_MemoryMgr* KWMEM_GetDefaultMgr() { return g_pDefVeltoMgr; }
_IKW_Allocator* KWMEM_GetDefAllocator() { return &g_pDefVeltoMgr->m_Allocator; }
_KWMEM_SystemMgr* KWMEM_GetDefaultSystemMgr() { return &g_DefaultSystemMgr; }

// Static default record, for the pool's fallbacks: it never changes.
CKW_MemoryMgr* KWMEM_GetStaticDefaultMgr() { return &g_DefaultMgrRecord; }

// ---------------------------------------------------------------------------
void* KWMEM_DefaultAlloc(size_t size, int flags) { return g_pDefVeltoMgr->Alloc(size, flags); }

namespace {

// A count x unit request to the default manager: false for an empty request,
// and for one past the limit after telling the manager's out-of-memory handler.
bool AdmitDefaultRequest(size_t count, size_t unit, int flags)
{
    switch (CheckRequest(count, unit)) {
    case Guard::Zero:
        return false;
    case Guard::Refused:
        Failed(g_pDefVeltoMgr, flags);
        return false;
    case Guard::Ok:
        break;
    }
    return true;
}

} // namespace

void* KWMEM_DefaultAlloc2(size_t count, size_t unit, int flags)
{
    if (!AdmitDefaultRequest(count, unit, flags))
        return nullptr;
    return g_pDefVeltoMgr->Alloc(count * unit, flags);
}

void* KWMEM_DefaultRealloc(void* p, size_t newSize, int flags)
{
    return g_pDefVeltoMgr->Realloc(p, newSize, flags);
}

void* KWMEM_DefaultRealloc2(void* p, size_t count, size_t unit, int flags)
{
    if (!p)
        return KWMEM_DefaultAlloc2(count, unit, flags);
    if (!AdmitDefaultRequest(count, unit, flags))
        return nullptr;
    return g_pDefVeltoMgr->Realloc(p, count * unit, flags);
}

void* KWMEM_DefaultAllocDebug(size_t size, int flags, const char* file, int line)
{
    return g_pDefVeltoMgr->AllocDebug(size, flags, file, line);
}

void* KWMEM_DefaultAllocDebug2(size_t count, size_t unit, int flags, const char* file, int line)
{
    if (!AdmitDefaultRequest(count, unit, flags))
        return nullptr;
    return g_pDefVeltoMgr->AllocDebug(count * unit, flags, file, line);
}

void* KWMEM_DefaultReallocDebug(void* p, size_t newSize, int flags, const char* file, int line)
{
    return g_pDefVeltoMgr->ReallocDebug(p, newSize, flags, file, line);
}

void* KWMEM_DefaultReallocDebug2(void* p, size_t count, size_t unit, int flags, const char* file, int line)
{
    if (!p)
        return KWMEM_DefaultAllocDebug2(count, unit, flags, file, line);
    if (!AdmitDefaultRequest(count, unit, flags))
        return nullptr;
    return g_pDefVeltoMgr->ReallocDebug(p, count * unit, flags, file, line);
}

void* KWMEM_AllocWith(_IKW_Allocator* allocator, size_t size)
{
    return allocator ? allocator->Alloc(allocator, size) : KWMEM_DefaultAlloc(size, 0);
}

void KWMEM_FreeWith(_IKW_Allocator* allocator, void* p)
{
    if (!p)
        return;
    if (allocator)
        allocator->Free(allocator, p);
    else
        KWMEM_DefaultFree(p, 0);
}

void KWMEM_DefaultFree(void* p, int flags) { g_pDefVeltoMgr->Free(p, flags); }

int KWMEM_SetPyConfig(...) { return 0; }
