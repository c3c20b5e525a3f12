// Allocator interface and memory managers of the core library.
//
// Every heap block of the library comes from a memory manager. A manager sits
// over a table of system functions, adds optional debugger hooks and an
// out-of-memory handler, and embeds a five-entry allocator record that
// containers, strings and trees are handed when they should allocate through
// it. Without any set-up the default manager is a static record over malloc,
// so the library works before any initialisation call.
//
// Blocks of the static default record are plain malloc blocks, so callers may
// hand the library any malloc block and free its blocks with free(). Every
// other block is known with the manager that made it, so a block always
// returns to its maker, even after the default manager has been changed while
// the block was alive: the pool's blocks by its arena map (no lock, nothing
// stored per block; its large blocks are plain malloc blocks), a created
// manager's blocks by a registry sharded by address.
#ifndef KW_MEMORY_H
#define KW_MEMORY_H

#include <stddef.h>
#include <stdint.h>

struct CKW_MemoryMgr;
struct CKW_ProcessContext;

// Flags of a request: bit 0 keeps a failure from reaching the out-of-memory
// handler. Other bits pass through unchanged.
enum { KWMEM_NONLEAVE = 1 };

// The allocator interface: a record of function entries (no virtual table);
// each entry receives the record itself first. Sizes are byte counts.
struct _IKW_Allocator {
    void* (*AllocDebug)(_IKW_Allocator* pAllocator, size_t size, const char* file, int line);
    void* (*Alloc)(_IKW_Allocator* pAllocator, size_t size);
    void* (*ReallocDebug)(_IKW_Allocator* pAllocator, void* p, size_t newSize, const char* file, int line);
    void* (*Realloc)(_IKW_Allocator* pAllocator, void* p, size_t newSize);
    void (*Free)(_IKW_Allocator* pAllocator, void* p);
};

// System functions under a manager. Each function entry receives the table first.
struct _KWMEM_SystemMgr {
    void* (*Alloc)(_KWMEM_SystemMgr* pMgr, size_t size, int flags);
    void* (*AllocDebug)(_KWMEM_SystemMgr* pMgr, size_t size, int flags, const char* file, int line);
    void* (*Realloc)(_KWMEM_SystemMgr* pMgr, void* p, size_t newSize, int flags);
    void* (*ReallocDebug)(_KWMEM_SystemMgr* pMgr, void* p, size_t newSize, int flags, const char* file, int line);
    void* (*Lock)(_KWMEM_SystemMgr* pMgr, void* handle);   // no caller; keeps its place in the table
    void (*Unlock)(_KWMEM_SystemMgr* pMgr, void* handle);  // no caller; keeps its place in the table
    void (*Free)(_KWMEM_SystemMgr* pMgr, void* p, int flags);
    void (*Purge)(_KWMEM_SystemMgr* pMgr);                 // optional
    void (*CollectAll)(_KWMEM_SystemMgr* pMgr);            // optional
    void* user;                                            // the pool manager points it back at itself
};

// Debugger hooks: called after each request (with the result, null on
// failure), before each free, and for debug tags.
struct _KWMEM_Debugger {
    void (*OnAlloc)(CKW_MemoryMgr* pMgr, void* result, size_t size, int flags);
    void (*OnAllocDebug)(CKW_MemoryMgr* pMgr, void* result, size_t size, int flags, const char* file, int line);
    void (*OnRealloc)(CKW_MemoryMgr* pMgr, void* oldBlock, void* result, size_t newSize, int flags);
    void (*OnReallocDebug)(CKW_MemoryMgr* pMgr, void* oldBlock, void* result, size_t newSize, int flags,
                           const char* file, int line);
    void (*OnFree)(CKW_MemoryMgr* pMgr, void* p, int flags);
    void (*OnTag)(CKW_MemoryMgr* pMgr, const char* tag);
};

typedef void (*KWMEM_OOMHandler)(CKW_MemoryMgr* pMgr, void* param);

struct CKW_MemoryMgr {
    enum Type : int32_t { kDefault = 0, kPool = 1, kCreated = 2 };

    Type m_Type;
    _KWMEM_SystemMgr* m_pSystemMgr;
    _KWMEM_Debugger* m_pDebugger;
    KWMEM_OOMHandler m_pOOMHandler;
    void* m_pOOMHandlerParam;
    _IKW_Allocator m_Allocator;
    CKW_MemoryMgr* m_pAllocatorOwner;   // follows the allocator record: leads back here
    CKW_ProcessContext* m_pProcessContext;
    void* m_pSpare;
    bool m_bFreeRecord;

    void Init(_KWMEM_SystemMgr* pSystemMgr, Type type);

    void* Alloc(size_t size, int flags);
    void* AllocDebug(size_t size, int flags, const char* file, int line);
    void* Realloc(void* p, size_t newSize, int flags);
    void* ReallocDebug(void* p, size_t newSize, int flags, const char* file, int line);
    void Free(void* p, int flags);
    void ReportOOM();
    void CollectAll();
    void PurgeMgr();
};

// The manager that made block p: the static default record for a plain
// malloc block, null when p is null or its manager has been destroyed.
CKW_MemoryMgr* KWMEM_GetBlockOwner(const void* p);

// Managers.
CKW_MemoryMgr* KWMEM_CreateVeltoMgr(_KWMEM_SystemMgr* pSystemMgr);
// Destroying the current default makes the static default record the default
// again. Blocks still alive are freed later through the manager's system table.
void KWMEM_DestroyVeltoMgr(CKW_MemoryMgr* pMgr);
void* KWMEM_Alloc(CKW_MemoryMgr* pMgr, size_t size, int flags);
void* KWMEM_AllocDebug(CKW_MemoryMgr* pMgr, size_t size, int flags, const char* file, int line);
void* KWMEM_Realloc(CKW_MemoryMgr* pMgr, void* p, size_t newSize, int flags);
void* KWMEM_ReallocDebug(CKW_MemoryMgr* pMgr, void* p, size_t newSize, int flags, const char* file, int line);
void KWMEM_Free(CKW_MemoryMgr* pMgr, void* p, int flags);
void KWMEM_ReportOOM(CKW_MemoryMgr* pMgr);
void KWMEM_SetOOMHandler(CKW_MemoryMgr* pMgr, KWMEM_OOMHandler handler, void* param);
void KWMEM_UseDebugger(CKW_MemoryMgr* pMgr, _KWMEM_Debugger* pDebugger);
void KWMEM_OutputDebugTag(CKW_MemoryMgr* pMgr, const char* tag);
void KWMEM_CollectAll(CKW_MemoryMgr* pMgr);
void KWMEM_PurgeMgr(CKW_MemoryMgr* pMgr);

// The default manager.
CKW_MemoryMgr* KWMEM_ResetSystemMgr();
void KWMEM_SetDefaultMgr(CKW_MemoryMgr* pMgr);
CKW_MemoryMgr* KWMEM_GetDefaultMgr();
_IKW_Allocator* KWMEM_GetDefAllocator();
extern CKW_MemoryMgr* g_pDefVeltoMgr;

// The system table of the static default record (malloc, realloc, free).
_KWMEM_SystemMgr* KWMEM_GetDefaultSystemMgr();
// The static default record itself, whatever the current default is.
CKW_MemoryMgr* KWMEM_GetStaticDefaultMgr();

// Largest request of the "2" functions: count x unit may not exceed it.
enum : uint32_t { KWMEM_MAX_REQUEST = 0x7fffffff };

void* KWMEM_DefaultAlloc(size_t size, int flags);
void* KWMEM_DefaultAlloc2(size_t count, size_t unit, int flags);
void* KWMEM_DefaultRealloc(void* p, size_t newSize, int flags);
void* KWMEM_DefaultRealloc2(void* p, size_t count, size_t unit, int flags);
void* KWMEM_DefaultAllocDebug(size_t size, int flags, const char* file, int line);
void* KWMEM_DefaultAllocDebug2(size_t count, size_t unit, int flags, const char* file, int line);
void* KWMEM_DefaultReallocDebug(void* p, size_t newSize, int flags, const char* file, int line);
void* KWMEM_DefaultReallocDebug2(void* p, size_t count, size_t unit, int flags, const char* file, int line);
void KWMEM_DefaultFree(void* p, int flags);

// Memory of the core's objects comes from the allocator they were given, or
// from the default manager when they were given none; these two keep that
// choice in one place. Freeing null does nothing.
void* KWMEM_AllocWith(_IKW_Allocator* allocator, size_t size);
void KWMEM_FreeWith(_IKW_Allocator* allocator, void* p);

// The pool manager (small-object pools, KW_Pool.h). One static record.
CKW_MemoryMgr* KWMEM_CreatePyMgr();
int KWMEM_SetPyConfig(...);

#endif // KW_MEMORY_H
