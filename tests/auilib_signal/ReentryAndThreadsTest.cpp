// The two cases a signal settles by itself: an emission of a signal that is
// already being emitted on the same thread (directly or from a nested event
// loop a handler runs) is dropped, and emissions from two threads run their
// direct handlers at the same time.
#include "Signal.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace AUILib;

TEST(SignalReentry, AnEmissionFromANestedEventLoopOfItsHandlerIsDropped)
{
    Signal<int> signal;
    Signal<int> other;
    std::vector<int> calls;
    std::vector<int> otherCalls;
    other.Connect([&otherCalls](int v) { otherCalls.push_back(v); });
    signal.Connect([&](int v) {
        calls.push_back(v);
        if (v != 1)
            return;
        // A handler that runs a loop (as a modal dialog does) in which an
        // event emits the same signal again, and another one.
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            signal.Emit(2);
            other.Emit(3);
            loop.quit();
        });
        loop.exec();
        calls.push_back(-v);   // the handler finishes after the loop
    });
    signal.Emit(1);
    EXPECT_EQ(calls, (std::vector<int>{1, -1}));   // 2 was dropped, nothing ran inside the call
    EXPECT_EQ(otherCalls, (std::vector<int>{3}));  // other signals are not affected
    signal.Emit(4);                                 // once it returned, the signal works as before
    EXPECT_EQ(calls, (std::vector<int>{1, -1, 4}));
}

TEST(SignalReentry, EmissionsFromTwoThreadsRunTheirHandlersConcurrently)
{
    Signal<int> signal;
    std::mutex lock;
    std::condition_variable changed;
    int inside = 0;
    int peak = 0;
    signal.Connect([&](int) {
        std::unique_lock<std::mutex> hold(lock);
        ++inside;
        peak = std::max(peak, inside);
        changed.notify_all();
        // Each handler waits for the other thread's to have started: only
        // emissions that do not wait for each other get both in here. The
        // bound only keeps a fault from hanging the test.
        changed.wait_for(hold, std::chrono::seconds(20), [&] { return peak == 2; });
        --inside;
    });
    std::thread first([&] { signal.Emit(1); });
    std::thread second([&] { signal.Emit(2); });
    first.join();
    second.join();
    EXPECT_EQ(peak, 2);
    EXPECT_EQ(inside, 0);
}
