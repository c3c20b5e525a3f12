// Platform layer of the core library's threads and time: thread creation,
// scheduling priorities, joins, reader-writer locks and clocks, over POSIX.
//
// Scheduling priorities: the library asks for 1..99 under the default
// policy. Where that policy's range cannot hold them (Linux gives it only 0),
// the layer records the priority asked for each thread and reads it back, so
// the library's priority scale behaves the same on every system.
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
// the thread cannot be made.
bool KWPLAT_StartThread(void* (*entry)(void*), void* argument, _KW_HTHREAD* thread);
[[noreturn]] void KWCRT_ExitThread();
void KWCRT_Thread_Yield();
int32_t KWCRT_Thread_WaitForSingleThread(_KW_HTHREAD thread);
int32_t KWCRT_Thread_WaitForMultipleThreads(const _KW_HTHREAD* threads, int32_t count);
// The library's scale: -2 lowest .. 2 highest.
int32_t KWCRT_Thread_GetPriority(_KW_HTHREAD thread);
int32_t KWCRT_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority);
// The scheduling priority (1..99) last asked for the thread, read back.
int32_t KWCRT_Thread_GetSchedPriority(_KW_HTHREAD thread, bool* ok);
// The scheduling priority of a library priority: -2..2 -> 1, 25, 50, 75, 99; else 50.
int32_t KWCRT_SchedPriorityOf(int32_t priority);
// Drops the layer's record of an ended thread.
void KWCRT_Thread_Forget(_KW_HTHREAD thread);

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
