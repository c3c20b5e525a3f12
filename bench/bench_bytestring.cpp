// Byte string against std::string and QByteArray on the same data, and the
// small-object pool against malloc. After the usual table, one line per
// operation gives our time divided by the better peer's time (goal: <= 1.5).
// Last, the pool manager meets malloc on two patterns, on one thread and on
// four, in interleaved rounds timed by CPU time; the program exits with 1
// when one of those ratios is over 1.5.
#include "AllocatorRounds.h"
#include "CKW_ByteString.h"
#include "KW_Memory.h"
#include "KW_Pool.h"

#include "PeerReport.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string& Text(size_t n)
{
    static std::map<size_t, std::string> cache;
    std::string& s = cache[n];
    if (s.empty()) {
        s.reserve(n);
        for (size_t i = 0; s.size() < n; ++i)
            s += static_cast<char>('a' + (i * 7 + i / 13) % 26);
    }
    return s;
}

// A haystack where the needle occurs only at the very end, and a text with
// many short hits for Replace.
const std::string kNeedle = "needle-in-haystack";
std::string Haystack()
{
    return Text(64 * 1024) + kNeedle;
}
std::string ReplaceText()
{
    std::string s;
    for (int i = 0; i < 2000; ++i)
        s += "key=value; ";
    return s;
}

// --- create: from 24 bytes and from 1 KiB -------------------------------------------
template <class S>
S Make(const std::string& src);
template <>
CKW_ByteString Make(const std::string& src) { return CKW_ByteString(src.data(), static_cast<int>(src.size())); }
template <>
std::string Make(const std::string& src) { return std::string(src.data(), src.size()); }
template <>
QByteArray Make(const std::string& src) { return QByteArray(src.data(), static_cast<int>(src.size())); }

template <class S>
void Create(benchmark::State& state)
{
    const std::string& src = Text(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        S s = Make<S>(src);
        benchmark::DoNotOptimize(s);
    }
}

// --- copy: a 4 KiB string ----------------------------------------------------------
template <class S>
void Copy(benchmark::State& state)
{
    const S original = Make<S>(Text(4096));
    for (auto _ : state) {
        S copy(original);
        benchmark::DoNotOptimize(copy);
    }
}

// --- append: 256 pieces of 16 bytes --------------------------------------------------
template <class S>
void Append(benchmark::State& state)
{
    const std::string piece = Text(16);
    for (auto _ : state) {
        S s;
        for (int i = 0; i < 256; ++i) {
            if constexpr (std::is_same_v<S, CKW_ByteString>)
                s += CKW_ByteStringC(piece.data(), 16);
            else
                s.append(piece.data(), 16);
        }
        benchmark::DoNotOptimize(s);
    }
}

// --- find: a substring at the end of 64 KiB -----------------------------------------
template <class S>
void Find(benchmark::State& state)
{
    const S hay = Make<S>(Haystack());
    for (auto _ : state) {
        long long at;
        if constexpr (std::is_same_v<S, CKW_ByteString>)
            at = hay.Find(CKW_ByteStringC(kNeedle.data(), static_cast<int>(kNeedle.size())));
        else if constexpr (std::is_same_v<S, std::string>)
            at = static_cast<long long>(hay.find(kNeedle));
        else
            at = hay.indexOf(QByteArray::fromRawData(kNeedle.data(), static_cast<int>(kNeedle.size())));
        benchmark::DoNotOptimize(at);
    }
}

// --- replace: every "value" in 22 KB by "other-value" ------------------------------
void ReplaceStd(std::string& s, const std::string& from, const std::string& to)
{
    std::string out;
    out.reserve(s.size() + s.size() / 2);
    size_t pos = 0;
    for (size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(s, pos, hit - pos);
        out += to;
    }
    out.append(s, pos, std::string::npos);
    s.swap(out);
}

template <class S>
void Replace(benchmark::State& state)
{
    const S original = Make<S>(ReplaceText());
    for (auto _ : state) {
        S s = original;
        if constexpr (std::is_same_v<S, CKW_ByteString>)
            s.Replace("value", "other-value");
        else if constexpr (std::is_same_v<S, std::string>)
            ReplaceStd(s, "value", "other-value");
        else
            s.replace("value", "other-value");
        benchmark::DoNotOptimize(s);
    }
}

// --- pool against malloc: 256 blocks of 16..256 bytes, allocated then freed ----------
void PoolAlloc(benchmark::State& state)
{
    static KW_PyObjectState pool;
    static bool ready = (_PyObject_Init(&pool), true);
    (void)ready;
    void* blocks[256];
    for (auto _ : state) {
        for (int i = 0; i < 256; ++i)
            blocks[i] = _PyObject_Malloc(&pool, 16 + (i % 16) * 16);
        for (int i = 0; i < 256; ++i)
            _PyObject_Free(&pool, blocks[i]);
        benchmark::DoNotOptimize(blocks);
    }
}

void MallocAlloc(benchmark::State& state)
{
    void* blocks[256];
    for (auto _ : state) {
        for (int i = 0; i < 256; ++i)
            blocks[i] = std::malloc(16 + (i % 16) * 16);
        for (int i = 0; i < 256; ++i)
            std::free(blocks[i]);
        benchmark::DoNotOptimize(blocks);
    }
}

// The pool through its manager record, as the library uses it.
void PoolManagerAlloc(benchmark::State& state)
{
    CKW_MemoryMgr* mgr = KWMEM_CreatePyMgr();
    void* blocks[256];
    for (auto _ : state) {
        for (int i = 0; i < 256; ++i)
            blocks[i] = KWMEM_Alloc(mgr, 16 + (i % 16) * 16, 0);
        for (int i = 0; i < 256; ++i)
            KWMEM_Free(mgr, blocks[i], 0);
        benchmark::DoNotOptimize(blocks);
    }
}

BENCHMARK_TEMPLATE(Create, CKW_ByteString)->Name("create_24/kw")->Arg(24);
BENCHMARK_TEMPLATE(Create, std::string)->Name("create_24/std")->Arg(24);
BENCHMARK_TEMPLATE(Create, QByteArray)->Name("create_24/qt")->Arg(24);
BENCHMARK_TEMPLATE(Create, CKW_ByteString)->Name("create_1k/kw")->Arg(1024);
BENCHMARK_TEMPLATE(Create, std::string)->Name("create_1k/std")->Arg(1024);
BENCHMARK_TEMPLATE(Create, QByteArray)->Name("create_1k/qt")->Arg(1024);
BENCHMARK_TEMPLATE(Copy, CKW_ByteString)->Name("copy_4k/kw");
BENCHMARK_TEMPLATE(Copy, std::string)->Name("copy_4k/std");
BENCHMARK_TEMPLATE(Copy, QByteArray)->Name("copy_4k/qt");
BENCHMARK_TEMPLATE(Append, CKW_ByteString)->Name("append_256x16/kw");
BENCHMARK_TEMPLATE(Append, std::string)->Name("append_256x16/std");
BENCHMARK_TEMPLATE(Append, QByteArray)->Name("append_256x16/qt");
BENCHMARK_TEMPLATE(Find, CKW_ByteString)->Name("find_64k/kw");
BENCHMARK_TEMPLATE(Find, std::string)->Name("find_64k/std");
BENCHMARK_TEMPLATE(Find, QByteArray)->Name("find_64k/qt");
BENCHMARK_TEMPLATE(Replace, CKW_ByteString)->Name("replace_22k/kw");
BENCHMARK_TEMPLATE(Replace, std::string)->Name("replace_22k/std");
BENCHMARK_TEMPLATE(Replace, QByteArray)->Name("replace_22k/qt");
BENCHMARK(PoolAlloc)->Name("alloc_256/kw");
BENCHMARK(PoolManagerAlloc)->Name("alloc_256/kwmgr");
BENCHMARK(MallocAlloc)->Name("alloc_256/malloc");

// Collects each run's time per operation while printing the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

// The pool manager as the library uses it (the manager record, the pool
// behind it) against the C library, per pattern and thread count.
CKW_MemoryMgr* g_PoolMgr = nullptr;
void* PoolMgrAlloc(size_t size) { return KWMEM_Alloc(g_PoolMgr, size, 0); }
void PoolMgrFree(void* p) { KWMEM_Free(g_PoolMgr, p, 0); }

bool PoolManagerAgainstMalloc()
{
    const double kGoal = 1.5;
    const int kRounds = 15;
    g_PoolMgr = KWMEM_CreatePyMgr();
    const Allocator pool{PoolMgrAlloc, PoolMgrFree};
    const Allocator libc{std::malloc, std::free};
    std::printf("\npool manager against malloc: CPU time per allocate-and-free, median of %d interleaved rounds\n",
                kRounds);
    bool met = true;
    for (int threads : {1, 4}) {
        WorkerThreads workers(threads);
        struct Row {
            const char* name;
            long size;
            AllocationPattern pattern;
        } rows[] = {
            {"batch_256", 256, BatchPattern(threads, 400)},
            {"churn_4096", 4096, ChurnPattern(threads, 4096, 200000)},
            {"churn_20000", 20000, ChurnPattern(threads, 20000, 200000)},
        };
        for (const Row& row : rows) {
            const RoundsResult r = RunInterleavedRounds(workers, row.pattern, pool, libc, kRounds);
            const std::string name = std::string("pool/") + row.name + "/" + std::to_string(threads) + "t";
            const std::string what = std::string(row.name) + ", " + std::to_string(threads)
                                     + (threads == 1 ? " thread" : " threads") + ", per million operations";
            // Nanoseconds per operation are milliseconds per million.
            ReportAgainstPeer(what.c_str(), name.c_str(), row.size, r.oursNs, r.peerNs, kGoal);
            met = met && r.oursNs <= kGoal * r.peerNs;
        }
    }
    std::printf("goal (pool manager at most %.1fx malloc on every row): %s\n", kGoal, GoalWord(met));
    return met;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // operation -> ours / best peer
    std::map<std::string, std::map<std::string, double>> byOp;
    for (const auto& [name, t] : reporter.times) {
        // "operation/implementation[/argument]"
        size_t slash = name.find('/');
        if (slash == std::string::npos)
            continue;
        size_t end = name.find('/', slash + 1);
        byOp[name.substr(0, slash)][name.substr(slash + 1, end == std::string::npos ? end : end - slash - 1)] = t;
    }
    std::printf("\n%-16s %12s %12s %8s\n", "operation", "ours", "best peer", "ratio");
    bool allWithinGoal = true;
    for (const auto& [op, impls] : byOp) {
        auto ours = impls.find("kw");
        if (ours == impls.end())
            continue;
        double best = 0;
        std::string bestName;
        for (const auto& [impl, t] : impls) {
            if (impl.rfind("kw", 0) == 0)
                continue;
            if (bestName.empty() || t < best) {
                best = t;
                bestName = impl;
            }
        }
        if (bestName.empty())
            continue;
        const double ratio = ours->second / best;
        allWithinGoal = allWithinGoal && ratio <= 1.5;
        std::printf("%-16s %12.1f %9.1f %-3s %7.2fx%s\n", op.c_str(), ours->second, best, bestName.c_str(), ratio,
                    ratio <= 1.5 ? "" : "  (over 1.5)");
        auto mgr = impls.find("kwmgr");
        if (mgr != impls.end())
            std::printf("%-16s %12.1f %9.1f %-3s %7.2fx (through the pool manager)\n", op.c_str(), mgr->second, best,
                        bestName.c_str(), mgr->second / best);
    }
    std::printf("goal (no operation over 1.5x the better peer): %s\n", allWithinGoal ? "met" : "not met");
    benchmark::Shutdown();
    return PoolManagerAgainstMalloc() ? 0 : 1;
}
