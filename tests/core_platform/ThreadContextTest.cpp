// Process and thread contexts, library threads and their priorities, locks
// and atomic counters. Suites whose names end in "Threads" start threads;
// they also run under ThreadSanitizer.
#include "KW_Platform.h"
#include "KW_PlatformThread.h"
#include "KW_Thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ProcessContext : public ::testing::Test {
protected:
    void SetUp() override { KW_Process_Initialize(); }
    void TearDown() override { KW_Process_Finalize(); }
};

int g_freed = 0;
void CountFree(void*) { ++g_freed; }

TEST(ProcessContextAbsent, EverythingIsNeutralAndNoThreadStarts)
{
    ASSERT_EQ(KW_Process_GetContext(), nullptr);
    EXPECT_EQ(KW_Thread_GetContext(), nullptr);
    KW_Thread_SetLastError(5);
    EXPECT_EQ(KW_Thread_GetLastError(), 0);
    EXPECT_EQ(KW_Thread_GetExceptionContext(), nullptr);
    EXPECT_EQ(KW_Thread_GetHandler(), nullptr);
    KW_Process_SetPrivateData(&g_freed, &g_freed, CountFree);
    EXPECT_EQ(KW_Process_GetPrivateData(&g_freed), nullptr);

    static std::atomic<int> ran{0};
    _KW_HTHREAD thread = KW_Thread_Create(0, 0, [](void*) { ran = 1; }, nullptr);
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(ran.load(), 0);
}

TEST_F(ProcessContext, HangsOnTheDefaultManagerAndFinalizeFreesEverything)
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(KWMEM_GetDefaultMgr()->m_pProcessContext, process);
    KW_Process_Initialize();   // a second call changes nothing
    EXPECT_EQ(KW_Process_GetContext(), process);

    ASSERT_NE(KW_Thread_GetContext(), nullptr);
    KW_Thread_SetLastError(42);
    EXPECT_EQ(KW_Thread_GetLastError(), 42);
    KW_Thread_SetHandler(&g_freed);
    EXPECT_EQ(KW_Thread_GetHandler(), &g_freed);

    g_freed = 0;
    static int threadKey, processKey;
    KW_Thread_SetPrivateData(&threadKey, &threadKey, CountFree);
    KW_Process_SetPrivateData(&processKey, &processKey, CountFree);
    EXPECT_EQ(KW_Thread_GetPrivateData(&threadKey), &threadKey);
    EXPECT_EQ(KW_Process_GetPrivateData(&processKey), &processKey);
    KW_Process_Finalize();
    EXPECT_EQ(g_freed, 2);
    EXPECT_EQ(KWMEM_GetDefaultMgr()->m_pProcessContext, nullptr);
    EXPECT_EQ(KW_Thread_GetContext(), nullptr);
}

TEST(ThreadPriority, ScaleToSchedulingPriorityAndBack)
{
    struct Case {
        int32_t asked;
        int32_t sched;
        int32_t readBack;
    };
    const Case cases[] = {{-2, 1, -2}, {-1, 25, -1}, {0, 50, 0}, {1, 75, 1}, {2, 99, 2}, {3, 50, 0}, {-7, 50, 0}};
    const _KW_HTHREAD self = KW_Thread_GetHandle();
    for (const Case& c : cases) {
        EXPECT_EQ(KWCRT_SchedPriorityOf(c.asked), c.sched) << c.asked;
        ASSERT_EQ(KW_Thread_SetPriority(self, c.asked), 0) << c.asked;
        bool ok = false;
        EXPECT_EQ(KWCRT_Thread_GetSchedPriority(self, &ok), c.sched) << c.asked;
        EXPECT_EQ(KW_Thread_GetPriority(self), c.readBack) << c.asked;
    }
    KWCRT_Thread_Forget(self);
}

// ---------------------------------------------------------------------------
// Threads

class ContextThreads : public ProcessContext {};

struct Probe {
    int32_t priority = 99;
    bool hadContext = false;
    bool privateDataKept = false;
    bool lastErrorKept = false;
};

void RunProbe(void* argument)
{
    Probe* probe = static_cast<Probe*>(argument);
    probe->hadContext = KW_Thread_GetContext() != nullptr;
    probe->priority = KW_Thread_GetPriority(KW_Thread_GetHandle());
    static int key;
    int* mine = new int(7);
    KW_Thread_SetPrivateData(&key, mine, [](void* p) { delete static_cast<int*>(p); });
    KW_Thread_SetLastError(static_cast<int32_t>(reinterpret_cast<intptr_t>(probe) & 0x7FFF));
    for (int i = 0; i < 100; ++i)
        KW_Thread_Yield();
    probe->privateDataKept = KW_Thread_GetPrivateData(&key) == mine;
    probe->lastErrorKept = KW_Thread_GetLastError() == static_cast<int32_t>(reinterpret_cast<intptr_t>(probe) & 0x7FFF);
}

TEST_F(ContextThreads, SixtyFourThreadsEachWithTheirOwnContext)
{
    std::vector<Probe> probes(64);
    std::vector<_KW_HTHREAD> threads;
    for (int i = 0; i < 64; ++i) {
        const int32_t priority = i % 5 - 2;
        _KW_HTHREAD t = KW_Thread_Create(priority, 0, RunProbe, &probes[i]);
        ASSERT_NE(t, nullptr);
        threads.push_back(t);
    }
    EXPECT_EQ(KW_Thread_WaitForMultipleThreads(threads.data(), static_cast<int32_t>(threads.size())), 0);
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(probes[i].hadContext) << i;
        EXPECT_TRUE(probes[i].privateDataKept) << i;
        EXPECT_TRUE(probes[i].lastErrorKept) << i;
        EXPECT_EQ(probes[i].priority, i % 5 - 2) << i;
    }
    // Every finished thread has left the map: only this thread remains.
    EXPECT_EQ(KW_Process_GetContext()->m_ThreadMap.GetCount(), 1);
    EXPECT_EQ(KW_Thread_WaitForMultipleThreads(threads.data(), 0), 0);
}

class LockThreads : public ::testing::Test {};

struct Counters {
    _KW_SPINLOCK spin = 0;
    int64_t guarded = 0;
    volatile int32_t atomic32 = 0;
    volatile int64_t atomic64 = 0;
};

void* Hammer(void* argument)
{
    Counters* c = static_cast<Counters*>(argument);
    for (int i = 0; i < 100000; ++i) {
        KW_SpinLock_Lock(&c->spin);
        ++c->guarded;
        KW_SpinLock_Unlock(&c->spin);
        KW_Atom_Add32(&c->atomic32, 1);
        KW_Atom_Add64(&c->atomic64, 2);
    }
    return nullptr;
}

TEST_F(LockThreads, SpinLockAndAtomicsCountExactlyUnderEightThreads)
{
    Counters counters;
    ASSERT_TRUE(KW_SpinLock_Initialize(&counters.spin));
    std::vector<_KW_HTHREAD> threads(8);
    for (auto& t : threads)
        ASSERT_TRUE(KWPLAT_StartThread(Hammer, &counters, &t));
    EXPECT_EQ(KWCRT_Thread_WaitForMultipleThreads(threads.data(), 8), 0);
    EXPECT_EQ(counters.guarded, 800000);
    EXPECT_EQ(counters.atomic32, 800000);
    EXPECT_EQ(counters.atomic64, 1600000);
    EXPECT_FALSE(KW_SpinLock_IsLocked(&counters.spin));
    EXPECT_EQ(KW_Atom_Subtract32(&counters.atomic32, 800001), -1);
}

struct RWProbe {
    _KW_RWLOCK* lock;
    bool readWhileRead = false;
    bool writeWhileRead = true;
};

void* TryFromAnotherThread(void* argument)
{
    RWProbe* p = static_cast<RWProbe*>(argument);
    p->readWhileRead = KW_RWLock_TryReadLock(p->lock);
    if (p->readWhileRead)
        KW_RWLock_ReadUnlock(p->lock);
    p->writeWhileRead = KW_RWLock_TryWriteLock(p->lock);
    if (p->writeWhileRead)
        KW_RWLock_WriteUnlock(p->lock);
    return nullptr;
}

TEST_F(LockThreads, ReaderWriterTryLocks)
{
    EXPECT_FALSE(KW_RWLock_Initialize(nullptr));
    EXPECT_FALSE(KW_RWLock_TryReadLock(nullptr));
    EXPECT_FALSE(KW_RWLock_TryWriteLock(nullptr));
    _KW_RWLOCK lock;
    ASSERT_TRUE(KW_RWLock_Initialize(&lock));

    // Held for reading: another reader gets in, a writer does not.
    KW_RWLock_ReadLock(&lock);
    RWProbe probe{&lock};
    _KW_HTHREAD t = nullptr;
    ASSERT_TRUE(KWPLAT_StartThread(TryFromAnotherThread, &probe, &t));
    KWCRT_Thread_WaitForSingleThread(t);
    EXPECT_TRUE(probe.readWhileRead);
    EXPECT_FALSE(probe.writeWhileRead);
    KW_RWLock_ReadUnlock(&lock);

    // Held for writing: nobody else gets in.
    EXPECT_TRUE(KW_RWLock_TryWriteLock(&lock));
    RWProbe second{&lock, true, true};
    ASSERT_TRUE(KWPLAT_StartThread(TryFromAnotherThread, &second, &t));
    KWCRT_Thread_WaitForSingleThread(t);
    EXPECT_FALSE(second.readWhileRead);
    EXPECT_FALSE(second.writeWhileRead);
    KW_RWLock_WriteUnlock(&lock);

    EXPECT_TRUE(KW_RWLock_TryReadLock(&lock));
    KW_RWLock_ReadUnlock(&lock);
    KW_RWLock_Destroy(&lock);
}

void* RegisterAndLeave(void*)
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    const _KW_HTHREAD self = KW_Thread_GetHandle();
    for (int i = 0; i < 500; ++i) {
        process->Initialize();
        EXPECT_NE(process->GetThreadContext(self), nullptr);
        process->RemoveThreadContext(self);
    }
    return nullptr;
}

TEST_F(ContextThreads, ThreadMapHoldsUnderConcurrentRegistration)
{
    std::vector<_KW_HTHREAD> threads(8);
    for (auto& t : threads)
        ASSERT_TRUE(KWPLAT_StartThread(RegisterAndLeave, nullptr, &t));
    EXPECT_EQ(KWCRT_Thread_WaitForMultipleThreads(threads.data(), 8), 0);
    EXPECT_EQ(KW_Process_GetContext()->m_ThreadMap.GetCount(), 1);
    EXPECT_NE(KW_Thread_GetContext(), nullptr);
}

} // namespace
