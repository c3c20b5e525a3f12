#include "ControllerTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutexLocker>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ThreadedFakeReader::ThreadedFakeReader(const QByteArray& answer)
    : m_answer(answer)
{
    QObject::connect(&m_thread, &QThread::started, [this] { run(); });
    m_thread.start();
    while (!m_ready)
        QThread::msleep(1);
}

ThreadedFakeReader::~ThreadedFakeReader()
{
    m_thread.quit();
    m_thread.wait();
}

void ThreadedFakeReader::run()
{
    // Lives in the reader's thread; deleted with the thread's last events.
    m_server = new QLocalServer;
    QLocalServer::removeServer(QStringLiteral("updater_check_state"));
    m_listening = m_server->listen(QStringLiteral("updater_check_state"));
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            auto* data = new QByteArray;
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, data] {
                const bool first = data->isEmpty();
                data->append(socket->readAll());
                if (first && !m_answer.isEmpty())
                    socket->write(m_answer);
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, data] {
                data->append(socket->readAll());
                {
                    QMutexLocker lock(&m_mutex);
                    m_reports.append(*data);
                }
                delete data;
                socket->deleteLater();
            });
        }
    });
    QObject::connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    QObject::connect(&m_thread, &QThread::finished, m_server, [this] { m_server->close(); });
    m_ready = true;
}

QList<QByteArray> ThreadedFakeReader::reports() const
{
    QMutexLocker lock(&m_mutex);
    return m_reports;
}

bool ThreadedFakeReader::waitForReports(int n, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (reports().size() >= n)
            return true;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return reports().size() >= n;
}

AgentRun runAgent(const QStringList& arguments, int timeoutMs)
{
    AgentRun run;
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(UPDATER_APP_PATH), arguments);
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.output = process.readAll();
    run.exitCode = run.finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                                                : -1;
    return run;
}

bool readTcpUntilClosed(quint16 port, QByteArray& received, int timeoutMs)
{
    received.clear();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    char buffer[256];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int remaining = static_cast<int>(deadline.remainingTime());
        if (remaining <= 0 || ::poll(&p, 1, remaining) <= 0)
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;   // closed (or reset)
        received.append(buffer, static_cast<int>(n));
    }
    ::close(fd);
    return true;
}
