// Memory managers: request guards, hooks, the out-of-memory handler, and
// blocks always returning to the manager that made them.
#include "CKW_ByteString.h"
#include "CountingAllocator.h"
#include "KW_Memory.h"
#include "KW_Pool.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct HookLog {
    int alloc = 0, allocDebug = 0, realloc = 0, reallocDebug = 0, free = 0, tags = 0;
    void* lastResult = nullptr;
};
HookLog g_hooks;
int g_oomCalls = 0;

_KWMEM_Debugger MakeDebugger()
{
    _KWMEM_Debugger d{};
    d.OnAlloc = [](CKW_MemoryMgr*, void* r, size_t, int) { ++g_hooks.alloc; g_hooks.lastResult = r; };
    d.OnAllocDebug = [](CKW_MemoryMgr*, void* r, size_t, int, const char*, int) { ++g_hooks.allocDebug; g_hooks.lastResult = r; };
    d.OnRealloc = [](CKW_MemoryMgr*, void*, void* r, size_t, int) { ++g_hooks.realloc; g_hooks.lastResult = r; };
    d.OnReallocDebug = [](CKW_MemoryMgr*, void*, void* r, size_t, int, const char*, int) { ++g_hooks.reallocDebug; g_hooks.lastResult = r; };
    d.OnFree = [](CKW_MemoryMgr*, void*, int) { ++g_hooks.free; };
    d.OnTag = [](CKW_MemoryMgr*, const char*) { ++g_hooks.tags; };
    return d;
}

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hooks = HookLog();
        g_oomCalls = 0;
        debugger = MakeDebugger();
        KWMEM_UseDebugger(counting.mgr, &debugger);
        KWMEM_SetOOMHandler(counting.mgr, [](CKW_MemoryMgr*, void*) { ++g_oomCalls; }, nullptr);
    }
    void TearDown() override { EXPECT_EQ(counting.LiveBlocks(), 0u) << "leaked blocks"; }

    ScopedCountingDefault counting;
    _KWMEM_Debugger debugger;
};

TEST_F(MemoryTest, RequestGuardOfTheCountedFunctions)
{
    struct Case {
        size_t count, unit;
        int flags;
        bool reachesSystem;
        int oomCalls;
    };
    const Case cases[] = {
        {0x7fffffff, 1, 0, true, 0},      // the largest request that passes
        {0x80000000u, 1, 0, false, 1},    // one past it
        {2, 1073741824u, 0, false, 1},    // product past it
        {0x80000000u, 1, KWMEM_NONLEAVE, false, 0},
        {1, 0x80000000u, 0, false, 1},    // unit alone too large
        {0, 8, 0, false, 0},
        {8, 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " x " << c.unit << " flags " << c.flags);
        g_oomCalls = 0;
        const int before = counting.sys.allocs;
        counting.sys.failNext = c.reachesSystem; // don't really take 2 GiB
        void* p = KWMEM_DefaultAlloc2(c.count, c.unit, c.flags);
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(counting.sys.allocs - before, c.reachesSystem ? 1 : 0);
        EXPECT_EQ(g_oomCalls, c.oomCalls + (c.reachesSystem ? 1 : 0));
        counting.sys.failNext = false;
    }
}

TEST_F(MemoryTest, HooksSeeEachRequestKind)
{
    void* a = KWMEM_DefaultAlloc(10, 0);
    EXPECT_EQ(g_hooks.alloc, 1);
    EXPECT_EQ(g_hooks.lastResult, a);
    // A null block reallocated is an allocation, reported as such.
    void* b = KWMEM_DefaultRealloc(nullptr, 20, 0);
    EXPECT_EQ(g_hooks.alloc, 2);
    EXPECT_EQ(g_hooks.realloc, 0);
    b = KWMEM_DefaultRealloc(b, 4000, 0);
    EXPECT_EQ(g_hooks.realloc, 1);
    void* c = KWMEM_DefaultAllocDebug2(3, 4, 0, __FILE__, __LINE__);
    EXPECT_EQ(g_hooks.allocDebug, 1);
    c = KWMEM_DefaultReallocDebug2(c, 5, 4, 0, __FILE__, __LINE__);
    EXPECT_EQ(g_hooks.reallocDebug, 1);

    // Freeing null reaches no hook.
    KWMEM_DefaultFree(nullptr, 0);
    KWMEM_Free(counting.mgr, nullptr, 0);
    EXPECT_EQ(g_hooks.free, 0);
    KWMEM_DefaultFree(a, 0);
    KWMEM_DefaultFree(b, 0);
    KWMEM_Free(counting.mgr, c, 0);
    EXPECT_EQ(g_hooks.free, 3);

    KWMEM_OutputDebugTag(counting.mgr, "tag");
    EXPECT_EQ(g_hooks.tags, 1);
}

TEST_F(MemoryTest, FailureReachesHandlerUnlessAskedNotTo)
{
    counting.sys.failNext = true;
    EXPECT_EQ(KWMEM_DefaultAlloc(16, 0), nullptr);
    EXPECT_EQ(g_oomCalls, 1);
    EXPECT_EQ(g_hooks.alloc, 1);
    EXPECT_EQ(g_hooks.lastResult, nullptr);
    counting.sys.failNext = true;
    EXPECT_EQ(KWMEM_DefaultAlloc(16, KWMEM_NONLEAVE), nullptr);
    EXPECT_EQ(g_oomCalls, 1);
    // The embedded allocator always asks with flags 0.
    _IKW_Allocator* a = KWMEM_GetDefAllocator();
    counting.sys.failNext = true;
    EXPECT_EQ(a->Alloc(a, 16), nullptr);
    EXPECT_EQ(g_oomCalls, 2);
}

TEST_F(MemoryTest, ReallocOfZeroLeavesTheBlockAlone)
{
    char* p = static_cast<char*>(KWMEM_DefaultAlloc2(8, 1, 0));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcdefg", 8);
    EXPECT_EQ(KWMEM_DefaultRealloc2(p, 0, 1, 0), nullptr);
    EXPECT_STREQ(p, "abcdefg");
    EXPECT_EQ(g_oomCalls, 0);
    KWMEM_DefaultFree(p, 0);
}

TEST_F(MemoryTest, EmbeddedAllocatorLeadsBackToItsManager)
{
    _IKW_Allocator* a = KWMEM_GetDefAllocator();
    EXPECT_EQ(a, &counting.mgr->m_Allocator);
    void* p = a->Alloc(a, 32);
    EXPECT_EQ(KWMEM_GetBlockOwner(p), counting.mgr);
    p = a->Realloc(a, p, 64);
    a->Free(a, p);
    EXPECT_EQ(g_hooks.alloc, 1);
    EXPECT_EQ(g_hooks.realloc, 1);
    EXPECT_EQ(g_hooks.free, 1);
}

// A block made while one manager was the default goes back to it after the
// default has changed.
TEST(MemoryOwnership, BlocksReturnToTheirMakerAfterTheDefaultChanges)
{
    ScopedCountingDefault first;
    void* a = KWMEM_DefaultAlloc(24, 0);
    void* grown = nullptr;
    {
        ScopedCountingDefault second;
        void* b = KWMEM_DefaultAlloc(24, 0);
        KWMEM_DefaultFree(a, 0);                     // made by the first manager
        grown = KWMEM_DefaultRealloc(b, 100, 0);     // stays with the second
        EXPECT_EQ(KWMEM_GetBlockOwner(grown), second.mgr);
        KWMEM_DefaultFree(grown, 0);
        EXPECT_EQ(second.sys.foreignFrees, 0);
        EXPECT_EQ(second.LiveBlocks(), 0u);
    }
    EXPECT_EQ(first.sys.foreignFrees, 0);
    EXPECT_EQ(first.LiveBlocks(), 0u);
}

// A created manager takes its record and every block from its own table, and
// destroying it gives the record back; a table that cannot give the record
// makes no manager.
TEST(MemoryManagers, CreatedManagerLivesOnItsOwnTable)
{
    EXPECT_EQ(KWMEM_CreateVeltoMgr(nullptr), nullptr);
    CountingSystem sys;
    sys.failNext = true;
    EXPECT_EQ(KWMEM_CreateVeltoMgr(&sys.table), nullptr);
    EXPECT_TRUE(sys.live.empty());

    CKW_MemoryMgr* m = KWMEM_CreateVeltoMgr(&sys.table);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(sys.live.size(), 1u);   // the record itself
    void* p = KWMEM_Alloc(m, 40, 0);
    _IKW_Allocator* a = &m->m_Allocator;
    void* q = a->Alloc(a, 8);         // its allocator record leads back to it
    EXPECT_EQ(sys.live.size(), 3u);
    q = a->Realloc(a, q, 4000);
    KWMEM_Free(m, p, 0);
    a->Free(a, q);
    EXPECT_EQ(sys.live.size(), 1u);
    KWMEM_DestroyVeltoMgr(m);
    EXPECT_TRUE(sys.live.empty());
    EXPECT_EQ(sys.foreignFrees, 0);
    KWMEM_DestroyVeltoMgr(nullptr);
}

// Without any set-up, and again after a reset, the default hands out plain
// malloc blocks; in between, requests reach the manager made the default.
TEST(MemoryManagers, DefaultIsMallocUntilChangedAndAfterReset)
{
    void* before = KWMEM_DefaultAlloc(32, 0);
    ASSERT_NE(before, nullptr);
    free(before);   // a plain malloc block: the C library may free it

    CountingSystem sys;
    CKW_MemoryMgr* m = KWMEM_CreateVeltoMgr(&sys.table);
    KWMEM_SetDefaultMgr(m);
    void* counted = KWMEM_DefaultAlloc(32, 0);
    EXPECT_EQ(sys.live.count(counted), 1u);
    CKW_MemoryMgr* def = KWMEM_ResetSystemMgr();
    EXPECT_EQ(KWMEM_GetDefaultMgr(), def);
    EXPECT_NE(def, m);

    const int allocs = sys.allocs;
    void* after = KWMEM_DefaultAlloc(32, 0);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(sys.allocs, allocs);
    free(after);
    KWMEM_DefaultFree(counted, 0);   // still returns to the manager that made it
    EXPECT_EQ(sys.live.size(), 1u);
    KWMEM_DestroyVeltoMgr(m);
    EXPECT_EQ(sys.foreignFrees, 0);
}

// Blocks that no manager other than the static default made are malloc
// blocks: whichever manager is the default when they are freed, they go to
// free() and never to that manager's table.
TEST(MemoryManagers, MallocBlocksHandedInAreFreedByTheCLibrary)
{
    ScopedCountingDefault counting;
    void* attached = malloc(24);
    KWMEM_DefaultFree(attached, 0);
    void* grown = KWMEM_DefaultRealloc(malloc(8), 5000, 0);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(KWMEM_GetBlockOwner(grown), KWMEM_GetStaticDefaultMgr());
    _IKW_Allocator* a = KWMEM_GetDefAllocator();
    a->Free(a, grown);
    EXPECT_EQ(counting.sys.foreignFrees, 0);
    EXPECT_EQ(counting.sys.frees, 0);
    EXPECT_EQ(counting.LiveBlocks(), 0u);
}

// Destroying the manager that is the default puts the static default back,
// so the next request does not reach a freed record; blocks it made that are
// still alive are freed through its table.
TEST(MemoryManagers, DestroyingTheDefaultRestoresTheStaticDefault)
{
    CountingSystem sys;
    CKW_MemoryMgr* m = KWMEM_CreateVeltoMgr(&sys.table);
    KWMEM_SetDefaultMgr(m);
    void* survivor = KWMEM_DefaultAlloc(64, 0);
    ASSERT_NE(survivor, nullptr);
    KWMEM_DestroyVeltoMgr(m);
    EXPECT_EQ(KWMEM_GetDefaultMgr(), KWMEM_GetStaticDefaultMgr());

    CKW_ByteString s("allocated after the manager is gone");
    s += " and grown";
    EXPECT_TRUE(s == "allocated after the manager is gone and grown");
    survivor = KWMEM_DefaultRealloc(survivor, 128, 0);
    EXPECT_EQ(sys.live.count(survivor), 1u);
    KWMEM_DefaultFree(survivor, 0);
    EXPECT_TRUE(sys.live.empty());
    EXPECT_EQ(sys.foreignFrees, 0);
}

TEST(PoolManager, ServesSmallRequestsAndSurvivesRecreation)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    ASSERT_EQ(pool->m_Type, CKW_MemoryMgr::kPool);
    KWMEM_SetDefaultMgr(pool);
    void* small = KWMEM_DefaultAlloc(16, 0);
    void* large = KWMEM_DefaultAlloc(5000, 0);
    KWMEM_ResetSystemMgr();

    CKWMEM_PyMgr* py = KWMEM_GetPyMgr();
    ASSERT_NE(py, nullptr);
    // Small requests come from the pool, large ones from the fallback.
    EXPECT_TRUE(_PyObject_IsPoolBlock(&py->m_State, small));
    EXPECT_FALSE(_PyObject_IsPoolBlock(&py->m_State, large));

    // Re-creating (and destroying) the manager while a block is live keeps
    // the pool that holds it.
    std::memset(small, 0x5a, 16);
    KWMEM_DestroyVeltoMgr(pool);
    pool = KWMEM_CreatePyMgr();
    EXPECT_TRUE(_PyObject_IsPoolBlock(&py->m_State, small));
    EXPECT_EQ(static_cast<unsigned char*>(small)[15], 0x5a);

    // The malloc default is back, and frees still reach the pool.
    void* plain = KWMEM_DefaultAlloc(16, 0);
    EXPECT_EQ(KWMEM_GetBlockOwner(plain), KWMEM_GetStaticDefaultMgr());
    KWMEM_DefaultFree(plain, 0);
    KWMEM_DefaultFree(small, 0);
    KWMEM_DefaultFree(large, 0);

    KWMEM_DestroyVeltoMgr(pool);
    EXPECT_EQ(py->m_State.narenas_currently_allocated, 0u);
}

// The pool takes no configuration: whatever it is given, it keeps serving
// the same requests from the same size classes.
TEST(PoolManager, ConfigurationChangesNothing)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    CKWMEM_PyMgr* py = KWMEM_GetPyMgr();
    auto serve = [&](size_t size) {
        void* p = KWMEM_Alloc(pool, size, 0);
        const size_t blockSize = _PyObject_BlockSize(&py->m_State, p);
        KWMEM_Free(pool, p, 0);
        return blockSize;
    };
    const size_t small = serve(24), large = serve(5000);
    EXPECT_GT(small, 0u);
    EXPECT_EQ(large, 0u);
    EXPECT_EQ(KWMEM_SetPyConfig(0, 1 << 20, "arena", 4), 0);
    EXPECT_EQ(serve(24), small);
    EXPECT_EQ(serve(5000), large);
    KWMEM_DestroyVeltoMgr(pool);
}

// The pool knows its blocks by their arena, a created manager by its
// registry: whichever manager is asked, every block goes back to its maker
// and a plain malloc block to free().
TEST(PoolManager, BlocksFindTheirMakerWhicheverManagerFreesThem)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    CKWMEM_PyMgr* py = KWMEM_GetPyMgr();
    CountingSystem sys;
    CKW_MemoryMgr* counted = KWMEM_CreateVeltoMgr(&sys.table);

    void* small = KWMEM_Alloc(pool, 48, 0);
    void* large = KWMEM_Alloc(pool, 5000, 0);
    void* mine = KWMEM_Alloc(counted, 48, 0);
    void* plain = malloc(48);
    ASSERT_TRUE(_PyObject_IsPoolBlock(&py->m_State, small));
    EXPECT_EQ(KWMEM_GetBlockOwner(small), pool);
    EXPECT_EQ(KWMEM_GetBlockOwner(large), KWMEM_GetStaticDefaultMgr());   // a malloc block
    EXPECT_EQ(KWMEM_GetBlockOwner(mine), counted);
    EXPECT_EQ(KWMEM_GetBlockOwner(plain), KWMEM_GetStaticDefaultMgr());

    // A pool block grown past the pool through another manager is still
    // grown by the pool, into a malloc block.
    small = KWMEM_Realloc(counted, small, 3000, 0);
    ASSERT_NE(small, nullptr);
    EXPECT_FALSE(_PyObject_IsPoolBlock(&py->m_State, small));
    void* again = KWMEM_Alloc(pool, 32, 0);
    KWMEM_Free(counted, again, 0);
    KWMEM_Free(counted, small, 0);
    KWMEM_Free(counted, large, 0);
    KWMEM_Free(pool, mine, 0);
    KWMEM_Free(pool, plain, 0);
    EXPECT_EQ(sys.live.size(), 1u);   // the record itself
    EXPECT_EQ(sys.foreignFrees, 0);
    KWMEM_DestroyVeltoMgr(counted);
    KWMEM_DestroyVeltoMgr(pool);
    EXPECT_EQ(py->m_State.narenas_currently_allocated, 0u);
}

// Threads allocate through the pool and free each other's blocks through
// other managers: the arena map is read without the pool's lock.
TEST(PoolManagerThreads, BlocksCrossThreadsAndManagers)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    CKW_MemoryMgr* plain = KWMEM_GetStaticDefaultMgr();
    const int kThreads = 4, kBlocks = 2000;
    std::vector<std::vector<void*>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kBlocks; ++i) {
                void* p = KWMEM_Alloc(pool, 16 + (i % 80) * 16, 0);
                if (p)
                    std::memset(p, t, 16);
                made[t].push_back(p);
            }
        });
    for (auto& th : threads)
        th.join();
    threads.clear();
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (void* p : made[(t + 1) % kThreads])
                KWMEM_Free(t % 2 ? pool : plain, p, 0);
        });
    for (auto& th : threads)
        th.join();
    KWMEM_DestroyVeltoMgr(pool);
    EXPECT_EQ(KWMEM_GetPyMgr()->m_State.narenas_currently_allocated, 0u);
}

// Threads pass blocks round a ring while each allocates, frees and grows its
// own, through the pool and the plain manager alike: no block is handed out
// twice while it lives (each carries its maker's pattern up to its free), and
// once the threads have ended every block they kept is back in the pool.
TEST(PoolManagerThreads, BlocksPassedRoundARingStayIntactAndGoBack)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    CKW_MemoryMgr* plain = KWMEM_GetStaticDefaultMgr();
    struct Block {
        unsigned char* p;
        size_t size;
        unsigned char tag;
    };
    struct Inbox {
        std::mutex mutex;
        std::vector<Block> blocks;
    };
    const int kThreads = 4, kRounds = 300, kBatch = 48;
    std::vector<Inbox> inboxes(kThreads);
    std::vector<int> damaged(kThreads, 0);
    auto intact = [](const Block& b) {
        for (size_t i = 0; i < b.size; ++i)
            if (b.p[i] != b.tag)
                return false;
        return true;
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                std::vector<Block> batch;
                for (int i = 0; i < kBatch; ++i) {
                    const size_t size = 8 + (size_t(round * 131 + i * 37 + t * 11) % 1100);
                    Block b{static_cast<unsigned char*>(KWMEM_Alloc(pool, size, 0)), size,
                            static_cast<unsigned char>(t * 64 + round + i)};
                    std::memset(b.p, b.tag, b.size);
                    if (i % 3 == 0) {   // one of three grows or shrinks first
                        b.size = 8 + (b.size * 7) % 900;
                        b.p = static_cast<unsigned char*>(KWMEM_Realloc(pool, b.p, b.size, 0));
                        std::memset(b.p, b.tag, b.size);
                    }
                    if (i % 2)
                        batch.push_back(b);
                    else {
                        damaged[t] += !intact(b);
                        KWMEM_Free(round % 2 ? pool : plain, b.p, 0);
                    }
                }
                {
                    Inbox& next = inboxes[(t + 1) % kThreads];
                    std::lock_guard<std::mutex> lock(next.mutex);
                    next.blocks.insert(next.blocks.end(), batch.begin(), batch.end());
                }
                std::vector<Block> mine;
                {
                    std::lock_guard<std::mutex> lock(inboxes[t].mutex);
                    mine.swap(inboxes[t].blocks);
                }
                for (const Block& b : mine) {
                    damaged[t] += !intact(b);
                    KWMEM_Free(round % 2 ? plain : pool, b.p, 0);
                }
            }
        });
    for (auto& th : threads)
        th.join();
    for (Inbox& inbox : inboxes)
        for (const Block& b : inbox.blocks) {
            EXPECT_TRUE(intact(b));
            KWMEM_Free(pool, b.p, 0);
        }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(damaged[t], 0) << "thread " << t;
    KWMEM_DestroyVeltoMgr(pool);
    EXPECT_EQ(KWMEM_GetPyMgr()->m_State.narenas_currently_allocated, 0u);
}

// A thread that kept freed blocks while another discarded the pool gives
// them back at its next call, which the C library serves: the pool then lets
// its last arena go although that thread still runs.
TEST(PoolManagerThreads, KeptBlocksGoBackAtTheNextCallAfterADiscard)
{
    CKW_MemoryMgr* pool = KWMEM_CreatePyMgr();
    CKWMEM_PyMgr* py = KWMEM_GetPyMgr();
    std::promise<void> kept, discarded, asked, checked;
    bool served = false;
    std::thread worker([&] {
        std::vector<void*> blocks;
        for (int i = 0; i < 40; ++i)
            blocks.push_back(KWMEM_Alloc(pool, 32, 0));
        for (void* p : blocks)
            KWMEM_Free(pool, p, 0);
        kept.set_value();
        discarded.get_future().wait();
        void* after = KWMEM_Alloc(pool, 32, 0);
        served = after && !_PyObject_IsPoolBlock(&py->m_State, after);
        asked.set_value();
        checked.get_future().wait();
        KWMEM_Free(pool, after, 0);
    });
    kept.get_future().wait();
    KWMEM_DestroyVeltoMgr(pool);
    discarded.set_value();
    asked.get_future().wait();
    EXPECT_TRUE(served);
    EXPECT_EQ(py->m_State.narenas_currently_allocated, 0u);
    EXPECT_EQ(py->m_State.state, KWPOOL_RELEASED);
    checked.set_value();
    worker.join();
}

// Code that runs while a thread ends, after the pool has taken back what
// the thread kept (a thread-key destructor made later than the pool's), may
// still allocate and free through the pool: nothing it frees is lost.
pthread_key_t g_lateKey;
CKW_MemoryMgr* g_latePool;
void FreeAtThreadEnd(void* block)
{
    KWMEM_Free(g_latePool, block, 0);
    KWMEM_Free(g_latePool, KWMEM_Alloc(g_latePool, 64, 0), 0);
}

TEST(PoolManagerThreads, BlocksFreedWhileAThreadEndsGoBack)
{
    CKW_MemoryMgr* pool = g_latePool = KWMEM_CreatePyMgr();
    std::thread([&] { KWMEM_Free(pool, KWMEM_Alloc(pool, 64, 0), 0); }).join();   // the pool watches thread ends
    ASSERT_EQ(pthread_key_create(&g_lateKey, FreeAtThreadEnd), 0);
    std::thread([&] {
        void* block = KWMEM_Alloc(pool, 64, 0);
        KWMEM_Free(pool, KWMEM_Alloc(pool, 64, 0), 0);
        pthread_setspecific(g_lateKey, block);
    }).join();
    pthread_key_delete(g_lateKey);
    KWMEM_DestroyVeltoMgr(pool);
    EXPECT_EQ(KWMEM_GetPyMgr()->m_State.narenas_currently_allocated, 0u);
}

} // namespace
