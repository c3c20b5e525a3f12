// Runs each benchmark case once in a fresh process, the way a real fill
// happens once in a cold heap: a fill repeated in one process reuses the
// memory the one before freed and looks far cheaper than it is.
//
// A benchmark executable names its cases and calls RunCaseIfAsked first in
// main: started with "--case <name>", it runs that case alone and prints
//   CASE cpu_ms=<t> peak_kib=<m>
// (the process's CPU time for the case, and how far the case raised the
// process's peak resident memory above what it held before the case; a
// case may start its Meter again once its input is prepared).
// Without the option, ColdRun starts itself once per run of a case and
// keeps the median of the runs; ColdRunsInterleaved runs several cases in
// rounds and keeps each one's best time.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace coldrun {

struct Result {
    double cpuMs = 0;
    double peakKib = 0;
    bool ok = false;
};

inline double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

inline long ResidentKib()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline long PeakKib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Shows window and processes events until widget (the view's viewport) has
// been painted once: the first paint a user waits for.
inline void ShowAndPaint(QWidget* window, QWidget* widget)
{
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                seen = true;
            return false;
        }
    } paint;
    widget->installEventFilter(&paint);
    window->show();
    QElapsedTimer limit;
    limit.start();
    while (!paint.seen && limit.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    widget->removeEventFilter(&paint);
}

// Where a case's measurement starts: a case that prepares its input first
// calls Start once the input is ready; else the whole case counts.
class Meter {
public:
    void Start()
    {
        residentBefore_ = ResidentKib();
        cpuStart_ = CpuMs();
    }
    double CpuSinceStart() const { return CpuMs() - cpuStart_; }
    long PeakAboveStart() const { return std::max(0L, PeakKib() - residentBefore_); }

private:
    long residentBefore_ = 0;
    double cpuStart_ = 0;
};

using Cases = std::map<std::string, std::function<void(Meter&)>>;

// With "--case <name>" among the arguments: runs that case, prints its CASE
// line and answers true (main then returns); else false.
inline bool RunCaseIfAsked(int argc, char** argv, const Cases& cases)
{
    if (argc < 3 || std::string(argv[1]) != "--case")
        return false;
    const auto found = cases.find(argv[2]);
    if (found == cases.end()) {
        std::fprintf(stderr, "no case %s\n", argv[2]);
        std::exit(2);
    }
    Meter meter;
    meter.Start();
    found->second(meter);
    std::printf("CASE cpu_ms=%.3f peak_kib=%ld\n", meter.CpuSinceStart(), meter.PeakAboveStart());
    std::fflush(stdout);
    return true;
}

// One fresh process of the case (this executable again): its CPU time and
// peak, false when it failed.
inline bool RunOnce(const std::string& name, double& cpuMs, double& peakKib)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {"--case", QString::fromStdString(name)});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return false;
    bool cpuSeen = false;
    bool peakSeen = false;
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const QString& line : out.split('\n')) {
        if (!line.startsWith("CASE "))
            continue;
        for (const QString& field : line.mid(5).split(' ')) {
            const QStringList kv = field.split('=');
            if (kv.size() == 2 && kv[0] == "cpu_ms") {
                cpuMs = kv[1].toDouble();
                cpuSeen = true;
            } else if (kv.size() == 2 && kv[0] == "peak_kib") {
                peakKib = kv[1].toDouble();
                peakSeen = true;
            }
        }
    }
    return cpuSeen && peakSeen;
}

// The median of runs fresh processes of the case.
inline Result ColdRun(const std::string& name, int runs = 3)
{
    std::vector<double> cpu;
    std::vector<double> peak;
    for (int i = 0; i < runs; ++i) {
        double cpuMs = 0;
        double peakKib = 0;
        if (!RunOnce(name, cpuMs, peakKib))
            return {};
        cpu.push_back(cpuMs);
        peak.push_back(peakKib);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(peak.begin(), peak.end());
    return {cpu[cpu.size() / 2], peak[peak.size() / 2], true};
}

// Cases whose ratios decide goals, run in rounds of one fresh process each,
// so that a slow stretch of a shared machine (a process or several in a row
// running 1.4x slower in CPU time, seen here) falls on every case alike; each
// case's time is its best round (the run the machine did not slow down) and
// its peak the median.
inline std::map<std::string, Result> ColdRunsInterleaved(const std::vector<std::string>& names, int rounds)
{
    std::map<std::string, std::vector<double>> cpu;
    std::map<std::string, std::vector<double>> peak;
    for (int round = 0; round < rounds; ++round) {
        for (const std::string& name : names) {
            double cpuMs = 0;
            double peakKib = 0;
            if (!RunOnce(name, cpuMs, peakKib))
                return {};
            cpu[name].push_back(cpuMs);
            peak[name].push_back(peakKib);
        }
    }
    std::map<std::string, Result> results;
    for (const std::string& name : names) {
        std::vector<double>& peaks = peak[name];
        std::sort(peaks.begin(), peaks.end());
        const std::vector<double>& times = cpu[name];
        results[name] = {*std::min_element(times.begin(), times.end()), peaks[peaks.size() / 2], true};
    }
    return results;
}

// Prints a comparison of two cold results: the time line (goal on the
// ratio of CPU times), with both peaks beside it. A goal of 0 prints the
// line without one (a floor shown for reference).
inline void Report(const char* what, const char* name, long size, const Result& mine, const Result& peer,
                   double goal)
{
    if (!mine.ok || !peer.ok || peer.cpuMs <= 0) {
        std::printf("%s: a run failed\n", what);
        return;
    }
    const double ratio = mine.cpuMs / peer.cpuMs;
    std::printf("%s: %.1f ms (%.0f KiB), peer %.1f ms (%.0f KiB), %.2fx", what, mine.cpuMs, mine.peakKib, peer.cpuMs,
                peer.peakKib, ratio);
    if (goal > 0)
        std::printf(" (goal <= %.1f: %s)", goal, ratio <= goal ? "met" : "NOT met");
    std::printf("\nREPORT name=%s size=%ld time_ms=%.3f peer_ms=%.3f ratio=%.3f goal=", name, size, mine.cpuMs,
                peer.cpuMs, ratio);
    if (goal > 0)
        std::printf("%.1f", goal);
    else
        std::printf("-");
    std::printf(" mem_kib=%.0f peer_mem_kib=%.0f\n", mine.peakKib, peer.peakKib);
}

// Prints the peaks' ratio against goal (0: none, shown for reference), in a
// line of its own.
inline void ReportMemory(const char* what, const char* name, long size, double mineKib, double peerKib, double goal)
{
    if (peerKib <= 0)
        return;
    const double ratio = mineKib / peerKib;
    std::printf("%s: %.0f KiB, peer %.0f KiB, %.2fx", what, mineKib, peerKib, ratio);
    if (goal > 0)
        std::printf(" (goal <= %.1f: %s)", goal, ratio <= goal ? "met" : "NOT met");
    std::printf("\nREPORT name=%s size=%ld time_ms=- peer_ms=- ratio=%.3f goal=", name, size, ratio);
    if (goal > 0)
        std::printf("%.1f", goal);
    else
        std::printf("-");
    std::printf(" mem_kib=%.0f peer_mem_kib=%.0f\n", mineKib, peerKib);
}

} // namespace coldrun
