#include "AgentProcess.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

QString AgentProcess::executable()
{
    return QStringLiteral(UPDATER_APP_PATH);
}

AgentResult AgentProcess::run(const QStringList& args, int timeoutMs, const QProcessEnvironment& environment)
{
    AgentProcess agent(args, environment);
    return agent.finish(timeoutMs);
}

AgentProcess::AgentProcess(const QStringList& args, const QProcessEnvironment& environment)
{
    m_process.setProcessEnvironment(environment);
    m_process.setProgram(executable());
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
    return result;
}
