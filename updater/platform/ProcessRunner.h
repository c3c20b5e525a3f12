#pragma once
// The one road by which the agent runs shell tools (who, su, ps). Tests
// replace the runner with a fake; the real one never waits longer than the
// (scaled) time-out and gives the child no controlling terminal, so a tool
// that wants a password fails instead of prompting.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace Platform {

struct ProcessResult
{
    bool started = false;    // the program could be started
    bool finished = false;   // it ended within the time-out (else it was killed)
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};

// Runs program with args, stdin closed, waiting up to timeoutMs (passed
// through scaledWait) for it to end.
ProcessResult runProcess(const QString& program, const QStringList& args, int timeoutMs);

using ProcessRunnerFn =
    std::function<ProcessResult(const QString& program, const QStringList& args, int timeoutMs)>;

// Installs a replacement for runProcess; an empty function restores the real one.
void setProcessRunner(ProcessRunnerFn runner);

// The real runner, also reachable while a replacement is installed.
ProcessResult runProcessDirect(const QString& program, const QStringList& args, int timeoutMs);

} // namespace Platform
