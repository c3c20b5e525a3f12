// Small-object pool, grow-only pool and the object allocation roots.
#include "CountingAllocator.h"
#include "KW_Object.h"
#include "KW_Pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct PoolState {
    KW_PyObjectState s;
    PoolState() { _PyObject_Init(&s); }
    ~PoolState()
    {
        _PyObject_Discard(&s);
        EXPECT_EQ(s.narenas_currently_allocated, 0u) << "arenas still held: a block leaked";
        free(s.arenas);
    }
};

bool Aligned16(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 15) == 0; }

TEST(SmallObjectPool, SizeClassesAndFallback)
{
    PoolState pool;
    KW_PyObjectState* s = &pool.s;
    struct Case {
        size_t size;
        bool pooled;
        size_t blockSize;
    } cases[] = {{0, false, 0}, {1, true, 16}, {16, true, 16}, {17, true, 32}, {1024, true, 1024}, {1025, false, 0}};
    std::vector<void*> blocks;
    for (const Case& c : cases) {
        void* p = _PyObject_Malloc(s, c.size);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(_PyObject_IsPoolBlock(s, p), c.pooled) << c.size;
        EXPECT_EQ(_PyObject_BlockSize(s, p), c.blockSize) << c.size;
        EXPECT_TRUE(Aligned16(p));
        blocks.push_back(p);
    }
    // 1 and 16 bytes share class 0: consecutive blocks of one pool.
    EXPECT_EQ(static_cast<char*>(blocks[2]) - static_cast<char*>(blocks[1]), 16);
    for (void* p : blocks)
        EXPECT_EQ(_PyObject_Free(s, p), 1);
    EXPECT_EQ(_PyObject_Free(s, nullptr), 0);
}

TEST(SmallObjectPool, ReallocKeepsOrMovesByTheQuarterRule)
{
    PoolState pool;
    KW_PyObjectState* s = &pool.s;
    char* p = static_cast<char*>(_PyObject_Malloc(s, 64));
    for (int i = 0; i < 64; ++i)
        p[i] = static_cast<char>(i);
    EXPECT_EQ(_PyObject_Realloc(s, p, 60), p);
    char* q = static_cast<char*>(_PyObject_Realloc(s, p, 40));
    ASSERT_NE(q, p);
    EXPECT_EQ(_PyObject_BlockSize(s, q), 48u);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(q[i], static_cast<char>(i));
    // Growing past the small limit leaves the pool with the bytes.
    char* big = static_cast<char*>(_PyObject_Realloc(s, q, 5000));
    EXPECT_FALSE(_PyObject_IsPoolBlock(s, big));
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(big[i], static_cast<char>(i));
    _PyObject_Free(s, big);
}

TEST(SmallObjectPool, ForeignBlocksGoToTheFallback)
{
    PoolState pool;
    KW_PyObjectState* s = &pool.s;
    void* mine = _PyObject_Malloc(s, 32); // an arena exists
    void* foreign = std::malloc(32);
    EXPECT_FALSE(_PyObject_IsPoolBlock(s, foreign));
    EXPECT_EQ(_PyObject_Free(s, foreign), 1); // freed with free(), ASan would see otherwise
    _PyObject_Free(s, mine);
}

TEST(SmallObjectPool, DiscardingServesFromFallbackAndReleasesArenas)
{
    PoolState pool;
    KW_PyObjectState* s = &pool.s;
    void* before = _PyObject_Malloc(s, 100);
    _PyObject_Discard(&pool.s);
    void* after = _PyObject_Malloc(s, 100);
    EXPECT_FALSE(_PyObject_IsPoolBlock(s, after));
    EXPECT_EQ(s->narenas_currently_allocated, 1u);
    _PyObject_Free(s, before);
    EXPECT_EQ(s->narenas_currently_allocated, 0u);
    EXPECT_EQ(s->state, KWPOOL_RELEASED);
    _PyObject_Free(s, after);
}

// Many blocks of random sizes, each filled with a pattern of its own, freed
// and reallocated in random order: no block may overlap or corrupt another.
TEST(SmallObjectPool, StressWithPatternCheckedBlocks)
{
    PoolState pool;
    KW_PyObjectState* s = &pool.s;
    struct Block {
        unsigned char* p;
        size_t size;
        unsigned char tag;
    };
    auto fill = [](Block& b) { std::memset(b.p, b.tag, b.size); };
    auto check = [](const Block& b) {
        for (size_t i = 0; i < b.size; ++i)
            if (b.p[i] != b.tag)
                return false;
        return true;
    };
    std::mt19937 rng(12345);
    std::vector<Block> live;
    size_t maxArenas = 0;
    for (int round = 0; round < 60000; ++round) {
        const unsigned op = rng() % 10;
        if (live.empty() || op < 5) {
            Block b{nullptr, 1 + rng() % 1100, static_cast<unsigned char>(round)};
            b.p = static_cast<unsigned char*>(_PyObject_Malloc(s, b.size));
            ASSERT_NE(b.p, nullptr);
            ASSERT_TRUE(Aligned16(b.p));
            fill(b);
            live.push_back(b);
        } else if (op < 8) {
            size_t i = rng() % live.size();
            ASSERT_TRUE(check(live[i])) << "block corrupted at round " << round;
            _PyObject_Free(s, live[i].p);
            live[i] = live.back();
            live.pop_back();
        } else {
            Block& b = live[rng() % live.size()];
            ASSERT_TRUE(check(b));
            size_t newSize = 1 + rng() % 1100;
            b.p = static_cast<unsigned char*>(_PyObject_Realloc(s, b.p, newSize));
            ASSERT_NE(b.p, nullptr);
            const size_t kept = newSize < b.size ? newSize : b.size;
            for (size_t k = 0; k < kept; ++k)
                ASSERT_EQ(b.p[k], b.tag);
            b.size = newSize;
            b.tag = static_cast<unsigned char>(b.tag + 1);
            fill(b);
        }
        if (s->narenas_currently_allocated > maxArenas)
            maxArenas = s->narenas_currently_allocated;
    }
    for (const Block& b : live) {
        ASSERT_TRUE(check(b));
        _PyObject_Free(s, b.p);
    }
    EXPECT_GT(maxArenas, 1u);                         // the test did span arenas
    EXPECT_LE(s->narenas_currently_allocated, 1u);    // emptied arenas went back
}

TEST(GrowOnlyPool, BumpsWithinChunksAndAlignsBlocks)
{
    CountingAllocator chunks;
    {
        CKW_GrowOnlyPool pool(chunks.get(), 64);
        char* a = static_cast<char*>(pool.Alloc(1));
        char* b = static_cast<char*>(pool.Alloc(1));
        EXPECT_TRUE(Aligned16(a));
        EXPECT_EQ(b - a, 16); // blocks stay aligned for any scalar type
        EXPECT_EQ(chunks.allocs, 1);
        char* c = static_cast<char*>(pool.Alloc(100)); // a new chunk of its own size
        EXPECT_TRUE(Aligned16(c));
        EXPECT_EQ(chunks.allocs, 2);
        char* d = static_cast<char*>(pool.Alloc(32)); // still fits the first chunk
        EXPECT_EQ(d - a, 32);
        EXPECT_EQ(chunks.allocs, 2);
        // Usable as an allocator: Alloc serves, Free does nothing.
        _IKW_Allocator* iface = pool;
        void* e = iface->Alloc(iface, 8);
        EXPECT_NE(e, nullptr);
        iface->Free(iface, e);
        EXPECT_EQ(iface->Realloc(iface, e, 16), nullptr);
    }
    EXPECT_EQ(chunks.frees, chunks.allocs);
    EXPECT_TRUE(chunks.live.empty());
}

TEST(GrowOnlyPool, ChunksReturnToTheAllocatorThatMadeThem)
{
    CountingAllocator first, second;
    {
        CKW_GrowOnlyPool pool(first.get(), 256);
        pool.Alloc(10);
        pool.SetAllocator(second.get());
        pool.Alloc(1000);
    }
    EXPECT_EQ(first.foreignFrees + second.foreignFrees, 0);
    EXPECT_TRUE(first.live.empty());
    EXPECT_TRUE(second.live.empty());
}

struct Plain : CKW_Object {
    int value = 7;
};
struct Bound : CKW_AllocObject {
    int value = 9;
};

TEST(ObjectAllocation, ObjectsUseTheDefaultManager)
{
    ScopedCountingDefault counting;
    Plain* p = new Plain;
    EXPECT_EQ(p->value, 7);
    Plain* arr = new Plain[3];
    EXPECT_EQ(counting.LiveBlocks(), 2u);
    delete p;
    delete[] arr;
    EXPECT_EQ(counting.LiveBlocks(), 0u);

    counting.sys.failNext = true;
    Plain* none = new Plain; // null, no constructor run
    EXPECT_EQ(none, nullptr);
}

TEST(ObjectAllocation, AllocObjectsReturnToTheirAllocator)
{
    CountingAllocator alloc;
    Bound* b = new (alloc.get()) Bound;
    EXPECT_EQ(b->GetAllocator(), alloc.get());
    EXPECT_EQ(b->value, 9);
    delete b;
    EXPECT_EQ(alloc.allocs, 1);
    EXPECT_EQ(alloc.frees, 1);
    EXPECT_TRUE(alloc.live.empty());

    ScopedCountingDefault counting;
    Bound* d = new (static_cast<_IKW_Allocator*>(nullptr)) Bound;
    EXPECT_EQ(d->GetAllocator(), nullptr);
    EXPECT_EQ(counting.LiveBlocks(), 1u);
    delete d;
    EXPECT_EQ(counting.LiveBlocks(), 0u);

    alloc.failAfter = 0;
    EXPECT_EQ(new (alloc.get()) Bound, nullptr);
}

} // namespace
