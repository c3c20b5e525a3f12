// The library's own exceptions: a per-thread stack of up to 512 try levels,
// each a jump buffer and a code, thrown with longjmp. Leaving a level runs no
// destructors of the frames left behind, so code inside a try block keeps
// owning resources in variables the catch can reach, and locals changed in
// the block and read in its catch must be volatile.
//
//     KW_TRY {
//         ... KW_Throw(5); ...
//     } KW_CATCH(5) {
//         ...
//     } KW_CATCH_ALL {
//         ...
//     } KW_END_TRY;
//
// An exception no catch takes goes on to the enclosing try level, if any.
// With no level open, KW_Throw returns. Without a thread context
// (KW_Process_Initialize not run, or a thread the library did not start)
// KW_TRY runs its block as plain code, and a KW_Throw, which has nowhere to
// go and must not return into the code after it, ends the process.
//
// Levels tell an exception by the low byte of its code, so a code whose low
// byte is 0 is thrown with that byte set to 0xFF (256 arrives as 511; 0
// arrives as 1); KW_CATCH(256) maps its code the same way and takes it.
#ifndef KW_EXCEPTION_H
#define KW_EXCEPTION_H

#include <setjmp.h>
#include <stdint.h>

#include "KW_Object.h"

enum {
    KW_TRY_LEVELS = 512,
    KW_EXCEPTION_OVERFLOW = 257   // the top level's code when no further level fits
};

struct KW_TryLevel {
    int32_t code;   // 0 while the block runs normally; only the low byte marks an exception
    jmp_buf jump;
};

class CKW_ExceptionErrorContext : public CKW_Object {
public:
    CKW_ExceptionErrorContext() : m_nTop(-1), m_pLevels(nullptr) {}
    ~CKW_ExceptionErrorContext() { Finalize(); }
    CKW_ExceptionErrorContext(const CKW_ExceptionErrorContext&) = delete;
    CKW_ExceptionErrorContext& operator=(const CKW_ExceptionErrorContext&) = delete;

    bool Initialize();   // the zeroed level table
    void Finalize();

    KW_TryLevel* Level(int index) const
    {
        return m_pLevels && index >= 0 && index < KW_TRY_LEVELS ? &m_pLevels[index] : nullptr;
    }

    int32_t m_nTop;   // -1: no try level open
    KW_TryLevel* m_pLevels;
};

class CKW_ExceptionContext {
public:
    CKW_ExceptionContext() : m_pErrorContext(nullptr) {}
    bool Initialize();
    void Finalize();

    CKW_ExceptionErrorContext* m_pErrorContext;
};

// One lives in each try block.
class CKW_Exception {
public:
    // Opens the level KW_Push_Try made room for; a block without a thread
    // context opens none.
    explicit CKW_Exception(bool open = true);
    ~CKW_Exception();
    CKW_Exception(const CKW_Exception&) = delete;
    CKW_Exception& operator=(const CKW_Exception&) = delete;

    bool Catch(int32_t code);
    bool CatchAll();
    // An exception no catch took goes to the enclosing level.
    void EndTry();

private:
    uint8_t m_bCaught;
};

// Room for one more level: true. Else the top level's code becomes 257 and false.
bool KW_Push_Try(CKW_ExceptionErrorContext* context);
// The calling thread's error context, or null.
CKW_ExceptionErrorContext* KW_Thread_GetErrorContext();
// Jumps to the innermost open level with code (0 arrives as 1, any other
// code whose low byte is 0 with that byte set to 0xFF); returns when no level
// is open; ends the process, with the code on standard error, when the thread
// has no context.
void KW_Throw(int32_t code);
// From a catch block: throws the caught exception on to the enclosing level.
void KW_ContinueThrow();
// The code of the level just caught.
int32_t KW_GetCatchCode();
[[noreturn]] void KW_IMP_Throw(jmp_buf buffer, int32_t code);

// An array index outside its array: "Invalid index:" and the index, each on
// its own line of standard error, then the process ends.
[[noreturn]] void KW_InvalidIndexAbort(int index);

// setjmp runs in the frame of the function that writes KW_TRY, as it must.
// When no further level fits, the block does not run: the enclosing level
// receives the exception 257.
#define KW_TRY                                                                   \
    {                                                                            \
        CKW_ExceptionErrorContext* const kw_tryContext_ = KW_Thread_GetErrorContext(); \
        if (kw_tryContext_ && !KW_Push_Try(kw_tryContext_))                      \
            KW_Throw(KW_EXCEPTION_OVERFLOW);                                     \
        CKW_Exception kw_exception_(kw_tryContext_ != nullptr);                  \
        KW_TryLevel* volatile const kw_tryLevel_ =                                     \
            kw_tryContext_ ? kw_tryContext_->Level(kw_tryContext_->m_nTop) : nullptr; \
        if (kw_tryLevel_)                                                        \
            kw_tryLevel_->code = setjmp(kw_tryLevel_->jump);                     \
        if (!kw_tryLevel_ || kw_tryLevel_->code == 0) {
#define KW_CATCH(c)                                                              \
        } else if (kw_exception_.Catch(c)) {
#define KW_CATCH_ALL                                                             \
        } else if (kw_exception_.CatchAll()) {
#define KW_END_TRY                                                               \
        }                                                                        \
        kw_exception_.EndTry();                                                  \
    }

#endif // KW_EXCEPTION_H
