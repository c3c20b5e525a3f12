#include "ReaderReport.h"
#include "NoFollowFile.h"
#include "Platform.h"

#include <QDebug>
#include <QFile>
#include <QLocalSocket>

#include <fcntl.h>
#include <unistd.h>

namespace ReaderReport {

namespace {

const int kWaitMs = 30000;

QString markerFileName(int state)
{
    switch (state) {
    case UPDATE_CHECK_ERRORNETWORK: return QStringLiteral("VeltoDataerrornetwork.txt");
    case UPDATE_CHECK_FINISHED: return QStringLiteral("VeltoDataupdatefinished.txt");
    case UPDATE_CHECK_CLOSE: return QStringLiteral("VeltoDataclose.txt");
    case UPDATE_CHECK_AUTOCLOSE: return QStringLiteral("VeltoDataautoclose.txt");
    default: return QString();
    }
}

} // namespace

QString serverName()
{
    return QStringLiteral("updater_check_state");
}

QString stateText(int state)
{
    switch (state) {
    case UPDATE_CHECK_ERRORNETWORK: return QStringLiteral("errornetwork");
    case UPDATE_CHECK_FINISHED: return QStringLiteral("update finished");
    case UPDATE_CHECK_CLOSE: return QStringLiteral("close");
    case UPDATE_CHECK_AUTOCLOSE: return QStringLiteral("autoclose");
    default: return QString();
    }
}

QString markerFilePath(int state)
{
    const QString name = markerFileName(state);
    if (name.isEmpty())
        return QString();
    return Platform::systemPath(
        QStringLiteral("/usr/local/share/velto/%1/ACUpdate/").arg(QStringLiteral("Velto PDF Reader"))
        + name);
}

bool writeMarker(int state)
{
    const QString path = markerFilePath(state);
    if (path.isEmpty())
        return false;
    // The folder is shared with other users' processes: a link, symbolic or
    // hard, planted in place of the marker must not make us truncate the file
    // it leads to. The marker is made anew; its existence is the message.
    const int fd = Platform::createFreshAt(AT_FDCWD, QFile::encodeName(path).constData(), 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool sendText(QPointer<QLocalSocket>& socket, QObject* parent, const QString& text)
{
    if (!socket)
        socket = new QLocalSocket(parent);
    socket->connectToServer(serverName(), QIODevice::ReadWrite);
    if (!socket->waitForConnected(Platform::scaledWait(kWaitMs))) {
        qDebug() << "[debug] ==== Cannot connect to server : " + socket->errorString();
        socket->abort();
        return false;
    }
    socket->write(text.toUtf8());
    socket->flush();
    socket->waitForBytesWritten(Platform::scaledWait(kWaitMs));
    const bool answered = socket->bytesAvailable() > 0
        || socket->waitForReadyRead(Platform::scaledWait(kWaitMs));
    socket->close();
    // The next report reuses this object; it must start from a closed socket.
    if (socket->state() != QLocalSocket::UnconnectedState)
        socket->abort();
    return answered;
}

} // namespace ReaderReport
