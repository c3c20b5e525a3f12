#include "AgentProcess.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <sys/resource.h>

void LimitedProcess::setupChildProcess()
{
    // Between fork and exec: only async-signal-safe calls.
    if (addressSpaceLimit > 0) {
        struct rlimit limit;
        limit.rlim_cur = rlim_t(addressSpaceLimit);
        limit.rlim_max = rlim_t(addressSpaceLimit);
        setrlimit(RLIMIT_AS, &limit);
    }
}

bool AgentProcess::addressSpaceLimitApplies()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

AgentResult AgentProcess::runLimited(const QString& program, const QStringList& args, qint64 addressSpaceBytes,
                                     int timeoutMs)
{
    AgentProcess agent(args, QProcessEnvironment::systemEnvironment(), program,
                       addressSpaceLimitApplies() ? addressSpaceBytes : 0);
    return agent.finish(timeoutMs);
}

QString AgentProcess::executable()
{
    return QStringLiteral(UPDATER_APP_PATH);
}

AgentResult AgentProcess::run(const QStringList& args, int timeoutMs, const QProcessEnvironment& environment)
{
    AgentProcess agent(args, environment);
    return agent.finish(timeoutMs);
}

AgentProcess::AgentProcess(const QStringList& args, const QProcessEnvironment& environment, const QString& program,
                           qint64 addressSpaceBytes)
{
    m_process.addressSpaceLimit = addressSpaceBytes;
    m_process.setProcessEnvironment(environment);
    m_process.setProgram(program.isEmpty() ? executable() : program);
    m_process.setArguments(args);
    m_startMs = QDateTime::currentMSecsSinceEpoch();
    m_process.start();
}

AgentProcess::~AgentProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool AgentProcess::waitForStarted(int timeoutMs)
{
    return m_process.state() == QProcess::Running || m_process.waitForStarted(timeoutMs);
}

AgentResult AgentProcess::finish(int timeoutMs)
{
    AgentResult result;
    result.started = waitForStarted();
    if (result.started && m_process.state() != QProcess::NotRunning) {
        // Wait in an event loop, so servers of this process keep answering the agent.
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         &loop, &QEventLoop::quit);
        timeout.start(timeoutMs);
        loop.exec();
    }
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    } else if (result.started) {
        result.finished = true;
        result.exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    result.elapsedMs = QDateTime::currentMSecsSinceEpoch() - m_startMs;
    result.standardOutput = m_process.readAllStandardOutput();
    result.standardError = m_process.readAllStandardError();
    struct rusage usage;
    if (getrusage(RUSAGE_CHILDREN, &usage) == 0)
        result.childrenPeakRssKb = usage.ru_maxrss;
    return result;
}
