// How a benchmark's time compares with its peer's from the same run, printed
// the one way every widget-library benchmark prints it.
#pragma once

#include <cstdio>

// The word a goal line prints.
inline const char* GoalWord(bool met) { return met ? "met" : "NOT met"; }

// Prints what took timeMs against the peer's peerMs (milliseconds, both from
// this run) and their ratio against goal, the largest ratio accepted: one line
// for people, then the REPORT line bench/auilib-report.sh collects. Prints
// nothing unless both ran.
inline void ReportAgainstPeer(const char* what, const char* name, long size, double timeMs, double peerMs,
                              double goal)
{
    if (timeMs <= 0 || peerMs <= 0)
        return;
    const double ratio = timeMs / peerMs;
    std::printf("%s: %.3f ms, peer %.3f ms, %.2fx (goal <= %.1f: %s)\n", what, timeMs, peerMs, ratio, goal,
                GoalWord(ratio <= goal));
    std::printf("REPORT name=%s size=%ld time_ms=%.3f peer_ms=%.3f ratio=%.3f goal=%.1f\n", name, size, timeMs,
                peerMs, ratio, goal);
}
