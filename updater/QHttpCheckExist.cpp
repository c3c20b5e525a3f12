#include "QHttpCheckExist.h"

#include "Platform.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const QByteArray kNotFoundCode = "\"code\":1000003";
const qint64 kShortBody = 150;
const int kProbeWaitMs = 90000;
const qint64 kReadBufferSize = 64 * 1024;

} // namespace

QHttpCheckExist::QHttpCheckExist(QObject* parent, QString url)
    : QObject(parent), m_pManager(new QNetworkAccessManager(this)), m_url(url, QUrl::TolerantMode)
{
}

QHttpCheckExist::~QHttpCheckExist()
{
    delete m_pManager;   // its replies go with it
    m_pManager = nullptr;
    m_pReply = nullptr;
}

bool QHttpCheckExist::checkExit()
{
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // The answer is judged by its raw length; a compressed body would be
    // inflated without limit before we saw a byte of it.
    request.setRawHeader("Accept-Encoding", "identity");
    m_carry.clear();
    m_nRead = 0;
    m_pReply = m_pManager->get(request);
    // Unbounded, the network thread would read an endless body into memory
    // faster than this thread looks at it; the answer is in its first bytes.
    m_pReply->setReadBufferSize(kReadBufferSize);
    connect(m_pReply, SIGNAL(readyRead()), this, SLOT(readyRead()));

    QEventLoop loop;
    connect(m_pReply, SIGNAL(finished()), &loop, SLOT(quit()));
    // A server that accepts and never answers must not hold the run.
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, SIGNAL(timeout()), &loop, SLOT(quit()));
    limit.start(Platform::scaledWait(kProbeWaitMs));
    m_pLoop = &loop;
    if (!m_pReply->isFinished())
        loop.exec();
    m_pLoop = nullptr;

    // The answer is known (or the wait is over): the rest of the body is not needed.
    QNetworkReply* reply = m_pReply;
    m_pReply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
    return true;
}

void QHttpCheckExist::readyRead()
{
    if (!m_pReply)
        return;
    const qint64 length = m_pReply->rawHeader("Content-Length").trimmed().toLongLong();
    if (length >= kShortBody) {
        // A long body is never the not-found answer: the file is there.
        if (m_pLoop)
            m_pLoop->quit();
        return;
    }
    // Test what arrived together with the end of the previous chunk, so the
    // code is found even when it arrives in two pieces.
    const QByteArray chunk = m_pReply->readAll();
    m_nRead += chunk.size();
    const QByteArray data = m_carry + chunk;
    if (data.contains(kNotFoundCode)) {
        m_bNotFound = true;
        if (m_pLoop)
            m_pLoop->quit();
        return;
    }
    m_carry = data.right(kNotFoundCode.size() - 1);
    // A body without a length that has grown past the short answer's size is
    // not that answer either, however long it would go on.
    if (m_nRead >= kShortBody && m_pLoop)
        m_pLoop->quit();
}
