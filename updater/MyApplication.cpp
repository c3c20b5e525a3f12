#include "MyApplication.h"
#include "Platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStyle>
#include <QStyleOptionButton>
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
    // On the target system the agent's "QPushButton{height: 32pt}" gives
    // push buttons 32 pixels tall, and the fixed-size dialogs are laid out
    // for that. Here a style sheet's height is that of the button's contents
    // ("pt" is not read at all), and the style draws its frame around them, so
    // the contents get 32 pixels less that frame.
    const int buttonHeight = 32;
    QStyleOptionButton option;
    const int frame = QApplication::style()
                          ->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), nullptr)
                          .height();
    return QStringLiteral("QPushButton{height: %1px}").arg(qMax(0, buttonHeight - frame));
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
