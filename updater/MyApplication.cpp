#include "MyApplication.h"
#include "Platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScreen>
#include <QTextStream>

namespace {
const QString kProductName = QStringLiteral("Velto PDF Reader");
}

QString MyApplication::serverName()
{
    return QStringLiteral("%1 Update").arg(kProductName);
}

QString MyApplication::serverSocketPath()
{
    return QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + serverName();
}

MyApplication::MyApplication(int& argc, char** argv, bool singleInstance)
    : QApplication(argc, argv)
{
    if (!singleInstance)
        return;
    const QString name = serverName();
    QLocalSocket socket;
    socket.connectToServer(name, QIODevice::ReadWrite);
    if (socket.waitForConnected(500)) {
        QTextStream stream(&socket);
        const QStringList args = QCoreApplication::arguments();
        stream << (args.size() < 2 ? QString() : args.last());
        stream.flush();
        qDebug() << QStringLiteral("%1 Updater is already running ,quit!").arg(kProductName);
        socket.waitForBytesWritten(Platform::scaledWait(30000));
        _isRunning = true;
        return;
    }

    qDebug() << QStringLiteral("%1 Updater is not running ,start One!").arg(kProductName);
    server = new QLocalServer(this);
    connect(server, &QLocalServer::newConnection, this, &MyApplication::newLocalConnection);
    if (!server->listen(name)) {
        // A socket file left behind by an agent that did not end cleanly
        // blocks the name; nobody answered on it, so it is stale.
        const QString socketPath = serverSocketPath();
        if (server->serverError() == QAbstractSocket::AddressInUseError && QFile::exists(socketPath)) {
            QFile::remove(socketPath);
            server->listen(name);
        }
    }
}

MyApplication::~MyApplication() = default;

void MyApplication::newLocalConnection()
{
    QLocalSocket* socket = server ? server->nextPendingConnection() : nullptr;
    if (!socket)
        return;
    socket->waitForReadyRead(Platform::scaledWait(1000));
    QTextStream stream(socket);
    QString word;
    stream >> word;
    qDebug() << "The value is: " << word;
    delete socket;
}

QString MyApplication::buttonStyleSheet()
{
    // Push buttons are 32 points tall. Qt's style sheets read lengths in px,
    // em and ex only: "height: 32pt" parses as 0 and collapses every button to
    // its padding, so the 32 points are given in pixels of the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 72.0;
    return QStringLiteral("QPushButton{height: %1px}").arg(qRound(32.0 * dpi / 72.0));
}

void MyApplication::applyButtonStyle()
{
    qApp->setStyleSheet(buttonStyleSheet());
}

void MyApplication::applyFont()
{
    QFont font;
    font.setPixelSize(12);
    QApplication::setFont(font);
}
