#pragma once
// Runs the real UpdaterApp executable as a subprocess in this process's
// current environment (so inside an IsolatedEnv it sees the same isolated
// folders), while this process's event loop keeps running.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct AgentResult
{
    bool started = false;
    bool finished = false;   // ended by itself within the time-out
    int exitCode = -1;       // -1 after a crash or a kill
    QByteArray standardOutput;
    QByteArray standardError;
    qint64 elapsedMs = 0;
};

class AgentProcess
{
public:
    // The executable the tests run (UPDATER_APP_PATH).
    static QString executable();

    // Runs the agent with args and waits up to timeoutMs (then kills it).
    static AgentResult run(const QStringList& args, int timeoutMs = 30000,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    // For a run that must stay alive while the test acts: start, then finish.
    explicit AgentProcess(const QStringList& args,
                          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~AgentProcess();
    bool waitForStarted(int timeoutMs = 10000);
    AgentResult finish(int timeoutMs = 30000);
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    qint64 m_startMs = 0;
};
