#pragma once
// Asks a download address whether the file behind it exists: one GET, and a
// short body (announced length below 150 bytes, or no length at all) that
// carries the service's not-found code "\"code\":1000003" marks the file as
// missing. Anything else, including a network error, counts as present. The
// body is asked for unencoded and read no further than a short answer goes.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;

class QHttpCheckExist : public QObject
{
    Q_OBJECT
public:
    QHttpCheckExist(QObject* parent, QString url);
    ~QHttpCheckExist() override;

    // Sends the request and returns when the answer is known, the reply has
    // ended or the wait (90 s, scaled by UPDATER_TIME_SCALE) is over. Always true.
    bool checkExit();

    // Set when a short body carried the not-found code; never cleared.
    bool m_bNotFound = false;

public slots:
    void readyRead();

private:
    QNetworkAccessManager* m_pManager = nullptr;
    QNetworkReply* m_pReply = nullptr;
    QUrl m_url;
    QByteArray m_carry;            // end of the previous chunk, for a code split across chunks
    qint64 m_nRead = 0;            // body bytes read so far
    QEventLoop* m_pLoop = nullptr;
};
