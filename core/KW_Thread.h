// Process and thread contexts of the core library. KW_Process_Initialize hangs
// a process context on the default memory manager; it maps each thread the
// library knows (the initialising one and every thread started with
// KW_Thread_Create) to a thread context holding the thread's private data,
// its exception context and its last error. Without the process context the
// functions here return null or 0, do nothing, and KW_Thread_Create starts
// nothing. A thread's context goes when the thread ends, however it ends
// (its routine returns, KW_Thread_Exit, cancellation), or at
// KW_Process_Finalize, whichever comes first.
#ifndef KW_THREAD_H
#define KW_THREAD_H

#include <stdint.h>

#include "CKW_HashMap.h"
#include "KW_Exception.h"
#include "KW_Object.h"
#include "KW_Platform.h"
#include "KW_PlatformThread.h"
#include "KW_PrivateData.h"

class CKW_ThreadContext : public CKW_Object {
public:
    CKW_ThreadContext() : m_nLastError(0) {}

    CKW_PrivateData m_PrivateData;
    CKW_ExceptionContext m_ExceptionContext;
    int32_t m_nLastError;
};

struct CKW_ProcessContext : public CKW_Object {
    CKW_ProcessContext();
    ~CKW_ProcessContext();

    // Creates and registers a context for the calling thread.
    CKW_ThreadContext* Initialize();
    // Frees the process's private data and every registered thread context.
    void Finalize();

    CKW_ThreadContext* GetThreadContext(_KW_HTHREAD thread);
    // Takes ownership; a different context registered under the handle is
    // destroyed (its private data freed).
    void SetThreadContext(_KW_HTHREAD thread, CKW_ThreadContext* context);
    // Frees the thread's context (its private data, its exception context).
    void RemoveThreadContext(_KW_HTHREAD thread);

    CKW_PrivateData m_PrivateData;
    CKW_MapPtrToPtr m_ThreadMap;   // thread handle -> CKW_ThreadContext*
    void* m_pHandler;
    // Threads register and leave while others look themselves up.
    _KW_MUTEX m_ThreadMapLock;
};

void KW_Process_Initialize();
void KW_Process_Finalize();
int32_t KW_Process_GetID();
CKW_ProcessContext* KW_Process_GetContext();
CKW_PrivateData* KW_Process_GetPrivateData();
void* KW_Process_GetPrivateData(void* key);
void KW_Process_SetPrivateData(void* key, void* data, void (*callback)(void*));
bool KW_Process_RemovePrivateData(void* key);

_KW_HTHREAD KW_Thread_GetHandle();
CKW_ThreadContext* KW_Thread_GetContext();
CKW_ThreadContext* KW_Thread_GetContext(_KW_HTHREAD thread);
int32_t KW_Thread_GetLastError();
void KW_Thread_SetLastError(int32_t code);
CKW_PrivateData* KW_Thread_GetPrivateData();
void* KW_Thread_GetPrivateData(void* key);
void KW_Thread_SetPrivateData(void* key, void* data, void (*callback)(void*));
bool KW_Thread_RemovePrivateData(void* key);
CKW_ExceptionContext* KW_Thread_GetExceptionContext();
void* KW_Thread_GetHandler();
void KW_Thread_SetHandler(void* handler);

// Starts routine(argument) on a thread with its own context and the given
// priority (-2..2); null, and nothing started, without a process context or
// when the thread cannot be made.
_KW_HTHREAD KWCRT_Thread_Create(int32_t priority, int32_t stackSize, KW_THREAD_ROUTINE routine, void* argument);
_KW_HTHREAD KW_Thread_Create(int32_t priority, int32_t stackSize, KW_THREAD_ROUTINE routine, void* argument);
[[noreturn]] void KW_Thread_Exit();
void KW_Thread_Yield();
int32_t KW_Thread_GetPriority(_KW_HTHREAD thread);
int32_t KW_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority);
int32_t KW_Thread_WaitForSingleThread(_KW_HTHREAD thread);
int32_t KW_Thread_WaitForMultipleThreads(const _KW_HTHREAD* threads, int32_t count);

#endif // KW_THREAD_H
