#include "FakeReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutexLocker>
#include <memory>

FakeReader::FakeReader(const QString& serverName, const QByteArray& answer)
    : m_name(serverName), m_answer(answer)
{
    start();
    m_started.acquire();
}

FakeReader::~FakeReader()
{
    quit();
    wait();
}

void FakeReader::run()
{
    QLocalServer server;
    QLocalServer::removeServer(m_name);
    m_listening = server.listen(m_name);
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&]() {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            auto index = std::make_shared<int>(-1);
            auto onData = [this, socket, index]() {
                const QByteArray data = socket->readAll();
                if (data.isEmpty())
                    return;
                const bool first = *index < 0;
                appendData(*index, data);
                if (first) {
                    socket->write(m_answer);
                    socket->flush();
                }
            };
            QObject::connect(socket, &QLocalSocket::readyRead, socket, onData);
            QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket, onData]() {
                onData();
                socket->deleteLater();
            });
            onData();   // bytes may already be there
        }
    });
    m_started.release();
    exec();
    server.close();
}

void FakeReader::appendData(int& index, const QByteArray& data)
{
    QMutexLocker lock(&m_mutex);
    if (index < 0) {
        index = m_messages.size();
        m_messages.append(QByteArray());
    }
    m_messages[index].append(data);
}

QStringList FakeReader::messages() const
{
    QMutexLocker lock(&m_mutex);
    QStringList result;
    for (const QByteArray& message : m_messages)
        result << QString::fromUtf8(message);
    return result;
}

bool FakeReader::waitForMessages(int count, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_messages.size() >= count)
                return true;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    QMutexLocker lock(&m_mutex);
    return m_messages.size() >= count;
}
