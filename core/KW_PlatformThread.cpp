#include "KW_PlatformThread.h"

#include <errno.h>
#include <map>
#include <mutex>
#include <sched.h>
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

// Priorities recorded for the threads whose policy range cannot hold them.
std::mutex& RecordedMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<_KW_HTHREAD, int32_t>& Recorded()
{
    static std::map<_KW_HTHREAD, int32_t> priorities;
    return priorities;
}

bool PolicyHolds(int32_t schedPriority)
{
    const int low = sched_get_priority_min(SCHED_OTHER);
    const int high = sched_get_priority_max(SCHED_OTHER);
    return low >= 0 && high >= 0 && schedPriority >= low && schedPriority <= high && high > low;
}

} // namespace

int32_t KWCRT_GetProcessID()
{
    return static_cast<int32_t>(getpid());
}

_KW_HTHREAD KWCRT_GetThreadHandle()
{
    return ToHandle(pthread_self());
}

bool KWPLAT_StartThread(void* (*entry)(void*), void* argument, _KW_HTHREAD* thread)
{
    pthread_t id;
    if (pthread_create(&id, nullptr, entry, argument) != 0)
        return false;
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

int32_t KWCRT_Thread_GetSchedPriority(_KW_HTHREAD thread, bool* ok)
{
    {
        std::lock_guard<std::mutex> lock(RecordedMutex());
        auto it = Recorded().find(thread);
        if (it != Recorded().end()) {
            if (ok)
                *ok = true;
            return it->second;
        }
    }
    int policy = 0;
    sched_param param{};
    const bool read = pthread_getschedparam(ToPthread(thread), &policy, &param) == 0;
    if (ok)
        *ok = read;
    return read ? param.sched_priority : 0;
}

int32_t KWCRT_Thread_GetPriority(_KW_HTHREAD thread)
{
    bool ok = false;
    const int32_t sched = KWCRT_Thread_GetSchedPriority(thread, &ok);
    if (!ok)
        return 0;
    return KWSYS_round(static_cast<float>((sched - 50) / 25.0));
}

int32_t KWCRT_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority)
{
    const int32_t sched = KWCRT_SchedPriorityOf(priority);
    if (!PolicyHolds(sched)) {
        // Make sure the thread exists before recording anything for it.
        int policy = 0;
        sched_param current{};
        const int result = pthread_getschedparam(ToPthread(thread), &policy, &current);
        if (result != 0)
            return result;
        std::lock_guard<std::mutex> lock(RecordedMutex());
        Recorded()[thread] = sched;
        return 0;
    }
    sched_param param{};
    param.sched_priority = sched;
    return pthread_setschedparam(ToPthread(thread), SCHED_OTHER, &param);
}

void KWCRT_Thread_Forget(_KW_HTHREAD thread)
{
    std::lock_guard<std::mutex> lock(RecordedMutex());
    Recorded().erase(thread);
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
