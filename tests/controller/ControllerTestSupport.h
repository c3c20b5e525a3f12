#pragma once
// Local helpers of the controller tests (the shared test kit has no fake
// reader yet): a reader that listens on "updater_check_state" in a thread of
// its own, so that the agent's blocking report calls can be answered, an
// agent process runner and a plain TCP client.
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>
#include <atomic>

class QLocalServer;

class ThreadedFakeReader
{
public:
    // answer: bytes sent back after each report; empty = never answer.
    explicit ThreadedFakeReader(const QByteArray& answer = QByteArrayLiteral("ok"));
    ~ThreadedFakeReader();
    ThreadedFakeReader(const ThreadedFakeReader&) = delete;
    ThreadedFakeReader& operator=(const ThreadedFakeReader&) = delete;

    bool isListening() const { return m_listening; }
    // The bytes of each finished connection, in order.
    QList<QByteArray> reports() const;
    // Waits (bounded) until n connections have ended.
    bool waitForReports(int n, int timeoutMs = 10000) const;

private:
    void run();

    QByteArray m_answer;
    QThread m_thread;
    std::atomic<bool> m_listening{false};
    std::atomic<bool> m_ready{false};
    mutable QMutex m_mutex;
    QList<QByteArray> m_reports;
    QLocalServer* m_server = nullptr;
};

struct AgentRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
};

// Runs the agent with the arguments in the current (isolated) environment and
// waits up to timeoutMs for it to end; a process still running is killed.
AgentRun runAgent(const QStringList& arguments, int timeoutMs);

// Connects to 127.0.0.1:port and reads until the peer closes (bounded).
// Returns false when the connection could not be made.
bool readTcpUntilClosed(quint16 port, QByteArray& received, int timeoutMs = 10000);
