#include "ProcessRunner.h"
#include "Platform.h"

#include <QProcess>
#include <unistd.h>

namespace {

Platform::ProcessRunnerFn& replacement()
{
    static Platform::ProcessRunnerFn runner;
    return runner;
}

// A child in a session of its own has no controlling terminal: su and the
// like then fail at once instead of waiting for a password on the tty.
class DetachedTtyProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
#ifndef Q_OS_MACOS
        ::setsid();
#endif
    }
};

} // namespace

namespace Platform {

ProcessResult runProcessDirect(const QString& program, const QStringList& args, int timeoutMs)
{
    ProcessResult result;
    DetachedTtyProcess process;
    process.start(program, args, QIODevice::ReadWrite);
    if (!process.waitForStarted(scaledWait(timeoutMs)))
        return result;
    result.started = true;
    process.closeWriteChannel();
    if (process.waitForFinished(scaledWait(timeoutMs))) {
        result.finished = true;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    } else {
        process.kill();
        process.waitForFinished(scaledWait(1000));
    }
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    return result;
}

ProcessResult runProcess(const QString& program, const QStringList& args, int timeoutMs)
{
    if (replacement())
        return replacement()(program, args, timeoutMs);
    return runProcessDirect(program, args, timeoutMs);
}

void setProcessRunner(ProcessRunnerFn runner)
{
    replacement() = std::move(runner);
}

} // namespace Platform
