#include "KW_Thread.h"

#include "KW_Memory.h"

namespace {

CKW_ThreadContext* NewThreadContext()
{
    CKW_ThreadContext* context = new CKW_ThreadContext;
    if (context && !context->m_ExceptionContext.Initialize()) {
        delete context;
        return nullptr;
    }
    return context;
}

void DestroyThreadContext(CKW_ThreadContext* context)
{
    if (!context)
        return;
    context->m_PrivateData.ClearAll();
    context->m_ExceptionContext.Finalize();
    delete context;
}

// A thread with a context loses it when it ends, however it ends (returning,
// KW_Thread_Exit, cancellation): otherwise the next thread given the same
// handle would inherit it, and a context registered over it would leak.
pthread_key_t g_contextKey;
pthread_once_t g_contextKeyOnce = PTHREAD_ONCE_INIT;

void RemoveEndingThreadContext(void*)
{
    if (CKW_ProcessContext* process = KW_Process_GetContext())
        process->RemoveThreadContext(KWCRT_GetThreadHandle());
}

void MakeContextKey()
{
    pthread_key_create(&g_contextKey, RemoveEndingThreadContext);
}

void RemoveContextAtThreadEnd()
{
    pthread_once(&g_contextKeyOnce, MakeContextKey);
    pthread_setspecific(g_contextKey, reinterpret_cast<void*>(1));
}

struct StartRecord : public CKW_Object {
    KW_THREAD_ROUTINE routine;
    int32_t priority;
    void* argument;
};

void* ThreadStart(void* argument)
{
    StartRecord* start = static_cast<StartRecord*>(argument);
    CKW_ProcessContext* process = KW_Process_GetContext();
    if (!process) {
        delete start;
        return nullptr;
    }
    const _KW_HTHREAD self = KWCRT_GetThreadHandle();
    process->SetThreadContext(self, NewThreadContext());
    RemoveContextAtThreadEnd();
    KWCRT_Thread_SetPriority(self, start->priority);
    const KW_THREAD_ROUTINE routine = start->routine;
    void* const routineArgument = start->argument;
    delete start;
    routine(routineArgument);
    // The process context may have been finalized (and freed) while the
    // routine ran: only the one in place now holds this thread's context.
    if (CKW_ProcessContext* current = KW_Process_GetContext())
        current->RemoveThreadContext(self);
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// CKW_ProcessContext

CKW_ProcessContext::CKW_ProcessContext() : m_ThreadMap(10, nullptr), m_pHandler(nullptr)
{
    KW_Mutex_Initialize(&m_ThreadMapLock);
}

CKW_ProcessContext::~CKW_ProcessContext()
{
    Finalize();
    KW_Mutex_Destroy(&m_ThreadMapLock);
}

CKW_ThreadContext* CKW_ProcessContext::Initialize()
{
    CKW_ThreadContext* context = NewThreadContext();
    if (context) {
        SetThreadContext(KWCRT_GetThreadHandle(), context);
        RemoveContextAtThreadEnd();
        KWPLAT_Thread_Register();
    }
    return context;
}

void CKW_ProcessContext::Finalize()
{
    m_PrivateData.ClearAll();
    CKW_MutexLocker lock(&m_ThreadMapLock);
    void* position = reinterpret_cast<void*>(-1);
    if (m_ThreadMap.GetCount() == 0)
        return;
    while (position) {
        void* key = nullptr;
        void* value = nullptr;
        m_ThreadMap.GetNextAssoc(position, key, value);
        DestroyThreadContext(static_cast<CKW_ThreadContext*>(value));
    }
    m_ThreadMap.RemoveAll();
}

CKW_ThreadContext* CKW_ProcessContext::GetThreadContext(_KW_HTHREAD thread)
{
    CKW_MutexLocker lock(&m_ThreadMapLock);
    void* value = nullptr;
    return m_ThreadMap.Lookup(thread, value) ? static_cast<CKW_ThreadContext*>(value) : nullptr;
}

void CKW_ProcessContext::SetThreadContext(_KW_HTHREAD thread, CKW_ThreadContext* context)
{
    void* replaced = nullptr;
    {
        CKW_MutexLocker lock(&m_ThreadMapLock);
        if (!m_ThreadMap.Lookup(thread, replaced))
            replaced = nullptr;
        m_ThreadMap[thread] = context;
    }
    // The map was the context's only owner. Freed outside the lock: its
    // private data's callbacks may look threads up.
    if (replaced != context)
        DestroyThreadContext(static_cast<CKW_ThreadContext*>(replaced));
}

void CKW_ProcessContext::RemoveThreadContext(_KW_HTHREAD thread)
{
    CKW_ThreadContext* context = nullptr;
    {
        CKW_MutexLocker lock(&m_ThreadMapLock);
        void* value = nullptr;
        if (!m_ThreadMap.Lookup(thread, value))
            return;
        m_ThreadMap.RemoveKey(thread);
        context = static_cast<CKW_ThreadContext*>(value);
    }
    DestroyThreadContext(context);
}

// ---------------------------------------------------------------------------
// Process

void KW_Process_Initialize()
{
    CKW_MemoryMgr* manager = KWMEM_GetDefaultMgr();
    if (!manager || manager->m_pProcessContext)
        return;
    CKW_ProcessContext* process = new CKW_ProcessContext;
    if (!process)
        return;
    manager->m_pProcessContext = process;
    process->Initialize();
}

void KW_Process_Finalize()
{
    CKW_MemoryMgr* manager = KWMEM_GetDefaultMgr();
    if (!manager || !manager->m_pProcessContext)
        return;
    CKW_ProcessContext* process = manager->m_pProcessContext;
    process->Finalize();
    manager->m_pProcessContext = nullptr;
    delete process;
}

int32_t KW_Process_GetID()
{
    return KWCRT_GetProcessID();
}

CKW_ProcessContext* KW_Process_GetContext()
{
    CKW_MemoryMgr* manager = KWMEM_GetDefaultMgr();
    return manager ? manager->m_pProcessContext : nullptr;
}

CKW_PrivateData* KW_Process_GetPrivateData()
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    return process ? &process->m_PrivateData : nullptr;
}

void* KW_Process_GetPrivateData(void* key)
{
    CKW_PrivateData* data = KW_Process_GetPrivateData();
    return data ? data->GetPrivateData(key) : nullptr;
}

void KW_Process_SetPrivateData(void* key, void* value, void (*callback)(void*))
{
    if (CKW_PrivateData* data = KW_Process_GetPrivateData())
        data->SetPrivateData(key, value, callback);
}

bool KW_Process_RemovePrivateData(void* key)
{
    CKW_PrivateData* data = KW_Process_GetPrivateData();
    return data && data->RemovePrivateData(key);
}

// ---------------------------------------------------------------------------
// Threads

_KW_HTHREAD KW_Thread_GetHandle()
{
    return KWCRT_GetThreadHandle();
}

CKW_ThreadContext* KW_Thread_GetContext(_KW_HTHREAD thread)
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    return process ? process->GetThreadContext(thread) : nullptr;
}

CKW_ThreadContext* KW_Thread_GetContext()
{
    return KW_Thread_GetContext(KWCRT_GetThreadHandle());
}

int32_t KW_Thread_GetLastError()
{
    CKW_ThreadContext* context = KW_Thread_GetContext();
    return context ? context->m_nLastError : 0;
}

void KW_Thread_SetLastError(int32_t code)
{
    if (CKW_ThreadContext* context = KW_Thread_GetContext())
        context->m_nLastError = code;
}

CKW_PrivateData* KW_Thread_GetPrivateData()
{
    CKW_ThreadContext* context = KW_Thread_GetContext();
    return context ? &context->m_PrivateData : nullptr;
}

void* KW_Thread_GetPrivateData(void* key)
{
    CKW_PrivateData* data = KW_Thread_GetPrivateData();
    return data ? data->GetPrivateData(key) : nullptr;
}

void KW_Thread_SetPrivateData(void* key, void* value, void (*callback)(void*))
{
    if (CKW_PrivateData* data = KW_Thread_GetPrivateData())
        data->SetPrivateData(key, value, callback);
}

bool KW_Thread_RemovePrivateData(void* key)
{
    CKW_PrivateData* data = KW_Thread_GetPrivateData();
    return data && data->RemovePrivateData(key);
}

CKW_ExceptionContext* KW_Thread_GetExceptionContext()
{
    CKW_ThreadContext* context = KW_Thread_GetContext();
    return context ? &context->m_ExceptionContext : nullptr;
}

void* KW_Thread_GetHandler()
{
    CKW_ProcessContext* process = KW_Process_GetContext();
    return process ? process->m_pHandler : nullptr;
}

void KW_Thread_SetHandler(void* handler)
{
    if (CKW_ProcessContext* process = KW_Process_GetContext())
        process->m_pHandler = handler;
}

_KW_HTHREAD KWCRT_Thread_Create(int32_t priority, int32_t, KW_THREAD_ROUTINE routine, void* argument)
{
    // Without a process context the thread could never run its routine.
    if (!routine || !KW_Process_GetContext())
        return nullptr;
    StartRecord* start = new StartRecord;
    if (!start)
        return nullptr;
    start->routine = routine;
    start->priority = priority;
    start->argument = argument;
    _KW_HTHREAD thread = nullptr;
    if (!KWPLAT_StartThread(ThreadStart, start, &thread)) {
        delete start;
        return nullptr;
    }
    return thread;
}

_KW_HTHREAD KW_Thread_Create(int32_t priority, int32_t stackSize, KW_THREAD_ROUTINE routine, void* argument)
{
    return KWCRT_Thread_Create(priority, stackSize, routine, argument);
}

void KW_Thread_Exit()
{
    KWCRT_ExitThread();
}

void KW_Thread_Yield()
{
    KWCRT_Thread_Yield();
}

int32_t KW_Thread_GetPriority(_KW_HTHREAD thread)
{
    return KWCRT_Thread_GetPriority(thread);
}

int32_t KW_Thread_SetPriority(_KW_HTHREAD thread, int32_t priority)
{
    return KWCRT_Thread_SetPriority(thread, priority);
}

int32_t KW_Thread_WaitForSingleThread(_KW_HTHREAD thread)
{
    return KWCRT_Thread_WaitForSingleThread(thread);
}

int32_t KW_Thread_WaitForMultipleThreads(const _KW_HTHREAD* threads, int32_t count)
{
    return KWCRT_Thread_WaitForMultipleThreads(threads, count);
}
