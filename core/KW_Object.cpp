#include "KW_Object.h"

#include <string.h>

namespace {

// Whether the allocator is a manager's embedded one (which reports its own
// failures to the out-of-memory handler).
bool IsManagerAllocator(const _IKW_Allocator* allocator)
{
    return allocator->Alloc == KWMEM_GetDefAllocator()->Alloc;
}

void* AllocFor(size_t size, _IKW_Allocator* allocator, const char* file, int line, bool debug)
{
    if (size < sizeof(_IKW_Allocator*))
        size = sizeof(_IKW_Allocator*);
    void* p;
    if (allocator) {
        p = debug ? allocator->AllocDebug(allocator, size, file, line) : allocator->Alloc(allocator, size);
        if (!p && !IsManagerAllocator(allocator))
            KWMEM_ReportOOM(KWMEM_GetDefaultMgr());
    } else {
        p = debug ? KWMEM_DefaultAllocDebug(size, 0, file, line) : KWMEM_DefaultAlloc(size, 0);
    }
    if (p)
        *static_cast<_IKW_Allocator**>(p) = allocator;
    return p;
}

void FreeThrough(void* p, _IKW_Allocator* allocator)
{
    KWMEM_FreeWith(allocator, p);
}

constexpr uint64_t kAlign = 16;
constexpr uint64_t kChunkHeader = sizeof(CKW_GrowOnlyPool::Chunk);
static_assert(kChunkHeader % kAlign == 0, "chunk header must keep blocks aligned");

void* PoolAlloc(_IKW_Allocator* a, size_t size);
void* PoolAllocDebug(_IKW_Allocator* a, size_t size, const char*, int) { return PoolAlloc(a, size); }
void* PoolRealloc(_IKW_Allocator*, void*, size_t) { return nullptr; }
void* PoolReallocDebug(_IKW_Allocator*, void*, size_t, const char*, int) { return nullptr; }
void PoolFree(_IKW_Allocator*, void*) {}

} // namespace

// ---------------------------------------------------------------------------
void* CKW_Object::operator new(size_t size) noexcept { return KWMEM_DefaultAlloc(size, 0); }
void* CKW_Object::operator new[](size_t size) noexcept { return KWMEM_DefaultAlloc(size, 0); }
void* CKW_Object::operator new(size_t size, const char* file, int line) noexcept
{
    return KWMEM_DefaultAllocDebug(size, 0, file, line);
}
void* CKW_Object::operator new[](size_t size, const char* file, int line) noexcept
{
    return KWMEM_DefaultAllocDebug(size, 0, file, line);
}
void CKW_Object::operator delete(void* p) noexcept { KWMEM_DefaultFree(p, 0); }
void CKW_Object::operator delete[](void* p) noexcept { KWMEM_DefaultFree(p, 0); }
void CKW_Object::operator delete(void* p, const char*, int) noexcept { KWMEM_DefaultFree(p, 0); }
void CKW_Object::operator delete[](void* p, const char*, int) noexcept { KWMEM_DefaultFree(p, 0); }

// ---------------------------------------------------------------------------
void* CKW_AllocObject::operator new(size_t size, _IKW_Allocator* allocator) noexcept
{
    return AllocFor(size, allocator, nullptr, 0, false);
}

void* CKW_AllocObject::operator new(size_t size, _IKW_Allocator* allocator, const char* file, int line) noexcept
{
    return AllocFor(size, allocator, file, line, true);
}

void CKW_AllocObject::operator delete(void* p) noexcept
{
    if (p)
        FreeThrough(p, *static_cast<_IKW_Allocator**>(p));
}

void CKW_AllocObject::operator delete(void* p, _IKW_Allocator* allocator) noexcept { FreeThrough(p, allocator); }

void CKW_AllocObject::operator delete(void* p, _IKW_Allocator* allocator, const char*, int) noexcept
{
    FreeThrough(p, allocator);
}

// ---------------------------------------------------------------------------
namespace {
void* PoolAlloc(_IKW_Allocator* a, size_t size)
{
    return reinterpret_cast<CKW_GrowOnlyPool*>(a)->Alloc(size);
}
} // namespace

CKW_GrowOnlyPool::CKW_GrowOnlyPool(_IKW_Allocator* allocator, size_t trunkSize)
    : m_Allocator{PoolAllocDebug, PoolAlloc, PoolReallocDebug, PoolRealloc, PoolFree},
      m_TrunkSize(trunkSize),
      m_pFirstTrunk(nullptr),
      m_pAllocator(allocator ? allocator : KWMEM_GetDefAllocator())
{
    KW_Mutex_Initialize(&m_Mutex);
}

CKW_GrowOnlyPool::~CKW_GrowOnlyPool()
{
    FreeAll();
    KW_Mutex_Destroy(&m_Mutex);
}

void* CKW_GrowOnlyPool::Alloc(size_t size)
{
    if (size > UINT64_MAX - kChunkHeader - kAlign)
        return nullptr;
    const uint64_t rounded = (static_cast<uint64_t>(size) + kAlign - 1) & ~(kAlign - 1);
    CKW_MutexLocker lock(&m_Mutex);
    for (Chunk* c = m_pFirstTrunk; c; c = c->next) {
        if (c->capacity - c->used >= rounded) {
            void* p = reinterpret_cast<char*>(c + 1) + c->used;
            c->used += rounded;
            return p;
        }
    }
    uint64_t capacity = rounded > m_TrunkSize ? rounded : m_TrunkSize;
    capacity = (capacity + kAlign - 1) & ~(kAlign - 1);
    if (capacity == 0 || capacity > UINT64_MAX - kChunkHeader)
        return nullptr;
    Chunk* c = static_cast<Chunk*>(m_pAllocator->Alloc(m_pAllocator, capacity + kChunkHeader));
    if (!c)
        return nullptr;
    c->capacity = capacity;
    c->used = rounded;
    c->next = m_pFirstTrunk;
    c->maker = m_pAllocator;
    m_pFirstTrunk = c;
    return c + 1;
}

void CKW_GrowOnlyPool::FreeAll()
{
    CKW_MutexLocker lock(&m_Mutex);
    for (Chunk* c = m_pFirstTrunk; c;) {
        Chunk* next = c->next;
        c->maker->Free(c->maker, c);
        c = next;
    }
    m_pFirstTrunk = nullptr;
}

void CKW_GrowOnlyPool::SetAllocator(_IKW_Allocator* allocator)
{
    CKW_MutexLocker lock(&m_Mutex);
    m_pAllocator = allocator ? allocator : KWMEM_GetDefAllocator();
}
