// Process and thread contexts, library threads and their priorities, locks
// and atomic counters. Suites whose names end in "Threads" start threads;
// they also run under ThreadSanitizer.
#include "KW_Platform.h"
#include "KW_PlatformThread.h"
#include "KW_Thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

// ---------------------------------------------------------------------------
// Priorities: applied to the thread (on Linux as its nice value) and read back
// from it. Lowering is always allowed; raising only with the right to.

pid_t OwnTid()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

// Runs body on a thread of its own, so that a lowered priority dies with it.
template <typename Body>
void OnFreshThread(Body body)
{
    std::thread([&body] { body(); }).join();
}

// Whether this process may raise a thread's priority above normal.
bool MayRaisePriority()
{
    bool may = false;
    OnFreshThread([&may] { may = setpriority(PRIO_PROCESS, static_cast<id_t>(OwnTid()), -10) == 0; });
    return may;
}

int OwnNice()
{
    return getpriority(PRIO_PROCESS, static_cast<id_t>(OwnTid()));
}

TEST(ThreadPriority, ScaleToSchedulingPriority)
{
    const int32_t cases[][2] = {{-2, 1}, {-1, 25}, {0, 50}, {1, 75}, {2, 99}, {3, 50}, {-7, 50}};
    for (const auto& c : cases)
        EXPECT_EQ(KWCRT_SchedPriorityOf(c[0]), c[1]) << c[0];
}

TEST(PriorityThreads, AppliedToTheThreadAndReadBackFromIt)
{
    struct Case {
        int32_t asked;
        int nice;        // what the thread runs at afterwards
        int32_t sched;
        int32_t readBack;
    };
    // From the top down, so that a process that may only lower still
    // passes through every row it is allowed.
    const Case cases[] = {{2, -20, 99, 2}, {1, -10, 75, 1}, {0, 0, 50, 0}, {3, 0, 50, 0},
                          {-7, 0, 50, 0}, {-1, 10, 25, -1}, {-2, 19, 1, -2}};
    const bool mayRaise = MayRaisePriority();
    OnFreshThread([&] {
        const _KW_HTHREAD self = KW_Thread_GetHandle();
        EXPECT_EQ(KW_Thread_GetPriority(self), 0) << "never set: the real priority, normal";
        for (const Case& c : cases) {
            const int before = OwnNice();
            const int32_t priorityBefore = KW_Thread_GetPriority(self);
            const bool allowed = mayRaise || c.nice >= before;
            const int32_t result = KW_Thread_SetPriority(self, c.asked);
            if (!allowed) {
                EXPECT_NE(result, 0) << c.asked << ": raising without the right must fail";
                EXPECT_EQ(OwnNice(), before) << c.asked;
                EXPECT_EQ(KW_Thread_GetPriority(self), priorityBefore) << c.asked;
                continue;
            }
            ASSERT_EQ(result, 0) << c.asked;
            EXPECT_EQ(OwnNice(), c.nice) << c.asked;
            bool ok = false;
            EXPECT_EQ(KWCRT_Thread_GetSchedPriority(self, &ok), c.sched) << c.asked;
            EXPECT_TRUE(ok);
            EXPECT_EQ(KW_Thread_GetPriority(self), c.readBack) << c.asked;
        }
    });
}

TEST(PriorityThreads, NiceValuesSetOutsideTheLibraryReadAsTheNearestStep)
{
    const int cases[][2] = {{0, 0}, {4, 0}, {5, 0}, {6, -1}, {10, -1}, {15, -2}, {19, -2}};
    OnFreshThread([&] {
        const _KW_HTHREAD self = KW_Thread_GetHandle();
        for (const auto& c : cases) {
            if (c[0] < OwnNice())
                continue; // may not be lowered again without the right to
            ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(OwnTid()), c[0]), 0);
            EXPECT_EQ(KW_Thread_GetPriority(self), c[1]) << "nice " << c[0];
        }
    });
}

TEST(PriorityThreads, AnotherThreadByItsHandleUntilItEnds)
{
    struct Shared {
        std::atomic<bool> go{false};
        std::atomic<int> nice{99};
    } shared;
    _KW_HTHREAD worker = nullptr;
    ASSERT_TRUE(KWPLAT_StartThread(
        [](void* argument) -> void* {
            Shared* s = static_cast<Shared*>(argument);
            while (!s->go)
                KW_Thread_Yield();
            s->nice = OwnNice();
            return nullptr;
        },
        &shared, &worker));
    // Known from the moment its handle is out: set at once, before it runs on.
    EXPECT_EQ(KW_Thread_SetPriority(worker, -1), 0);
    EXPECT_EQ(KW_Thread_GetPriority(worker), -1);
    shared.go = true;
    ASSERT_EQ(KW_Thread_WaitForSingleThread(worker), 0);
    EXPECT_EQ(shared.nice.load(), 10);
    // Ended: nothing of it is left to set or read.
    EXPECT_NE(KW_Thread_SetPriority(worker, -2), 0);
    bool ok = true;
    KWCRT_Thread_GetSchedPriority(worker, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(KW_Thread_GetPriority(worker), 0);
}

// In a child process without the right to raise priorities (no root, a nice
// limit of 0): lowering works, raising is refused and changes nothing.
TEST(ThreadPriority, RaisingWithoutTheRightFails)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit none{0, 0};
        if (setrlimit(RLIMIT_NICE, &none) != 0)
            _exit(10);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(11);
        const _KW_HTHREAD self = KW_Thread_GetHandle();
        if (KW_Thread_SetPriority(self, -1) != 0)
            _exit(12);
        if (KW_Thread_SetPriority(self, 0) == 0 || KW_Thread_SetPriority(self, 2) == 0)
            _exit(13);
        if (KW_Thread_GetPriority(self) != -1 || OwnNice() != 10)
            _exit(14);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 limit, 11 privileges, 12 lowering, 13 raising, 14 read back";
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
    // A priority above the creator's needs the right to raise it; without
    // it the thread runs at the creator's.
    const bool mayRaise = MayRaisePriority();
    const int32_t creators = KW_Thread_GetPriority(KW_Thread_GetHandle());
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(probes[i].hadContext) << i;
        EXPECT_TRUE(probes[i].privateDataKept) << i;
        EXPECT_TRUE(probes[i].lastErrorKept) << i;
        const int32_t asked = i % 5 - 2;
        EXPECT_EQ(probes[i].priority, mayRaise || asked <= creators ? asked : creators) << i;
    }
    // Every finished thread has left the map: only this thread remains.
    EXPECT_EQ(KW_Process_GetContext()->m_ThreadMap.GetCount(), 1);
    EXPECT_EQ(KW_Thread_WaitForMultipleThreads(threads.data(), 0), 0);
}

// A thread that leaves through KW_Thread_Exit takes its context along, just
// as one whose routine returns: the next thread given the same handle (glibc
// hands ended threads' handles out again) starts with nothing of it.
std::atomic<int> g_exitedFreed{0};
int g_exitKey;

void SetUpAndExit(void*)
{
    KW_Thread_SetLastError(77);
    KW_Thread_SetPrivateData(&g_exitKey, new int(5), [](void* p) {
        delete static_cast<int*>(p);
        ++g_exitedFreed;
    });
    KW_Thread_SetPriority(KW_Thread_GetHandle(), -2);
    KW_Thread_Exit();
}

struct Fresh {
    bool hadContext = false;
    int32_t lastError = -1;
    void* data = &g_exitKey;
    int32_t priority = 99;
};

void ReadWhatIsLeft(void* argument)
{
    Fresh* fresh = static_cast<Fresh*>(argument);
    fresh->hadContext = KW_Thread_GetContext() != nullptr;
    fresh->lastError = KW_Thread_GetLastError();
    fresh->data = KW_Thread_GetPrivateData(&g_exitKey);
    fresh->priority = KW_Thread_GetPriority(KW_Thread_GetHandle());
}

void* ReadWhatIsLeftWithoutContext(void* argument)
{
    ReadWhatIsLeft(argument);
    return nullptr;
}

TEST_F(ContextThreads, ExitedThreadLeavesNothingForTheNextOnItsHandle)
{
    const int32_t creators = KW_Thread_GetPriority(KW_Thread_GetHandle());
    g_exitedFreed = 0;
    int reused = 0;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        _KW_HTHREAD exited = KW_Thread_Create(0, 0, SetUpAndExit, nullptr);
        ASSERT_NE(exited, nullptr);
        ASSERT_EQ(KW_Thread_WaitForSingleThread(exited), 0);
        EXPECT_EQ(g_exitedFreed.load(), round + 1) << "its private data was freed";
        EXPECT_EQ(KW_Thread_GetContext(exited), nullptr);
        EXPECT_EQ(KW_Process_GetContext()->m_ThreadMap.GetCount(), 1);

        // A plain thread, then a library thread, on what is likely the same handle.
        Fresh plain;
        _KW_HTHREAD next = nullptr;
        ASSERT_TRUE(KWPLAT_StartThread(ReadWhatIsLeftWithoutContext, &plain, &next));
        ASSERT_EQ(KW_Thread_WaitForSingleThread(next), 0);
        reused += next == exited;
        EXPECT_FALSE(plain.hadContext);
        EXPECT_EQ(plain.lastError, 0);
        EXPECT_EQ(plain.data, nullptr);
        EXPECT_EQ(plain.priority, creators);

        Fresh library;
        next = KW_Thread_Create(0, 0, ReadWhatIsLeft, &library);
        ASSERT_NE(next, nullptr);
        ASSERT_EQ(KW_Thread_WaitForSingleThread(next), 0);
        EXPECT_TRUE(library.hadContext);
        EXPECT_EQ(library.lastError, 0);
        EXPECT_EQ(library.data, nullptr);
        EXPECT_EQ(library.priority, creators);
    }
    RecordProperty("handles_reused", reused);
}

// The process context may be finalized while a library thread still runs;
// the thread's context goes with it, and the thread, ending later, touches
// nothing of the freed record.
std::atomic<int> g_outlivingFreed{0};
int g_outlivingKey;

struct Gate {
    std::atomic<int> stage{0};   // 1: the thread has set up, 2: it may end
};

void WaitAtTheGate(void* argument)
{
    Gate* gate = static_cast<Gate*>(argument);
    KW_Thread_SetPrivateData(&g_outlivingKey, new int(3), [](void* p) {
        delete static_cast<int*>(p);
        ++g_outlivingFreed;
    });
    gate->stage = 1;
    while (gate->stage != 2)
        KW_Thread_Yield();
}

TEST_F(ContextThreads, FinalizeWhileALibraryThreadRunsThenLetItEnd)
{
    for (bool initializeAgain : {false, true}) {
        SCOPED_TRACE(initializeAgain ? "a new process context in place" : "no process context");
        if (!KW_Process_GetContext())
            KW_Process_Initialize();
        g_outlivingFreed = 0;
        Gate gate;
        _KW_HTHREAD thread = KW_Thread_Create(0, 0, WaitAtTheGate, &gate);
        ASSERT_NE(thread, nullptr);
        while (gate.stage != 1)
            KW_Thread_Yield();
        KW_Process_Finalize();
        EXPECT_EQ(g_outlivingFreed.load(), 1) << "the running thread's data went with the process";
        if (initializeAgain)
            KW_Process_Initialize();
        gate.stage = 2;
        ASSERT_EQ(KW_Thread_WaitForSingleThread(thread), 0);
        EXPECT_EQ(g_outlivingFreed.load(), 1) << "and only once";
        if (initializeAgain) {
            EXPECT_EQ(KW_Process_GetContext()->m_ThreadMap.GetCount(), 1);
        }
    }
}

TEST_F(ProcessContext, RegisteringOverAContextDestroysIt)
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    _KW_HTHREAD handle = reinterpret_cast<_KW_HTHREAD>(&g_freed); // no thread's
    auto make = [] {
        CKW_ThreadContext* context = new CKW_ThreadContext;
        context->m_ExceptionContext.Initialize();
        context->m_PrivateData.SetPrivateData(&g_freed, &g_freed, CountFree);
        return context;
    };
    g_freed = 0;
    CKW_ThreadContext* first = make();
    CKW_ThreadContext* second = make();
    process->SetThreadContext(handle, first);
    process->SetThreadContext(handle, second);
    EXPECT_EQ(g_freed, 1) << "the replaced context went, with its private data";
    process->SetThreadContext(handle, second);
    EXPECT_EQ(g_freed, 1) << "the same context again stays";
    EXPECT_EQ(process->GetThreadContext(handle), second);
    process->RemoveThreadContext(handle);
    EXPECT_EQ(g_freed, 2);
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
