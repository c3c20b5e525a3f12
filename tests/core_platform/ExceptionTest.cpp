// The library's try levels: throwing, catching, passing an exception outward,
// the 512-level limit, and what happens without a thread context.
#include "KW_Exception.h"
#include "KW_Thread.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class Exceptions : public ::testing::Test {
protected:
    void SetUp() override { KW_Process_Initialize(); }
    void TearDown() override { KW_Process_Finalize(); }

    static int Top() { return KW_Thread_GetErrorContext()->m_nTop; }
};

// Which branch of a try block ran: 0 the block, else the code a catch saw
// (-1: no catch took it).
int ThrowAndCatch(int32_t thrown)
{
    volatile int seen = -1;
    KW_TRY {
        KW_Throw(thrown);
        seen = 0;
    } KW_CATCH(5) {
        seen = 5;
    } KW_CATCH_ALL {
        seen = 1000 + KW_GetCatchCode();
    } KW_END_TRY;
    return seen;
}

TEST_F(Exceptions, CatchTakesItsCodeAndCatchAllAnyLowByte)
{
    struct Case {
        int32_t thrown;
        int expected;
    };
    const Case cases[] = {
        {5, 5},          // Catch(5)
        {6, 1006},       // not Catch(5); CatchAll with the code
        {0, 1001},       // longjmp turns 0 into 1
        {0x105, 1000 + 0x105},
        {256, 1000 + 0x1FF},   // no low byte: delivered with it set, not dropped
        {-256, 1000 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ThrowAndCatch(c.thrown), c.expected) << c.thrown;
        EXPECT_EQ(Top(), -1) << c.thrown;
    }
}

// A code without a low byte would be taken by no CatchAll and dropped at the
// end of its block; it travels with its low byte set, so it is caught by its
// own Catch and passes outward like any other.
TEST_F(Exceptions, CodeWithoutLowByteIsDeliveredNotDropped)
{
    volatile int outer = 0, after = 0;
    KW_TRY {
        KW_TRY {
            KW_Throw(512);
        } KW_CATCH(5) {
            outer = -1;
        } KW_END_TRY;
        after = 1;   // must not run: the exception is not over
    } KW_CATCH(512) {
        outer = KW_GetCatchCode();
    } KW_END_TRY;
    EXPECT_EQ(outer, 512 | 0xFF);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(Top(), -1);
}

TEST_F(Exceptions, UncaughtExceptionGoesOutwardAndTheStackComesBackToNothing)
{
    volatile int innerCatch = 0, outerCatch = 0;
    KW_TRY {
        KW_TRY {
            EXPECT_EQ(Top(), 1);
            KW_Throw(7);
        } KW_CATCH(5) {
            innerCatch = 1;
        } KW_END_TRY;
    } KW_CATCH(7) {
        outerCatch = KW_GetCatchCode();
    } KW_END_TRY;
    EXPECT_EQ(innerCatch, 0);
    EXPECT_EQ(outerCatch, 7);
    EXPECT_EQ(Top(), -1);
    // With no level open, a throw returns to its caller.
    KW_Throw(5);
    SUCCEED();
}

TEST_F(Exceptions, ContinueThrowPassesOnAndReturnsFromTheOutermostCatch)
{
    volatile int outer = 0;
    KW_TRY {
        KW_TRY {
            KW_Throw(9);
        } KW_CATCH(9) {
            KW_ContinueThrow();
            outer = -1;
        } KW_END_TRY;
    } KW_CATCH(9) {
        outer = 9;
        KW_ContinueThrow();   // nothing encloses this level: returns
        outer = 10;
    } KW_END_TRY;
    EXPECT_EQ(outer, 10);
    EXPECT_EQ(Top(), -1);
}

int Nest(int depth, volatile int* deepest)
{
    volatile int overflow = 0;
    KW_TRY {
        *deepest = depth;
        if (depth < 600)
            Nest(depth + 1, deepest);
    } KW_CATCH(KW_EXCEPTION_OVERFLOW) {
        overflow = 1;
    } KW_END_TRY;
    return overflow;
}

TEST_F(Exceptions, FiveHundredTwelveLevelsThenTheNextIsRefused)
{
    volatile int deepest = 0;
    Nest(1, &deepest);
    EXPECT_EQ(deepest, 512);
    EXPECT_EQ(Top(), -1);

    CKW_ExceptionErrorContext* context = KW_Thread_GetErrorContext();
    context->m_nTop = KW_TRY_LEVELS - 1;
    EXPECT_FALSE(KW_Push_Try(context));
    EXPECT_EQ(context->Level(KW_TRY_LEVELS - 1)->code, 257);
    context->m_nTop = -1;
}

TEST_F(Exceptions, LevelFunctionsWithoutAnOpenLevelDoNothing)
{
    CKW_Exception stray(false);
    EXPECT_FALSE(stray.Catch(0));
    EXPECT_FALSE(stray.CatchAll());
    stray.EndTry();
    KW_ContinueThrow();
    EXPECT_EQ(Top(), -1);
    EXPECT_EQ(KW_GetCatchCode(), 0);   // level 0, never used
}

void ThrowWithoutContext()
{
    volatile int ran = 0;
    KW_TRY {
        ran = 1;
        KW_Throw(5);
        ran = 2;
    } KW_CATCH_ALL {
        ran = 3;
    } KW_END_TRY;
    fprintf(stderr, "went on: %d\n", ran);
}

// Blocks run as plain code; a throw has nowhere to go and must not return
// into the code after it, so it ends the process.
TEST(ExceptionsWithoutContextDeathTest, BlocksRunPlainAndAThrowEndsTheProcess)
{
    ASSERT_EQ(KW_Process_GetContext(), nullptr);
    EXPECT_FALSE(KW_Push_Try(KW_Thread_GetErrorContext()));
    volatile int ran = 0;
    KW_TRY {
        ran = 1;
    } KW_CATCH_ALL {
        ran = 3;
    } KW_END_TRY;
    EXPECT_EQ(ran, 1);
    EXPECT_DEATH(ThrowWithoutContext(), "Exception thrown without a thread context:\n5\n");
}

TEST(IndexCheckDeathTest, AnIndexOutsideItsArrayEndsTheProcess)
{
    EXPECT_DEATH(KW_InvalidIndexAbort(42), "Invalid index:\n42\n");
}

} // namespace
