// An allocator for tests: counts live blocks and bytes, can be told to fail
// after a number of successful requests or above a size, and remembers the
// largest request it saw.
#ifndef CORE_XML_COUNTING_ALLOCATOR_H
#define CORE_XML_COUNTING_ALLOCATOR_H

#include "KW_Memory.h"

#include <cstdlib>
#include <set>

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

#endif
