// Platform layer of the core library's threads and time: thread creation,
// scheduling priorities, joins, reader-writer locks and clocks, over POSIX.
//
// Scheduling priorities: the library asks for 1..99 under the default
// policy. On Linux, whose default policy has no priority range, the scale is
// applied as the thread's own nice value (lowest 19, low 10, normal 0, high
// -10, highest -20) and read back from it, so a thread never set reads its
// real priority. A process without the right to raise priorities (no
// CAP_SYS_NICE, RLIMIT_NICE too low) may only lower them: raising fails with
// the system's error. Elsewhere the policy's own priorities are used; where
// its range cannot hold them, the priority asked is recorded and read back.
// Whatever the layer holds for a thread goes when the thread ends.
#ifndef KW_PLATFORMTHREAD_H
#define KW_PLATFORMTHREAD_H

#include <pthread.h>
#include <stdint.h>
#include <sys/types.h>
#include <time.h>

typedef void* _KW_HTHREAD;                       // the POSIX thread identifier
typedef void (*KW_THREAD_ROUTINE)(void* argument);
typedef pthread_rwlock_t _KW_RWLOCK;

int32_t KWCRT_GetProcessID();
_KW_HTHREAD KWCRT_GetThreadHandle();
// Starts entry(argument) on a new thread with default attributes; false when
// the thread cannot be made. The thread is registered (below) before the
// handle is returned.
bool KWPLAT_StartThread(void* (*entry)(void*), void* argument, _KW_HTHREAD* thread);
// Makes the calling thread known to the layer until it ends, so that other
// threads can set and read its priority through its handle. A thread can
// always reach its own.
void KWPLAT_Thread_Register();
[[noreturn]] void KWCRT_ExitThread();
void KWCRT_Thread_Yield();
int32_t KWCRT_Thread_WaitForSingleThread(_KW_HTHREAD thread);
int32_t KWCRT_Thread_WaitForMultipleThreads(const _KW_HTHREAD* threads, int32_t count);
// The library's scale: -2 lowest .. 2 highest. Get: 0 for a thread that
// cannot be read. Set: 0 on success, else the system's error (ESRCH for a
// thread the layer does not know or that has ended).
int32_t KWCRT_Thread_GetPriority(_KW_HTHREAD thread);
int32_t KWCRT_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority);
// The thread's priority as a scheduling priority (1..99); ok false when it
// cannot be read.
int32_t KWCRT_Thread_GetSchedPriority(_KW_HTHREAD thread, bool* ok);
// The scheduling priority of a library priority: -2..2 -> 1, 25, 50, 75, 99; else 50.
int32_t KWCRT_SchedPriorityOf(int32_t priority);

// Reader-writer locks; every function accepts null (initialiser and try-locks
// then return false, the others do nothing).
bool KW_RWLock_Initialize(_KW_RWLOCK* lock);
void KW_RWLock_Destroy(_KW_RWLOCK* lock);
void KW_RWLock_ReadLock(_KW_RWLOCK* lock);
void KW_RWLock_WriteLock(_KW_RWLOCK* lock);
bool KW_RWLock_TryReadLock(_KW_RWLOCK* lock);
bool KW_RWLock_TryWriteLock(_KW_RWLOCK* lock);
void KW_RWLock_ReadUnlock(_KW_RWLOCK* lock);
void KW_RWLock_WriteUnlock(_KW_RWLOCK* lock);

// Clocks.
void KWPLAT_GetTimeOfDay(int64_t* seconds, int32_t* microseconds);
// Broken-down time of an instant, in UTC or local time; false on failure.
bool KWPLAT_BreakDown(int64_t seconds, bool local, struct tm* out);
// Processor time of the process in milliseconds.
int64_t KWPLAT_ProcessorMilliseconds();
// Sleeps the whole time, resuming after signals.
void KWPLAT_SleepMilliseconds(uint32_t milliseconds);

#endif // KW_PLATFORMTHREAD_H
