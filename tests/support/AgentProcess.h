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
    // Largest peak resident size (KiB) among the ended children of this
    // process so far: an upper bound of this child's own peak.
    qint64 childrenPeakRssKb = 0;
};

// A QProcess whose child runs under an address-space limit (0: none), set
// between fork and exec.
class LimitedProcess : public QProcess
{
public:
    qint64 addressSpaceLimit = 0;

protected:
    void setupChildProcess() override;
};

class AgentProcess
{
public:
    // The executable the tests run (UPDATER_APP_PATH).
    static QString executable();

    // Runs the agent with args and waits up to timeoutMs (then kills it).
    static AgentResult run(const QStringList& args, int timeoutMs = 30000,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    // Runs `program` (the agent when empty) with its address space limited to
    // `addressSpaceBytes`, so a run that would take more memory fails instead.
    // A sanitizer build reserves terabytes of address space for itself: there
    // the limit is not applied (see addressSpaceLimitApplies()) and callers
    // judge memory by childrenPeakRssKb instead.
    static AgentResult runLimited(const QString& program, const QStringList& args, qint64 addressSpaceBytes,
                                  int timeoutMs = 30000);
    static bool addressSpaceLimitApplies();

    // For a run that must stay alive while the test acts: start, then finish.
    explicit AgentProcess(const QStringList& args,
                          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                          const QString& program = QString(), qint64 addressSpaceBytes = 0);
    ~AgentProcess();
    bool waitForStarted(int timeoutMs = 10000);
    AgentResult finish(int timeoutMs = 30000);
    QProcess& process() { return m_process; }

private:
    LimitedProcess m_process;
    qint64 m_startMs = 0;
};
