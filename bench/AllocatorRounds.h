// Two allocators compared on one allocation pattern in interleaved rounds:
// each round runs the pattern through both, in alternating order, on the
// same threads, and what counts is the CPU time those threads spent inside
// the pattern (setup and clean-up are not timed). The median round of each
// allocator decides, so a busy machine, page faults of a first round or one
// descheduled thread do not.
#pragma once

#include <time.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

struct Allocator {
    void* (*alloc)(size_t size);
    void (*free)(void* p);
};

// CPU time of the calling thread in nanoseconds.
inline double ThreadCpuNs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

// Threads kept for all rounds, so that each allocator meets the threads it
// has already served (per-thread state warm, as in a long-running program).
class WorkerThreads {
public:
    explicit WorkerThreads(int count)
    {
        for (int i = 0; i < count; ++i)
            m_Threads.emplace_back([this, i] { Serve(i); });
    }
    ~WorkerThreads()
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Quit = true;
            ++m_Generation;
        }
        m_Wake.notify_all();
        for (std::thread& t : m_Threads)
            t.join();
    }
    int Count() const { return static_cast<int>(m_Threads.size()); }

    // Runs job(worker) on every worker at once and returns the sum of what
    // the jobs return (their own CPU time).
    double Run(const std::function<double(int)>& job)
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Job = &job;
        m_Pending = Count();
        m_Total = 0;
        ++m_Generation;
        m_Wake.notify_all();
        m_Done.wait(lock, [this] { return m_Pending == 0; });
        m_Job = nullptr;
        return m_Total;
    }

private:
    void Serve(int index)
    {
        uint64_t seen = 0;
        for (;;) {
            const std::function<double(int)>* job;
            {
                std::unique_lock<std::mutex> lock(m_Mutex);
                m_Wake.wait(lock, [&] { return m_Generation != seen; });
                seen = m_Generation;
                if (m_Quit)
                    return;
                job = m_Job;
            }
            const double spent = (*job)(index);
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Total += spent;
            if (--m_Pending == 0)
                m_Done.notify_one();
        }
    }

    std::vector<std::thread> m_Threads;
    std::mutex m_Mutex;
    std::condition_variable m_Wake, m_Done;
    const std::function<double(int)>* m_Job = nullptr;
    uint64_t m_Generation = 0;
    int m_Pending = 0;
    double m_Total = 0;
    bool m_Quit = false;
};

// An allocation pattern: run(allocator, worker) does one worker's share and
// returns the CPU time of its timed part; operations is the number of
// allocate-and-free pairs all workers together time in one round.
struct AllocationPattern {
    std::function<double(const Allocator&, int)> run;
    double operations;
};

struct RoundsResult {
    double oursNs;   // median CPU time per operation
    double peerNs;
};

inline RoundsResult RunInterleavedRounds(WorkerThreads& workers, const AllocationPattern& pattern,
                                         const Allocator& ours, const Allocator& peer, int rounds)
{
    std::vector<double> oursNs, peerNs;
    auto one = [&](const Allocator& a, std::vector<double>& into) {
        into.push_back(workers.Run([&](int w) { return pattern.run(a, w); }) / pattern.operations);
    };
    for (int r = 0; r < rounds; ++r) {
        if (r % 2) {
            one(peer, peerNs);
            one(ours, oursNs);
        } else {
            one(ours, oursNs);
            one(peer, peerNs);
        }
    }
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    return {median(oursNs), median(peerNs)};
}

// The byte-string benchmark's own pattern: 256 blocks of 16 to 256 bytes,
// all allocated, then all freed, again and again.
inline AllocationPattern BatchPattern(int workers, int repeats)
{
    AllocationPattern p;
    p.operations = double(workers) * repeats * 256;
    p.run = [repeats](const Allocator& a, int) {
        void* blocks[256];
        const double start = ThreadCpuNs();
        for (int r = 0; r < repeats; ++r) {
            for (int i = 0; i < 256; ++i)
                blocks[i] = a.alloc(16 + (i % 16) * 16);
            for (int i = 0; i < 256; ++i)
                a.free(blocks[i]);
        }
        return ThreadCpuNs() - start;
    };
    return p;
}

// Random churn: `live` blocks of 8 to 512 bytes stay allocated while a
// random one is freed and a block of random size takes its place, `steps`
// times. Each worker has its own script, made once before any round, so both
// allocators see exactly the same requests.
inline AllocationPattern ChurnPattern(int workers, int live, int steps)
{
    struct Script {
        std::vector<uint16_t> fill;   // sizes of the first live blocks
        std::vector<uint32_t> slot;   // per step: the block replaced
        std::vector<uint16_t> size;   // per step: the size of its successor
    };
    auto scripts = std::make_shared<std::vector<Script>>(workers);
    for (int w = 0; w < workers; ++w) {
        std::mt19937 rng(1234 + w);
        std::uniform_int_distribution<int> size(8, 512);
        std::uniform_int_distribution<int> slot(0, live - 1);
        Script& s = (*scripts)[w];
        for (int i = 0; i < live; ++i)
            s.fill.push_back(static_cast<uint16_t>(size(rng)));
        for (int i = 0; i < steps; ++i) {
            s.slot.push_back(static_cast<uint32_t>(slot(rng)));
            s.size.push_back(static_cast<uint16_t>(size(rng)));
        }
    }
    AllocationPattern p;
    p.operations = double(workers) * steps;
    p.run = [scripts](const Allocator& a, int w) {
        const Script& s = (*scripts)[w];
        std::vector<void*> blocks(s.fill.size());
        for (size_t i = 0; i < blocks.size(); ++i) {
            blocks[i] = a.alloc(s.fill[i]);
            *static_cast<char*>(blocks[i]) = 1;
        }
        const double start = ThreadCpuNs();
        for (size_t i = 0; i < s.slot.size(); ++i) {
            void*& b = blocks[s.slot[i]];
            a.free(b);
            b = a.alloc(s.size[i]);
            *static_cast<char*>(b) = 1;
        }
        const double spent = ThreadCpuNs() - start;
        for (void* b : blocks)
            a.free(b);
        return spent;
    };
    return p;
}
