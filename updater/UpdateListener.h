#pragma once
// The running probe: while the agent runs, every TCP connection to port 8999
// of the local host is answered with "UpdaterRuning", so that other programs
// can tell that an agent is running.
#include <QObject>

class QTcpServer;
class QTcpSocket;

class UpdateListener : public QObject
{
    Q_OBJECT
public:
    explicit UpdateListener(QObject* parent = nullptr);
    ~UpdateListener() override;

    static const quint16 kPort = 8999;

    // Listens on 127.0.0.1:8999. When the port is taken the agent simply runs
    // without the probe; the result only tells whether this one got it.
    bool startListener();

public slots:
    void newLocalConnection();

private:
    QTcpServer* m_pServer;
    QTcpSocket* m_pClient = nullptr;
};
