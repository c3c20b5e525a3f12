// Records every emission of a widget-library signal through a direct handler:
// the argument values (references copied) in emission order. Safe to emit
// from several threads. Must not outlive the signal it watches.
#pragma once

#include "Signal.h"

#include <mutex>
#include <tuple>
#include <type_traits>
#include <vector>

template <typename... Args>
class SignalRecorder {
public:
    using Record = std::tuple<std::decay_t<Args>...>;

    explicit SignalRecorder(AUILib::Signal<Args...>& signal) : signal_(signal)
    {
        id_ = signal_.Connect([this](Args... args) {
            std::lock_guard<std::mutex> hold(lock_);
            records_.emplace_back(args...);
        });
    }

    ~SignalRecorder() { signal_.Disconnect(id_); }

    SignalRecorder(const SignalRecorder&) = delete;
    SignalRecorder& operator=(const SignalRecorder&) = delete;

    size_t Count() const
    {
        std::lock_guard<std::mutex> hold(lock_);
        return records_.size();
    }

    std::vector<Record> Records() const
    {
        std::lock_guard<std::mutex> hold(lock_);
        return records_;
    }

    Record Last() const
    {
        std::lock_guard<std::mutex> hold(lock_);
        return records_.back();
    }

private:
    AUILib::Signal<Args...>& signal_;
    typename AUILib::Signal<Args...>::ConnectionId id_ = 0;
    mutable std::mutex lock_;
    std::vector<Record> records_;
};
