// The console report of Google Benchmark, keeping each benchmark's real
// time per iteration so that main can print how two runs compare.
#pragma once

#include "PeerReport.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // A name given a fixed iteration count carries an "/iterations:N"
        // suffix: kept by what precedes it, the name it was registered with.
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            seconds_[name.substr(0, name.find("/iterations"))] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The time of the benchmark registered as name, in its display unit;
    // 0 when it did not run.
    double Time(const std::string& name) const
    {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> seconds_;
};
