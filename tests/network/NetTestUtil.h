#pragma once
// Small helpers of the network tests. The loopback server runs on the test's
// own thread, so every wait spins the event loop instead of blocking it.
#include "QHttpDownLoadS.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStringList>
#include <functional>

namespace nettest {

inline bool spinUntil(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

inline void spinFor(int ms)
{
    spinUntil([] { return false; }, ms);
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

// Bytes that differ at every position, so a shifted or doubled copy shows.
inline QByteArray patternBody(int size)
{
    QByteArray b(size, '\0');
    quint32 x = 2463534242u;
    for (int i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b[i] = char(x & 0xff);
    }
    return b;
}

// Everything a downloader reports, in order: "network", "finish", "error".
struct Recorder
{
    QStringList events;
    QStringList paths;
    qint64 lastReceived = -1;
    qint64 lastTotal = -1;

    explicit Recorder(QHttpDownLoadS& dl)
    {
        QObject::connect(&dl, &QHttpDownLoadS::error_network, &dl, [this] { events << QStringLiteral("network"); });
        QObject::connect(&dl, &QHttpDownLoadS::oneDownLoadFinish, &dl, [this](const QString& p) {
            events << QStringLiteral("finish");
            paths << p;
        });
        QObject::connect(&dl, &QHttpDownLoadS::errorfinish, &dl, [this](const QString& p) {
            events << QStringLiteral("error");
            paths << p;
        });
        QObject::connect(&dl, &QHttpDownLoadS::signal_updateProgress, &dl, [this](qint64 r, qint64 t) {
            lastReceived = r;
            lastTotal = t;
        });
    }
    int outcomes() const
    {
        return int(events.count(QStringLiteral("finish")) + events.count(QStringLiteral("error")));
    }
    bool waitOutcome(int timeoutMs = 20000)
    {
        return spinUntil([this] { return outcomes() > 0; }, timeoutMs);
    }
};

} // namespace nettest
