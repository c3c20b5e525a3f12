// A control's notification: a list of handlers, each called during the
// emission (direct) or posted to the GUI thread and run there by the event
// filter of the receiving control's widget (queued).
//
// Direct handlers run on a snapshot of the list taken under the lock and
// called outside it, so a handler may connect, disconnect, block, set its
// own control or destroy the signal's owner. An exception from a direct
// handler ends the walk and is dropped; queued calls posted before it stay
// posted.
//
// Re-entry on one thread: while an emission of a signal runs on a thread,
// another emission of the same signal on that thread returns at once,
// calling and posting nothing. That holds whether a handler emits it
// directly or an event handled in a nested event loop the handler runs (a
// modal dialog, a menu) leads to it. So no handler ever runs inside its own
// call; the price is that the nested notification is lost, and a handler
// that runs such a loop reads the state afresh afterwards where it matters.
// Other signals emit normally meanwhile.
//
// Two threads: emissions of one signal from two threads do not wait for
// each other. Each walks its own snapshot, so direct handlers run in both
// threads at once, the same handler included; a handler that may be
// reached from a second thread guards what it shares. Queued calls run on
// the GUI thread whichever thread emitted.
//
// Handlers that end a window: a handler may drop its control or its dialog,
// or delete the window, and the control's code asks after each emission
// whether its widget still lives. The exception are the handlers of value,
// text, index and focus changes, and of the few item-view inputs whose
// handling Qt finishes itself (the controls say which where they declare
// their signals): those run inside Qt's own handling, which goes on using
// the widget after the handler returns, as it does for plain Qt signals, so
// they must not delete the emitting widget or a window that holds it at
// once. Such a handler ends its dialog with Dialog::Done, the
// window's close() or a deferred delete (deleteLater).
#pragma once

#include <QEvent>

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace AUILib {

class BaseGUIObject;

// A queued handler call on its way to the receiver widget's thread. Qt owns
// it once posted and deletes it after delivery, or unrun when the widget is
// destroyed first; either way the copied handler and arguments go with it.
class BoundHandlerWrapper : public QEvent {
public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(32769);

    explicit BoundHandlerWrapper(std::function<void()> call);
    ~BoundHandlerWrapper() override;

    // Runs the bound call; an empty one raises std::bad_function_call.
    void Run() const { boundCall(); }

    std::function<void()> boundCall;
};

namespace SignalDetail {

// Posts the call as a BoundHandlerWrapper to the receiver's widget. On the
// GUI thread the widget is looked up at once; from any other thread a
// resolver is posted to the GUI thread and looks it up there, since
// controls and widgets may only be touched on that thread. A receiver that
// is gone, or has no implementation or widget, drops the call.
void PostQueuedCall(const std::weak_ptr<BaseGUIObject>& receiver, std::function<void()> call);

// Re-entrancy bookkeeping of one thread: true when the emission of state
// may start (and is recorded), false when it is already running here.
bool EnterEmission(const void* state);
void LeaveEmission(const void* state);

} // namespace SignalDetail

template <typename... Args>
class Signal {
public:
    using Handler = std::function<void(Args...)>;
    using ConnectionId = uint64_t;

    enum Kind : int32_t { Direct = 0, Queued = 1 };

    struct Entry {
        int32_t kind = Direct;
        Handler handler;
        std::weak_ptr<BaseGUIObject> receiver;  // queued entries only
        ConnectionId id = 0;
        std::atomic<bool> connected{true};
    };

    Signal() : state_(std::make_shared<State>()) {}
    // Entries still due in a running emission's snapshot are skipped: their
    // handlers may refer to the object that owned this signal.
    ~Signal() { DisconnectAll(); }
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Both return 0, adding nothing, for an empty handler.
    ConnectionId Connect(Handler handler) { return Add(Direct, std::move(handler), {}); }
    ConnectionId ConnectQueued(Handler handler, std::weak_ptr<BaseGUIObject> receiver)
    {
        return Add(Queued, std::move(handler), std::move(receiver));
    }

    bool Disconnect(ConnectionId id)
    {
        std::lock_guard<std::mutex> hold(state_->lock);
        for (auto it = state_->entries.begin(); it != state_->entries.end(); ++it) {
            if ((*it)->id == id) {
                (*it)->connected = false;
                state_->entries.erase(it);
                return true;
            }
        }
        return false;
    }

    void DisconnectAll()
    {
        std::list<std::shared_ptr<Entry>> gone;
        {
            std::lock_guard<std::mutex> hold(state_->lock);
            gone.swap(state_->entries);
        }
        for (auto& entry : gone)
            entry->connected = false;
    }

    bool IsBlocked() const { return state_->blocked.load(); }
    void SetBlocked(bool blocked) { state_->blocked.store(blocked); }

    size_t Count() const
    {
        std::lock_guard<std::mutex> hold(state_->lock);
        return state_->entries.size();
    }

    void Emit(Args... args)
    {
        std::shared_ptr<State> state = state_;  // a handler may destroy this signal
        if (state->blocked.load())
            return;
        if (!SignalDetail::EnterEmission(state.get()))
            return;
        struct Leave {
            const void* state;
            ~Leave() { SignalDetail::LeaveEmission(state); }
        } leave{state.get()};

        std::vector<std::shared_ptr<Entry>> snapshot;
        try {
            {
                std::lock_guard<std::mutex> hold(state->lock);
                snapshot.assign(state->entries.begin(), state->entries.end());
            }
            for (const auto& entry : snapshot) {
                if (!entry->connected.load())
                    continue;
                if (entry->kind == Direct) {
                    entry->handler(args...);
                } else if (entry->kind == Queued) {
                    SignalDetail::PostQueuedCall(entry->receiver, BindCopies(entry->handler, args...));
                }
            }
        } catch (...) {
            // A failing handler must not break the control that emits.
        }
    }

private:
    struct State {
        mutable std::mutex lock;
        std::list<std::shared_ptr<Entry>> entries;
        std::atomic<bool> blocked{false};
        ConnectionId nextId = 1;
    };

    ConnectionId Add(int32_t kind, Handler handler, std::weak_ptr<BaseGUIObject> receiver)
    {
        if (!handler)
            return 0;
        auto entry = std::make_shared<Entry>();
        entry->kind = kind;
        entry->handler = std::move(handler);
        entry->receiver = std::move(receiver);
        std::lock_guard<std::mutex> hold(state_->lock);
        entry->id = state_->nextId++;
        state_->entries.push_back(std::move(entry));
        return state_->entries.back()->id;
    }

    // The handler with its own copy of every argument as it is now; an
    // argument declared as a reference is copied too, and the handler gets a
    // reference to that copy.
    static std::function<void()> BindCopies(const Handler& handler, const Args&... args)
    {
        return [handler, copies = std::tuple<std::decay_t<Args>...>(args...)]() mutable {
            std::apply(handler, copies);
        };
    }

    std::shared_ptr<State> state_;
};

} // namespace AUILib
