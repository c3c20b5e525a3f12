// Portable platform layer of the core library: recursive mutexes, spin locks
// on a 32-bit word, atomic counters and the processor yield.
//
// The library was first written against the Darwin spin-lock and atomic
// calls; the KWPLAT_ functions below give the same effects from the C++
// atomics and POSIX threads so that the rest of core/ never names a
// system-specific call.
#ifndef KW_PLATFORM_H
#define KW_PLATFORM_H

#include <pthread.h>
#include <sched.h>
#include <stdint.h>

// ---------------------------------------------------------------------------
// Low-level shims (one place for every system-specific primitive).

// Atomic view of a plain 32/64-bit word. The words live inside records whose
// layout is fixed (pools, counters held by callers), so they stay plain
// integers and are accessed atomically through these helpers.
inline bool KWPLAT_SpinLockTry(volatile int32_t* word)
{
    int32_t expected = 0;
    return __atomic_compare_exchange_n(const_cast<int32_t*>(word), &expected, 1, false,
                                       __ATOMIC_ACQUIRE, __ATOMIC_RELAXED);
}

inline void KWPLAT_ThreadYield()
{
    sched_yield();
}

inline void KWPLAT_SpinLockLock(volatile int32_t* word)
{
    for (;;) {
        if (KWPLAT_SpinLockTry(word))
            return;
        // Spin on a plain read first so that waiting threads do not keep the
        // cache line bouncing; give the processor away after a short while.
        for (int spins = 0; __atomic_load_n(const_cast<int32_t*>(word), __ATOMIC_RELAXED) != 0; ++spins) {
            if (spins > 64)
                KWPLAT_ThreadYield();
        }
    }
}

inline void KWPLAT_SpinLockUnlock(volatile int32_t* word)
{
    __atomic_store_n(const_cast<int32_t*>(word), 0, __ATOMIC_RELEASE);
}

// Both return the new value, as the library's counters expect.
inline int32_t KWPLAT_AtomicAdd32(int32_t amount, volatile int32_t* counter)
{
    return __atomic_add_fetch(const_cast<int32_t*>(counter), amount, __ATOMIC_SEQ_CST);
}

inline int64_t KWPLAT_AtomicAdd64(int64_t amount, volatile int64_t* counter)
{
    return __atomic_add_fetch(const_cast<int64_t*>(counter), amount, __ATOMIC_SEQ_CST);
}

// ---------------------------------------------------------------------------
// Library lock interface. Every function accepts a null pointer: initialisers
// and try-locks then return false, the others do nothing.

typedef pthread_mutex_t _KW_MUTEX;
typedef volatile int32_t _KW_SPINLOCK;

inline bool KWCRT_Mutex_Initialize(_KW_MUTEX* mutex)
{
    if (!mutex)
        return false;
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0)
        return false;
    // Recursive: the library's locked objects call each other on the same object.
    bool ok = pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0
              && pthread_mutex_init(mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

inline bool KW_Mutex_Initialize(_KW_MUTEX* mutex) { return KWCRT_Mutex_Initialize(mutex); }
inline void KW_Mutex_Destroy(_KW_MUTEX* mutex) { if (mutex) pthread_mutex_destroy(mutex); }
inline void KW_Mutex_Lock(_KW_MUTEX* mutex) { if (mutex) pthread_mutex_lock(mutex); }
inline void KW_Mutex_Unlock(_KW_MUTEX* mutex) { if (mutex) pthread_mutex_unlock(mutex); }
inline bool KW_Mutex_TryLock(_KW_MUTEX* mutex) { return mutex && pthread_mutex_trylock(mutex) == 0; }

// The word must start at 0; initialising does not touch it.
inline bool KW_SpinLock_Initialize(_KW_SPINLOCK* lock) { return lock != nullptr; }
inline void KW_SpinLock_Destroy(_KW_SPINLOCK*) {}
inline bool KW_SpinLock_TryLock(_KW_SPINLOCK* lock) { return lock && KWPLAT_SpinLockTry(lock); }
inline void KW_SpinLock_Lock(_KW_SPINLOCK* lock) { if (lock) KWPLAT_SpinLockLock(lock); }
inline void KW_SpinLock_Unlock(_KW_SPINLOCK* lock) { if (lock) KWPLAT_SpinLockUnlock(lock); }
inline bool KW_SpinLock_IsLocked(_KW_SPINLOCK* lock)
{
    return lock && __atomic_load_n(const_cast<int32_t*>(lock), __ATOMIC_ACQUIRE) != 0;
}

inline int32_t KW_Atom_Add32(volatile int32_t* counter, int32_t n)
{
    return counter ? KWPLAT_AtomicAdd32(n, counter) : 0;
}
inline int32_t KW_Atom_Subtract32(volatile int32_t* counter, int32_t n)
{
    return counter ? KWPLAT_AtomicAdd32(static_cast<int32_t>(0u - static_cast<uint32_t>(n)), counter) : 0;
}
inline int64_t KW_Atom_Add64(volatile int64_t* counter, int64_t n)
{
    return counter ? KWPLAT_AtomicAdd64(n, counter) : 0;
}
inline int64_t KW_Atom_Subtract64(volatile int64_t* counter, int64_t n)
{
    return counter ? KWPLAT_AtomicAdd64(static_cast<int64_t>(0ull - static_cast<uint64_t>(n)), counter) : 0;
}

// Scoped holder for the recursive mutex, for the library's own locked paths.
class CKW_MutexLocker {
public:
    explicit CKW_MutexLocker(_KW_MUTEX* mutex) : m_pMutex(mutex) { KW_Mutex_Lock(m_pMutex); }
    ~CKW_MutexLocker() { KW_Mutex_Unlock(m_pMutex); }
    CKW_MutexLocker(const CKW_MutexLocker&) = delete;
    CKW_MutexLocker& operator=(const CKW_MutexLocker&) = delete;

private:
    _KW_MUTEX* m_pMutex;
};

#endif // KW_PLATFORM_H
