#include "KW_Memory.h"

#include <stdint.h>
#include <stdlib.h>

namespace {

// Every block a manager hands out is preceded by this header. 16 bytes keep
// the user block aligned for any scalar type, as the system block is.
struct BlockHeader {
    CKW_MemoryMgr* owner;
    uintptr_t reserved;
};
static_assert(sizeof(BlockHeader) == 16, "block header must keep 16-byte alignment");
constexpr size_t kHeader = sizeof(BlockHeader);

inline BlockHeader* HeaderOf(const void* p)
{
    return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(p)) - kHeader);
}

inline void* Publish(void* raw, CKW_MemoryMgr* owner)
{
    if (!raw)
        return nullptr;
    BlockHeader* h = static_cast<BlockHeader*>(raw);
    h->owner = owner;
    h->reserved = 0;
    return h + 1;
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

inline bool Fits(size_t size) { return size <= SIZE_MAX - kHeader; }

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

void* CKW_MemoryMgr::Alloc(size_t size, int flags)
{
    void* r = Fits(size) ? Publish(m_pSystemMgr->Alloc(m_pSystemMgr, size + kHeader, flags), this) : nullptr;
    if (m_pDebugger && m_pDebugger->OnAlloc)
        m_pDebugger->OnAlloc(this, r, size, flags);
    if (!r)
        Failed(this, flags);
    return r;
}

void* CKW_MemoryMgr::AllocDebug(size_t size, int flags, const char* file, int line)
{
    void* r = Fits(size) ? Publish(m_pSystemMgr->AllocDebug(m_pSystemMgr, size + kHeader, flags, file, line), this)
                         : nullptr;
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
    CKW_MemoryMgr* owner = HeaderOf(p)->owner;
    if (owner != this)
        return owner->Realloc(p, newSize, flags);
    void* r = nullptr;
    if (Fits(newSize)) {
        void* raw = m_pSystemMgr->Realloc(m_pSystemMgr, HeaderOf(p), newSize + kHeader, flags);
        r = raw ? static_cast<BlockHeader*>(raw) + 1 : nullptr;
    }
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
    CKW_MemoryMgr* owner = HeaderOf(p)->owner;
    if (owner != this)
        return owner->ReallocDebug(p, newSize, flags, file, line);
    void* r = nullptr;
    if (Fits(newSize)) {
        void* raw = m_pSystemMgr->ReallocDebug(m_pSystemMgr, HeaderOf(p), newSize + kHeader, flags, file, line);
        r = raw ? static_cast<BlockHeader*>(raw) + 1 : nullptr;
    }
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
    CKW_MemoryMgr* owner = HeaderOf(p)->owner;
    if (owner->m_pDebugger && owner->m_pDebugger->OnFree)
        owner->m_pDebugger->OnFree(owner, p, flags);
    owner->m_pSystemMgr->Free(owner->m_pSystemMgr, HeaderOf(p), flags);
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
    return p ? HeaderOf(p)->owner : nullptr;
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
