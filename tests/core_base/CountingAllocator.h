// Counting system table and allocator for the core tests: every block they
// hand out is tracked, so a test can check that each block went back to the
// table or allocator that made it and that nothing leaked.
#pragma once

#include "KW_Memory.h"

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

struct CountingSystem {
    _KWMEM_SystemMgr table;
    int allocs = 0;
    int reallocs = 0;
    int frees = 0;
    int foreignFrees = 0; // blocks this table never handed out
    bool failNext = false;
    std::set<void*> live;

    CountingSystem()
    {
        table = {Alloc, AllocDebug, Realloc, ReallocDebug, nullptr, nullptr, Free, nullptr, nullptr, this};
    }
    static CountingSystem* Of(_KWMEM_SystemMgr* t) { return static_cast<CountingSystem*>(t->user); }

    static void* Alloc(_KWMEM_SystemMgr* t, size_t size, int)
    {
        CountingSystem* c = Of(t);
        ++c->allocs;
        if (c->failNext) {
            c->failNext = false;
            return nullptr;
        }
        void* p = std::malloc(size);
        c->live.insert(p);
        return p;
    }
    static void* AllocDebug(_KWMEM_SystemMgr* t, size_t size, int flags, const char*, int)
    {
        return Alloc(t, size, flags);
    }
    static void* Realloc(_KWMEM_SystemMgr* t, void* p, size_t size, int)
    {
        CountingSystem* c = Of(t);
        ++c->reallocs;
        if (p && !c->live.count(p)) {
            ++c->foreignFrees;
            return nullptr;
        }
        void* q = std::realloc(p, size);
        if (q) {
            c->live.erase(p);
            c->live.insert(q);
        }
        return q;
    }
    static void* ReallocDebug(_KWMEM_SystemMgr* t, void* p, size_t size, int flags, const char*, int)
    {
        return Realloc(t, p, size, flags);
    }
    static void Free(_KWMEM_SystemMgr* t, void* p, int)
    {
        CountingSystem* c = Of(t);
        ++c->frees;
        if (!c->live.erase(p)) {
            ++c->foreignFrees; // never passed on: it is not ours to free
            return;
        }
        std::free(p);
    }
};

// A plain allocator interface (not a manager) that counts and tracks blocks.
struct CountingAllocator {
    _IKW_Allocator iface;
    CountingSystem* sys; // reuse the bookkeeping
    CountingSystem own;

    CountingAllocator() : sys(&own)
    {
        iface = {AllocDebug, Alloc, ReallocDebug, Realloc, Free};
    }
    static CountingAllocator* Of(_IKW_Allocator* a) { return reinterpret_cast<CountingAllocator*>(a); }
    static void* AllocDebug(_IKW_Allocator* a, size_t size, const char*, int) { return Alloc(a, size); }
    static void* Alloc(_IKW_Allocator* a, size_t size) { return CountingSystem::Alloc(&Of(a)->own.table, size, 0); }
    static void* ReallocDebug(_IKW_Allocator* a, void* p, size_t size, const char*, int) { return Realloc(a, p, size); }
    static void* Realloc(_IKW_Allocator* a, void* p, size_t size)
    {
        return CountingSystem::Realloc(&Of(a)->own.table, p, size, 0);
    }
    static void Free(_IKW_Allocator* a, void* p)
    {
        if (p)
            CountingSystem::Free(&Of(a)->own.table, p, 0);
    }
    _IKW_Allocator* get() { return &iface; }
};

// Makes a counting manager the default for the scope of a test.
struct ScopedCountingDefault {
    CountingSystem sys;
    CKW_MemoryMgr* mgr;
    CKW_MemoryMgr* previous;
    ScopedCountingDefault() : mgr(KWMEM_CreateVeltoMgr(&sys.table)), previous(KWMEM_GetDefaultMgr())
    {
        KWMEM_SetDefaultMgr(mgr);
    }
    ~ScopedCountingDefault()
    {
        KWMEM_SetDefaultMgr(previous);
        KWMEM_DestroyVeltoMgr(mgr);
    }
    // Live blocks other than the manager's own record.
    size_t LiveBlocks() const { return sys.live.size() - 1; }
};
