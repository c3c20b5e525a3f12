#include "UpdateListener.h"
#include "Platform.h"

#include <QDebug>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

UpdateListener::UpdateListener(QObject* parent)
    : QObject(parent)
    , m_pServer(new QTcpServer(this))
{
    connect(m_pServer, &QTcpServer::newConnection, this, &UpdateListener::newLocalConnection);
}

UpdateListener::~UpdateListener() = default;

bool UpdateListener::startListener()
{
    return m_pServer->listen(QHostAddress::LocalHost, kPort);
}

void UpdateListener::newLocalConnection()
{
    qDebug() << "UpdateListener newLocalConnection()";
    m_pClient = m_pServer->nextPendingConnection();
    if (!m_pClient)
        return;
    m_pClient->write("UpdaterRuning", 13);
    if (m_pClient->waitForBytesWritten(Platform::scaledWait(60000)))
        m_pClient->abort();
    delete m_pClient;
    m_pClient = nullptr;
}
