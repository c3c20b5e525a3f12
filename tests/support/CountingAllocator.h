// Counting memory for the core tests. CountingSystem is a system table for a
// memory manager; CountingAllocator is a plain allocator interface that can be
// told to fail after a number of requests or above a size. Both track every
// block they hand out, so a test can check that each block went back to the
// table or allocator that made it and that nothing leaked.
#pragma once

#include "KW_Memory.h"

#include <cstddef>
#include <cstdlib>
#include <set>

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
struct CountingAllocator : _IKW_Allocator {
    std::set<void*> live;
    long allocs = 0;
    long requests = 0;         // allocations and reallocations asked for
    long frees = 0;
    long foreignFrees = 0;     // blocks this allocator never handed out
    size_t largestRequest = 0;
    long failAfter = -1;       // successful requests before every later one fails
    size_t failAbove = (size_t)-1;

    CountingAllocator()
    {
        AllocDebug = [](_IKW_Allocator* a, size_t n, const char*, int) { return Self(a)->DoAlloc(n); };
        Alloc = [](_IKW_Allocator* a, size_t n) { return Self(a)->DoAlloc(n); };
        ReallocDebug = [](_IKW_Allocator* a, void* p, size_t n, const char*, int) {
            return Self(a)->DoRealloc(p, n);
        };
        Realloc = [](_IKW_Allocator* a, void* p, size_t n) { return Self(a)->DoRealloc(p, n); };
        Free = [](_IKW_Allocator* a, void* p) { Self(a)->DoFree(p); };
    }
    ~CountingAllocator()
    {
        for (void* p : live)
            std::free(p);
    }
    _IKW_Allocator* get() { return this; }
    static CountingAllocator* Self(_IKW_Allocator* a) { return static_cast<CountingAllocator*>(a); }

    bool ShouldFail(size_t n)
    {
        requests++;
        if (n > largestRequest)
            largestRequest = n;
        if (n > failAbove)
            return true;
        if (failAfter == 0)
            return true;
        if (failAfter > 0)
            failAfter--;
        return false;
    }
    void* DoAlloc(size_t n)
    {
        if (ShouldFail(n))
            return nullptr;
        void* p = std::malloc(n ? n : 1);
        live.insert(p);
        allocs++;
        return p;
    }
    void* DoRealloc(void* p, size_t n)
    {
        if (!p)
            return DoAlloc(n);
        if (!live.count(p)) {
            foreignFrees++;
            return nullptr;
        }
        if (ShouldFail(n))
            return nullptr;
        void* q = std::realloc(p, n ? n : 1);
        if (q) {
            live.erase(p);
            live.insert(q);
        }
        return q;
    }
    void DoFree(void* p)
    {
        if (!p)
            return;
        if (!live.erase(p)) {
            foreignFrees++;
            return;
        }
        frees++;
        std::free(p);
    }
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
