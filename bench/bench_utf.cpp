// UTF-8 <-> wide text throughput of the core library against QString's own
// conversions, on 64 MiB of mixed text (ASCII words, accented Latin, CJK and
// characters beyond the BMP). Prints the time ratio core / Qt for each
// direction; the goal is a ratio of at most 1.5.
#include "CKW_WideString.h"
#include "KW_UTF.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

const size_t kTextBytes = 64u << 20;

const std::string& MixedUtf8()
{
    static const std::string text = [] {
        std::mt19937 rng(6);
        std::uniform_int_distribution<int> pick(0, 99);
        std::string s;
        s.reserve(kTextBytes + 8);
        wchar_t ch;
        char bytes[8];
        while (s.size() < kTextBytes) {
            int p = pick(rng);
            if (p < 70)
                ch = static_cast<wchar_t>(p % 10 == 0 ? ' ' : 'a' + p % 26);
            else if (p < 85)
                ch = static_cast<wchar_t>(0xC0 + p);                  // accented Latin, 2 bytes
            else if (p < 97)
                ch = static_cast<wchar_t>(0x4E00 + p * 37 + pick(rng)); // CJK, 3 bytes
            else
                ch = static_cast<wchar_t>(0x1F600 + p);               // beyond the BMP, 4 bytes
            s.append(bytes, KW_UTF8PutChar(ch, bytes));
        }
        return s;
    }();
    return text;
}

void SetBytes(benchmark::State& state) { state.SetBytesProcessed(int64_t(state.iterations()) * MixedUtf8().size()); }

void BM_Decode_Core(benchmark::State& state)
{
    const std::string& text = MixedUtf8();
    CKW_WideString::FromUTF8(text.data(), static_cast<int>(text.size()));   // warm-up, untimed
    for (auto _ : state) {
        CKW_WideString wide = CKW_WideString::FromUTF8(text.data(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(wide.c_str());
    }
    SetBytes(state);
}

void BM_Decode_Qt(benchmark::State& state)
{
    const std::string& text = MixedUtf8();
    QString::fromUtf8(text.data(), static_cast<int>(text.size()));   // warm-up, untimed
    for (auto _ : state) {
        QString wide = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(wide.constData());
    }
    SetBytes(state);
}

void BM_Encode_Core(benchmark::State& state)
{
    const std::string& text = MixedUtf8();
    CKW_WideString wide = CKW_WideString::FromUTF8(text.data(), static_cast<int>(text.size()));
    wide.UTF8Encode();   // warm-up, untimed
    for (auto _ : state) {
        CKW_ByteString utf8 = wide.UTF8Encode();
        benchmark::DoNotOptimize(utf8.c_str());
    }
    SetBytes(state);
}

void BM_Encode_Qt(benchmark::State& state)
{
    const std::string& text = MixedUtf8();
    QString wide = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    benchmark::DoNotOptimize(wide.toUtf8());   // warm-up, untimed
    for (auto _ : state) {
        QByteArray utf8 = wide.toUtf8();
        benchmark::DoNotOptimize(utf8.constData());
    }
    SetBytes(state);
}

BENCHMARK(BM_Decode_Core)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Decode_Qt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Encode_Core)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Encode_Qt)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Console output as usual, plus the real time per iteration of each run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    // This sandbox charges tens of microseconds per first touch of a page, so
    // a run that maps fresh memory for every result measures the kernel, not
    // the conversion (and a 4-byte wide string touches twice the pages of
    // UTF-16). By default the heap keeps and reuses freed blocks for both
    // sides; --fresh_pages restores the usual behaviour.
    bool freshPages = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--fresh_pages") == 0) freshPages = true;
    if (!freshPages) {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_TOP_PAD, 512 << 20);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* label, const char* core, const char* qt) {
        auto c = reporter.times.find(core), q = reporter.times.find(qt);
        if (c == reporter.times.end() || q == reporter.times.end() || q->second <= 0) return;
        std::printf("%s: core %.1f ms, Qt %.1f ms, ratio core/Qt = %.2f (goal <= 1.5)\n", label, c->second,
                    q->second, c->second / q->second);
    };
    ratio("UTF-8 -> wide", "BM_Decode_Core", "BM_Decode_Qt");
    ratio("wide -> UTF-8", "BM_Encode_Core", "BM_Encode_Qt");
    return 0;
}
