// Signals: direct handlers during the emission, queued ones later on the
// receiver widget's thread, and what survives failing, re-entrant and
// destroying handlers.
#include "BaseImpl.h"
#include "ChildDialog.h"
#include "QueuedCallFilter.h"
#include "Signal.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace AUILib;

namespace {

// A receiver control whose widget runs queued calls as a dialog would.
struct Receiver {
    Receiver() : control(std::make_shared<ChildDialog>()), widget(control->GetBaseImpl()->GetWndPtr())
    {
        widget->installEventFilter(new QueuedCallFilter(widget));
    }
    ~Receiver() { delete widget; }
    QWidget* Widget() const { return widget; }

    std::shared_ptr<ChildDialog> control;
    QPointer<QWidget> widget;
};

void Deliver() { QCoreApplication::sendPostedEvents(); }

} // namespace

TEST(Signal, DirectHandlersRunNowQueuedOnesOnceLater)
{
    Receiver receiver;
    Signal<int> signal;
    std::vector<std::string> calls;
    signal.Connect([&](int v) { calls.push_back("A" + std::to_string(v)); });
    signal.ConnectQueued([&](int v) { calls.push_back("B" + std::to_string(v)); }, receiver.control);
    signal.Connect([&](int v) { calls.push_back("C" + std::to_string(v)); });

    signal.Emit(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"A1", "C1"}));
    Deliver();
    EXPECT_EQ(calls, (std::vector<std::string>{"A1", "C1", "B1"}));
    Deliver();
    EXPECT_EQ(calls.size(), 3u);
}

TEST(Signal, ABlockedSignalCallsAndPostsNothing)
{
    Receiver receiver;
    Signal<> signal;
    int calls = 0;
    signal.Connect([&] { ++calls; });
    signal.ConnectQueued([&] { ++calls; }, receiver.control);
    signal.SetBlocked(true);
    EXPECT_TRUE(signal.IsBlocked());
    signal.Emit();
    Deliver();
    EXPECT_EQ(calls, 0);
    signal.SetBlocked(false);
    signal.Emit();
    Deliver();
    EXPECT_EQ(calls, 2);

    Signal<> empty;
    empty.Emit();  // nothing to do
}

TEST(Signal, AThrowingHandlerStopsTheWalkButNotTheSignal)
{
    Signal<> signal;
    std::vector<int> calls;
    signal.Connect([&] { calls.push_back(1); });
    signal.Connect([&] {
        calls.push_back(2);
        throw std::runtime_error("handler failed");
    });
    signal.Connect([&] { calls.push_back(3); });
    signal.Emit();
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    signal.Emit();
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1, 2}));
}

TEST(Signal, HandlersMayEmitConnectAndDisconnectWithoutDeadlock)
{
    Signal<int> signal;
    int depth = 0;
    int calls = 0;
    signal.Connect([&](int v) {
        ++calls;
        ++depth;
        signal.Emit(v + 1);  // returns at once
        --depth;
    });
    Signal<int>::ConnectionId second = 0;
    second = signal.Connect([&](int) {
        signal.Disconnect(second);
        signal.Connect([&](int) { ++calls; });  // joins the next emission
    });
    signal.Emit(0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(depth, 0);
    signal.Emit(0);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(signal.Count(), 2u);
    signal.DisconnectAll();
    signal.Emit(0);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(signal.Connect(nullptr), 0u);
    EXPECT_EQ(signal.Count(), 0u);
}

TEST(Signal, AHandlerMayDestroyTheSignalsOwner)
{
    struct Owner {
        Signal<> changed;
    };
    auto owner = std::make_unique<Owner>();
    int later = 0;
    owner->changed.Connect([&] { owner.reset(); });
    owner->changed.Connect([&] { ++later; });  // its owner is gone: not run
    owner->changed.Emit();
    EXPECT_FALSE(owner);
    EXPECT_EQ(later, 0);
}

TEST(Signal, QueuedCallsForAGoneReceiverNeverRunAndFreeTheirCopies)
{
    auto payload = std::make_shared<int>(42);
    Signal<std::shared_ptr<int>> signal;
    int runs = 0;
    {
        Receiver receiver;
        signal.ConnectQueued([&](std::shared_ptr<int>) { ++runs; }, receiver.control);
        signal.Emit(payload);
        EXPECT_EQ(payload.use_count(), 2);  // one copy waits in the queue
    }  // the widget goes before delivery
    Deliver();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(payload.use_count(), 1);

    // Receiver widget already gone, control still alive: nothing is posted.
    Receiver receiver;
    signal.ConnectQueued([&](std::shared_ptr<int>) { ++runs; }, receiver.control);
    delete receiver.Widget();
    signal.Emit(payload);
    EXPECT_EQ(payload.use_count(), 1);

    // Receiver control dropped: its entry is skipped.
    std::weak_ptr<ChildDialog> weak = receiver.control;
    receiver.control.reset();
    EXPECT_TRUE(weak.expired());
    signal.Emit(payload);
    Deliver();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(payload.use_count(), 1);
}

TEST(Signal, QueuedHandlersGetTheValuesOfTheEmission)
{
    Receiver receiver;
    Signal<int, std::vector<int>&, bool> dropped;
    std::vector<int> direct;
    std::vector<int> queued;
    dropped.Connect([&](int, std::vector<int>& items, bool) {
        items.push_back(1);
        direct = items;
    });
    dropped.ConnectQueued(
        [&](int, std::vector<int>& items, bool) {
            items.push_back(2);
            queued = items;
        },
        receiver.control);
    std::vector<int> items{0};
    dropped.Emit(7, items, true);
    EXPECT_EQ(items, (std::vector<int>{0, 1}));  // the direct handler changed the emitter's vector
    items.push_back(9);
    Deliver();
    EXPECT_EQ(queued, (std::vector<int>{0, 1, 2}));  // its own copy, as at emission
    EXPECT_EQ(items, (std::vector<int>{0, 1, 9}));

    Signal<std::wstring> text;
    std::wstring received;
    text.ConnectQueued([&](std::wstring value) { received = value; }, receiver.control);
    std::wstring current = L"before";
    text.Emit(current);
    current = L"after";
    Deliver();
    EXPECT_EQ(received, L"before");
}

TEST(Signal, TheRecorderSeesEveryEmission)
{
    Signal<int, std::wstring> signal;
    SignalRecorder<int, std::wstring> recorder(signal);
    signal.Emit(1, L"one");
    signal.Emit(2, L"two");
    ASSERT_EQ(recorder.Count(), 2u);
    EXPECT_EQ(recorder.Last(), std::make_tuple(2, std::wstring(L"two")));
}

TEST(Signal, AWorkerThreadPostsWhileTheGuiThreadDeletesTheReceiver)
{
    // The worker keeps posting until the receiver is gone and then some, so
    // the deletion falls inside the stream however the two threads are
    // scheduled; a busy machine only makes the stream longer.
    constexpr int kCallsAfterDeletion = 1000;
    auto receiver = std::make_unique<Receiver>();
    Signal<int> signal;
    std::atomic<int> runs{0};
    std::atomic<bool> receiverGone{false};
    std::atomic<int> runsAfterDeletion{0};
    signal.ConnectQueued(
        [&](int) {
            ++runs;
            if (receiverGone)
                ++runsAfterDeletion;
        },
        receiver->control);
    SignalRecorder<int> recorder(signal);

    std::atomic<int> emitted{0};
    std::thread worker([&] {
        while (!receiverGone) {
            signal.Emit(emitted);
            ++emitted;
        }
        for (int i = 0; i < kCallsAfterDeletion; ++i) {
            signal.Emit(emitted);
            ++emitted;
        }
    });
    // Let some calls through, then take the receiver away mid-stream.
    QDeadlineTimer deadline(60000);
    while (runs == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    const int emittedBeforeDeletion = emitted;
    receiver.reset();
    receiverGone = true;
    worker.join();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();

    EXPECT_EQ(recorder.Count(), static_cast<size_t>(emitted.load()));  // direct handlers on the worker
    EXPECT_GT(runs.load(), 0);
    EXPECT_LE(runs.load(), emitted.load());
    EXPECT_GE(emitted.load(), emittedBeforeDeletion + kCallsAfterDeletion);
    EXPECT_EQ(runsAfterDeletion.load(), 0);
}
