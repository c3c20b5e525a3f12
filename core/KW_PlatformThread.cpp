#include "KW_PlatformThread.h"

#include <condition_variable>
#include <errno.h>
#include <map>
#include <mutex>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include "KW_Platform.h"
#include "KW_Primitives.h"

namespace {

pthread_t ToPthread(_KW_HTHREAD thread)
{
    return reinterpret_cast<pthread_t>(thread);
}

_KW_HTHREAD ToHandle(pthread_t thread)
{
    return reinterpret_cast<_KW_HTHREAD>(thread);
}

// What the layer knows of a live thread. Entries go when their thread ends,
// however it ends (a thread-specific key's destructor runs on return, on
// pthread_exit and on cancellation), so a later thread that is given the same
// handle finds nothing of its predecessor.
struct KnownThread {
#if defined(__linux__)
    pid_t tid = 0;            // the kernel's id: nice values are per thread
#else
    bool recorded = false;    // a priority the policy cannot hold, as asked
    int32_t sched = 50;
#endif
};

std::mutex& KnownMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<_KW_HTHREAD, KnownThread>& Known()
{
    static std::map<_KW_HTHREAD, KnownThread> threads;
    return threads;
}

pthread_key_t g_endKey;
pthread_once_t g_endKeyOnce = PTHREAD_ONCE_INIT;

void ForgetEndingThread(void*)
{
    std::lock_guard<std::mutex> lock(KnownMutex());
    Known().erase(ToHandle(pthread_self()));
}

void MakeEndKey()
{
    pthread_key_create(&g_endKey, ForgetEndingThread);
}

struct Launch {
    void* (*entry)(void*);
    void* argument;
    std::mutex mutex;
    std::condition_variable started;
    bool known = false;
};

void* LaunchThread(void* argument)
{
    Launch* launch = static_cast<Launch*>(argument);
    void* (*const entry)(void*) = launch->entry;
    void* const entryArgument = launch->argument;
    KWPLAT_Thread_Register();
    {
        std::lock_guard<std::mutex> lock(launch->mutex);
        launch->known = true;
        launch->started.notify_one();
    }
    return entry(entryArgument);
}

#if defined(__linux__)

// The library's scale as nice values, spread over the nice range as the
// scheduling priorities 1..99 spread over theirs.
const int kNiceOfScale[] = {19, 10, 0, -10, -20};

int32_t ScaleOf(int32_t schedPriority)
{
    return KWSYS_round(static_cast<float>((schedPriority - 50) / 25.0));
}

// The step of the scale nearest to a nice value; between two, the one nearer
// to normal.
int32_t ScaleOfNice(int nice)
{
    int32_t best = 0;
    for (int32_t scale = -2; scale <= 2; ++scale) {
        const int distance = abs(nice - kNiceOfScale[scale + 2]);
        const int bestDistance = abs(nice - kNiceOfScale[best + 2]);
        if (distance < bestDistance || (distance == bestDistance && abs(scale) < abs(best)))
            best = scale;
    }
    return best;
}

// The kernel's id of a thread the layer knows; call with KnownMutex held, so
// that the thread cannot end (and its id be reused) while it is in use.
bool TidOf(_KW_HTHREAD thread, pid_t* tid)
{
    if (pthread_equal(ToPthread(thread), pthread_self())) {
        *tid = static_cast<pid_t>(syscall(SYS_gettid));
        return true;
    }
    auto it = Known().find(thread);
    if (it == Known().end())
        return false;
    *tid = it->second.tid;
    return true;
}

#else

bool PolicyHolds(int32_t schedPriority)
{
    const int low = sched_get_priority_min(SCHED_OTHER);
    const int high = sched_get_priority_max(SCHED_OTHER);
    return low >= 0 && high >= 0 && schedPriority >= low && schedPriority <= high && high > low;
}

#endif

} // namespace

int32_t KWCRT_GetProcessID()
{
    return static_cast<int32_t>(getpid());
}

_KW_HTHREAD KWCRT_GetThreadHandle()
{
    return ToHandle(pthread_self());
}

void KWPLAT_Thread_Register()
{
    pthread_once(&g_endKeyOnce, MakeEndKey);
    KnownThread known;
#if defined(__linux__)
    known.tid = static_cast<pid_t>(syscall(SYS_gettid));
#endif
    {
        // A thread registering again keeps what the layer holds for it.
        std::lock_guard<std::mutex> lock(KnownMutex());
        Known().emplace(KWCRT_GetThreadHandle(), known);
    }
    pthread_setspecific(g_endKey, reinterpret_cast<void*>(1));
}

bool KWPLAT_StartThread(void* (*entry)(void*), void* argument, _KW_HTHREAD* thread)
{
    // The new thread is known before its handle is handed out, so that the
    // caller can set its priority at once.
    Launch launch;
    launch.entry = entry;
    launch.argument = argument;
    pthread_t id;
    if (pthread_create(&id, nullptr, LaunchThread, &launch) != 0)
        return false;
    {
        std::unique_lock<std::mutex> lock(launch.mutex);
        launch.started.wait(lock, [&launch] { return launch.known; });
    }
    if (thread)
        *thread = ToHandle(id);
    return true;
}

void KWCRT_ExitThread()
{
    pthread_exit(nullptr);
}

void KWCRT_Thread_Yield()
{
    KWPLAT_ThreadYield();
}

int32_t KWCRT_Thread_WaitForSingleThread(_KW_HTHREAD thread)
{
    return pthread_join(ToPthread(thread), nullptr);
}

int32_t KWCRT_Thread_WaitForMultipleThreads(const _KW_HTHREAD* threads, int32_t count)
{
    if (!threads || count < 1)
        return 0;
    int32_t first = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t result = pthread_join(ToPthread(threads[i]), nullptr);
        if (result != 0 && first == 0)
            first = result;
    }
    return first;
}

int32_t KWCRT_SchedPriorityOf(int32_t priority)
{
    static const int32_t table[] = {1, 25, 50, 75, 99};
    return priority >= -2 && priority <= 2 ? table[priority + 2] : 50;
}

#if defined(__linux__)

int32_t KWCRT_Thread_GetSchedPriority(_KW_HTHREAD thread, bool* ok)
{
    int nice = 0;
    bool read = false;
    {
        std::lock_guard<std::mutex> lock(KnownMutex());
        pid_t tid = 0;
        if (TidOf(thread, &tid)) {
            errno = 0;
            nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
            read = !(nice == -1 && errno != 0);
        }
    }
    if (ok)
        *ok = read;
    return read ? KWCRT_SchedPriorityOf(ScaleOfNice(nice)) : 0;
}

int32_t KWCRT_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority)
{
    const int nice = kNiceOfScale[ScaleOf(KWCRT_SchedPriorityOf(priority)) + 2];
    std::lock_guard<std::mutex> lock(KnownMutex());
    pid_t tid = 0;
    if (!TidOf(thread, &tid))
        return ESRCH;
    // Without the right to raise it, a thread may only lower its priority:
    // the kernel refuses the rest (EACCES or EPERM), and so does this call.
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) != 0)
        return errno ? errno : EPERM;
    return 0;
}

#else

int32_t KWCRT_Thread_GetSchedPriority(_KW_HTHREAD thread, bool* ok)
{
    {
        std::lock_guard<std::mutex> lock(KnownMutex());
        auto it = Known().find(thread);
        if (it != Known().end() && it->second.recorded) {
            if (ok)
                *ok = true;
            return it->second.sched;
        }
    }
    int policy = 0;
    sched_param param{};
    const bool read = pthread_getschedparam(ToPthread(thread), &policy, &param) == 0;
    if (ok)
        *ok = read;
    return read ? param.sched_priority : 0;
}

int32_t KWCRT_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority)
{
    const int32_t sched = KWCRT_SchedPriorityOf(priority);
    if (!PolicyHolds(sched)) {
        // Recorded for a thread the layer knows, so the record ends with it.
        if (pthread_equal(ToPthread(thread), pthread_self()))
            KWPLAT_Thread_Register();
        std::lock_guard<std::mutex> lock(KnownMutex());
        auto it = Known().find(thread);
        if (it == Known().end())
            return ESRCH;
        it->second.recorded = true;
        it->second.sched = sched;
        return 0;
    }
    sched_param param{};
    param.sched_priority = sched;
    return pthread_setschedparam(ToPthread(thread), SCHED_OTHER, &param);
}

#endif

int32_t KWCRT_Thread_GetPriority(_KW_HTHREAD thread)
{
    bool ok = false;
    const int32_t sched = KWCRT_Thread_GetSchedPriority(thread, &ok);
    if (!ok)
        return 0;
    return KWSYS_round(static_cast<float>((sched - 50) / 25.0));
}

bool KW_RWLock_Initialize(_KW_RWLOCK* lock)
{
    return lock && pthread_rwlock_init(lock, nullptr) == 0;
}

void KW_RWLock_Destroy(_KW_RWLOCK* lock)
{
    if (lock)
        pthread_rwlock_destroy(lock);
}

void KW_RWLock_ReadLock(_KW_RWLOCK* lock)
{
    if (lock)
        pthread_rwlock_rdlock(lock);
}

void KW_RWLock_WriteLock(_KW_RWLOCK* lock)
{
    if (lock)
        pthread_rwlock_wrlock(lock);
}

bool KW_RWLock_TryReadLock(_KW_RWLOCK* lock)
{
    return lock && pthread_rwlock_tryrdlock(lock) == 0;
}

bool KW_RWLock_TryWriteLock(_KW_RWLOCK* lock)
{
    return lock && pthread_rwlock_trywrlock(lock) == 0;
}

void KW_RWLock_ReadUnlock(_KW_RWLOCK* lock)
{
    if (lock)
        pthread_rwlock_unlock(lock);
}

void KW_RWLock_WriteUnlock(_KW_RWLOCK* lock)
{
    if (lock)
        pthread_rwlock_unlock(lock);
}

void KWPLAT_GetTimeOfDay(int64_t* seconds, int32_t* microseconds)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    if (seconds)
        *seconds = now.tv_sec;
    if (microseconds)
        *microseconds = static_cast<int32_t>(now.tv_usec);
}

bool KWPLAT_BreakDown(int64_t seconds, bool local, struct tm* out)
{
    const time_t t = static_cast<time_t>(seconds);
    if (local) {
        tzset();
        return localtime_r(&t, out) != nullptr;
    }
    return gmtime_r(&t, out) != nullptr;
}

int64_t KWPLAT_ProcessorMilliseconds()
{
    return static_cast<int64_t>(clock()) * 1000 / CLOCKS_PER_SEC;
}

void KWPLAT_SleepMilliseconds(uint32_t milliseconds)
{
    timespec remaining;
    remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
