#include "KW_Exception.h"

#include "KW_Thread.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

bool CKW_ExceptionErrorContext::Initialize()
{
    Finalize();
    m_pLevels = static_cast<KW_TryLevel*>(CKW_Object::operator new[](sizeof(KW_TryLevel) * KW_TRY_LEVELS));
    if (!m_pLevels)
        return false;
    memset(static_cast<void*>(m_pLevels), 0, sizeof(KW_TryLevel) * KW_TRY_LEVELS);
    m_nTop = -1;
    return true;
}

void CKW_ExceptionErrorContext::Finalize()
{
    if (m_pLevels)
        CKW_Object::operator delete[](m_pLevels);
    m_pLevels = nullptr;
    m_nTop = -1;
}

bool CKW_ExceptionContext::Initialize()
{
    Finalize();
    m_pErrorContext = new CKW_ExceptionErrorContext;
    if (!m_pErrorContext)
        return false;
    if (!m_pErrorContext->Initialize()) {
        delete m_pErrorContext;
        m_pErrorContext = nullptr;
        return false;
    }
    return true;
}

void CKW_ExceptionContext::Finalize()
{
    delete m_pErrorContext;
    m_pErrorContext = nullptr;
}

CKW_ExceptionErrorContext* KW_Thread_GetErrorContext()
{
    CKW_ExceptionContext* context = KW_Thread_GetExceptionContext();
    return context ? context->m_pErrorContext : nullptr;
}

namespace {

// The try levels tell an exception by the low byte of its code: a code whose
// low byte is 0 would reach the level, be taken by no CatchAll and be dropped
// at the end of the block, so the thrower's failure would vanish. It travels
// with its low byte set instead, and Catch maps the code it asks for the same
// way, so Catch(256) still takes KW_Throw(256).
int32_t DeliverableCode(int32_t code)
{
    if (code == 0)
        return 1;   // as longjmp delivers it
    return (code & 0xFF) == 0 ? (code | 0xFF) : code;
}

// The open top level, or null.
KW_TryLevel* TopLevel(CKW_ExceptionErrorContext* context)
{
    return context && context->m_nTop >= 0 ? context->Level(context->m_nTop) : nullptr;
}

} // namespace

bool KW_Push_Try(CKW_ExceptionErrorContext* context)
{
    if (!context || !context->m_pLevels)
        return false;
    if (context->m_nTop < KW_TRY_LEVELS - 1)
        return true;
    context->Level(context->m_nTop)->code = KW_EXCEPTION_OVERFLOW;
    return false;
}

CKW_Exception::CKW_Exception(bool open) : m_bCaught(1)
{
    CKW_ExceptionErrorContext* context = open ? KW_Thread_GetErrorContext() : nullptr;
    if (!context || context->m_nTop >= KW_TRY_LEVELS - 1)
        return;
    m_bCaught = 0;
    context->m_nTop++;
}

CKW_Exception::~CKW_Exception()
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    if (!m_bCaught && context && context->m_nTop >= 0)
        context->m_nTop--;
}

bool CKW_Exception::Catch(int32_t code)
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    KW_TryLevel* top = TopLevel(context);
    if (m_bCaught || !top || top->code != DeliverableCode(code))
        return false;
    context->m_nTop--;
    m_bCaught = 1;
    return true;
}

bool CKW_Exception::CatchAll()
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    KW_TryLevel* top = TopLevel(context);
    if (m_bCaught || !top || (top->code & 0xFF) == 0)
        return false;
    context->m_nTop--;
    m_bCaught = 1;
    return true;
}

void CKW_Exception::EndTry()
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    KW_TryLevel* top = TopLevel(context);
    if (m_bCaught || !top || context->m_nTop < 1 || (top->code & 0xFF) == 0)
        return;
    // This level is over: close it before the enclosing one takes the
    // exception, or the stack would stay a level too high.
    const int32_t code = top->code;
    context->m_nTop--;
    m_bCaught = 1;
    KW_IMP_Throw(context->Level(context->m_nTop)->jump, code);
}

void KW_Throw(int32_t code)
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    if (!context || !context->m_pLevels) {
        // The code after a throw is written for a failure that went
        // elsewhere; going on into it would act on that failure as if it
        // had not happened. Without a try stack there is nowhere to go.
        fprintf(stderr, "%s\n", "Exception thrown without a thread context:");
        fprintf(stderr, "%i\n", code);
        abort();
    }
    KW_TryLevel* top = TopLevel(context);
    if (top)
        KW_IMP_Throw(top->jump, DeliverableCode(code));
}

void KW_ContinueThrow()
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    if (!context)
        return;
    // The caught level sits just above the top; from the outermost catch
    // there is no level to pass the exception to.
    KW_TryLevel* caught = context->Level(context->m_nTop + 1);
    KW_TryLevel* top = TopLevel(context);
    if (caught && top && (caught->code & 0xFF) != 0)
        KW_IMP_Throw(top->jump, caught->code);
}

int32_t KW_GetCatchCode()
{
    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    KW_TryLevel* caught = context ? context->Level(context->m_nTop + 1) : nullptr;
    return caught ? caught->code : 0;
}

void KW_IMP_Throw(jmp_buf buffer, int32_t code)
{
    longjmp(buffer, code);
}

void KW_InvalidIndexAbort(int index)
{
    fprintf(stderr, "%s\n", "Invalid index:");
    fprintf(stderr, "%i\n", index);
    abort();
}
