// Roots of the library's heap classes and the grow-only pool.
//
// CKW_Object: new/delete go through the current default memory manager.
// CKW_AllocObject: remembers the allocator it was made with and returns its
// memory there. CKW_GrowOnlyPool: carves blocks out of large chunks and frees
// only all at once; it can be passed wherever an allocator is expected.
#ifndef KW_OBJECT_H
#define KW_OBJECT_H

#include <stddef.h>
#include <stdint.h>

#include "KW_Memory.h"
#include "KW_Platform.h"

class CKW_Object {
public:
    // Null on failure (after the out-of-memory handler): a new-expression
    // then yields null without running the constructor.
    static void* operator new(size_t size) noexcept;
    static void* operator new[](size_t size) noexcept;
    static void* operator new(size_t size, const char* file, int line) noexcept;
    static void* operator new[](size_t size, const char* file, int line) noexcept;
    static void operator delete(void* p) noexcept;
    static void operator delete[](void* p) noexcept;
    static void operator delete(void* p, const char* file, int line) noexcept;
    static void operator delete[](void* p, const char* file, int line) noexcept;
};

class CKW_AllocObject {
public:
    // allocator null: the default manager. The allocator is recorded in the
    // object's first field before the constructor runs.
    static void* operator new(size_t size, _IKW_Allocator* allocator) noexcept;
    static void* operator new(size_t size, _IKW_Allocator* allocator, const char* file, int line) noexcept;
    // Returns the block to the allocator recorded in it.
    static void operator delete(void* p) noexcept;
    // Placement forms (a throwing constructor): the given allocator.
    static void operator delete(void* p, _IKW_Allocator* allocator) noexcept;
    static void operator delete(void* p, _IKW_Allocator* allocator, const char* file, int line) noexcept;

    _IKW_Allocator* GetAllocator() const { return m_pAllocator; }

protected:
    // Leaves m_pAllocator as operator new wrote it.
    CKW_AllocObject() {} // NOLINT
    ~CKW_AllocObject() = default;

    _IKW_Allocator* m_pAllocator;
};

class CKW_GrowOnlyPool {
public:
    // allocator null: the default manager's allocator. Chunks are at least
    // trunkSize bytes.
    CKW_GrowOnlyPool(_IKW_Allocator* allocator, size_t trunkSize);
    ~CKW_GrowOnlyPool();
    CKW_GrowOnlyPool(const CKW_GrowOnlyPool&) = delete;
    CKW_GrowOnlyPool& operator=(const CKW_GrowOnlyPool&) = delete;

    // A block aligned for any scalar type, or null.
    void* Alloc(size_t size);
    void FreeAll();
    // New chunks come from this allocator; chunks already held go back to the
    // allocator that made them.
    void SetAllocator(_IKW_Allocator* allocator);

    _IKW_Allocator* GetAllocatorInterface() { return &m_Allocator; }
    operator _IKW_Allocator*() { return &m_Allocator; }

    struct Chunk {
        uint64_t capacity;
        uint64_t used;
        Chunk* next;
        _IKW_Allocator* maker;
    };

private:
    _IKW_Allocator m_Allocator; // first: the pool is an allocator
    uint64_t m_TrunkSize;
    Chunk* m_pFirstTrunk;
    _IKW_Allocator* m_pAllocator;
    _KW_MUTEX m_Mutex;
};

#endif // KW_OBJECT_H
