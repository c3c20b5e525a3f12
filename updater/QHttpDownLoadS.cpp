#include "QHttpDownLoadS.h"

#include "CUP_Log.h"
#include "NoFollowFile.h"
#include "Platform.h"
#include "SaturatingSum.h"

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>

namespace {

const int kAnswerCheckMs = 90000;
const int kWatchdogMs = 90000;
const qint64 kReadBufferSize = 1024 * 1024;
// What the service may be off by in the size it announces for a package, and
// the most a package may take whatever it announces.
const qint64 kPackageMargin = 1024 * 1024;
const qint64 kMaxPackage = qint64(4) * 1024 * 1024 * 1024;
// An error page is read only to be dropped; a longer one is not waited for.
const qint64 kMaxDiscardedBody = 1024 * 1024;

// Only a body that arrives as it is stored can be bounded by the bytes that
// reach the file: anything else would be inflated in memory first.
bool identityEncoded(const QByteArray& contentEncoding)
{
    const QByteArray value = contentEncoding.trimmed().toLower();
    return value.isEmpty() || value == "identity";
}

// The body length a reply's head announces; 0 when it gives none.
qint64 announcedLength(const QNetworkReply& reply)
{
    bool ok = false;
    const qint64 length = reply.rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && length > 0 ? length : 0;
}

// "Content-Range: bytes S-E/T" (T may be "*", then complete = -1).
struct ContentRange
{
    qint64 start = -1;
    qint64 end = -1;
    qint64 complete = -1;
};

bool parseContentRange(const QByteArray& value, ContentRange& out)
{
    QByteArray v = value.trimmed();
    if (!v.startsWith("bytes "))
        return false;
    v = v.mid(6).trimmed();
    const int dash = v.indexOf('-');
    const int slash = v.indexOf('/');
    if (dash <= 0 || slash <= dash + 1)
        return false;
    bool okStart = false, okEnd = false, okComplete = true;
    out.start = v.left(dash).trimmed().toLongLong(&okStart);
    out.end = v.mid(dash + 1, slash - dash - 1).trimmed().toLongLong(&okEnd);
    const QByteArray complete = v.mid(slash + 1).trimmed();
    out.complete = complete == "*" ? -1 : complete.toLongLong(&okComplete);
    return okStart && okEnd && okComplete && out.start >= 0 && out.end >= out.start
        && (out.complete < 0 || out.end < out.complete);
}

} // namespace

qint64 QHttpDownLoadS::packageBound(qint64 announcedSize)
{
    // An announced size can lower the ceiling, never raise it: the reply is no
    // more trusted than a body that announces nothing.
    if (announcedSize <= 0)
        return kMaxPackage;
    return qMin(saturatingAdd(announcedSize, kPackageMargin), kMaxPackage);
}

QHttpDownLoadS::QHttpDownLoadS(QObject* parent, QProgressBar* progressBar, QLabel* label, qint64* resumeOffset)
    : QObject(parent), m_pManager(new QNetworkAccessManager(this)), m_pResumeOffset(resumeOffset)
{
    Q_UNUSED(progressBar);
    Q_UNUSED(label);
}

QHttpDownLoadS::~QHttpDownLoadS()
{
    if (m_pReply)
        disconnect(m_pReply, nullptr, this, nullptr);
    m_pReply = nullptr;
    delete m_pManager;   // its replies go with it
    m_pManager = nullptr;
    if (m_pFile) {
        m_pFile->close();
        delete m_pFile;
        m_pFile = nullptr;
    }
    releaseLockFile();
    delete m_pCheckTimer;
    m_pCheckTimer = nullptr;
    m_nWatchdog = -1;
    if (m_nTimerId > 0)
        killTimer(m_nTimerId);
    m_nTimerId = -1;
}

bool QHttpDownLoadS::setUrlAndFilePath(QUrl url, QString filePath)
{
    if (!url.isValid() || url.path(QUrl::FullyDecoded).isEmpty())
        return false;
    if (filePath.isEmpty())
        return false;
    m_url = url;
    m_strFilePath = filePath;
    // lstat, not QFile::exists: a dangling link at the target must go too.
    if (Platform::entryExists(filePath)) {
        if (m_bUseLockFile) {
            QLockFile lock(filePath + tr(".tmp"));
            if (!lock.tryLock(0))
                return false;
            lock.unlock();
        }
        Platform::removeEntry(filePath);
    }
    return true;
}

qint64 QHttpDownLoadS::offsetValue() const
{
    if (m_pResumeOffset)
        return *m_pResumeOffset;
    return m_bHasOwnOffset ? m_nOwnOffset : 0;
}

bool QHttpDownLoadS::startDownLoads(bool wait)
{
    // A start while a transfer runs replaces it; the old reply must not write
    // into the same file any more.
    if (m_pReply) {
        QNetworkReply* old = m_pReply;
        m_pReply = nullptr;
        disconnect(old, nullptr, this, nullptr);
        old->abort();
        old->deleteLater();
    }
    if (m_pFile) {
        if (m_pFile->isOpen())
            m_pFile->close();
        delete m_pFile;
        m_pFile = nullptr;
    }
    // The previous start's watchdogs would otherwise tick on against this one.
    stopWatchdogs();

    if (m_bUseLockFile) {
        releaseLockFile();
        m_pLockFile = new QLockFile(m_strFilePath + tr(".tmp"));
        if (!m_pLockFile->tryLock(0)) {
            delete m_pLockFile;
            m_pLockFile = nullptr;
            return false;
        }
    }

    m_pFile = new QFile(m_strFilePath);
    // Unbuffered: a failed write shows at once, and the file on disk always
    // holds what was received. Never through a link planted at the target.
    if (!Platform::openNoFollow(*m_pFile, m_strFilePath, QIODevice::Append | QIODevice::Unbuffered)) {
        qDebug() << "Error:Cannot open file: " << m_strFilePath;
        delete m_pFile;
        m_pFile = nullptr;
        releaseLockFile();
        return false;
    }
    const bool ranged = m_pResumeOffset || m_bHasOwnOffset;
    m_nRequestedOffset = offsetValue();
    if (m_pResumeOffset)
        m_pFile->seek(*m_pResumeOffset);

    QNetworkRequest request(m_url);
    qDebug() << "url:" << m_url;
    if (m_bFollowRedirects)
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (ranged)
        request.setRawHeader("Range", tr("bytes=%1-").arg(m_nRequestedOffset).toLatin1());
    // Left to itself the network layer asks for gzip and inflates it without
    // limit before a byte reaches us; the bound on the file would come too late.
    request.setRawHeader("Accept-Encoding", "identity");

    m_nBase = m_nRequestedOffset;
    m_nRangeEnd = -1;
    m_nWritten = 0;
    m_nDiscarded = 0;
    m_bOverLimit = false;
    m_nHeadChecked = 0;
    m_bFailed = false;
    m_bAbortBody = false;
    m_bResponse = false;   // each request has to show by itself that the server answers
    m_pReply = m_pManager->get(request);
    // Without a bound the network thread runs ahead of our writes and the
    // whole body piles up in memory; 1 MiB keeps both busy.
    m_pReply->setReadBufferSize(kReadBufferSize);
    connect(m_pReply, SIGNAL(readyRead()), this, SLOT(readyRead()));
    connect(m_pReply, SIGNAL(downloadProgress(qint64, qint64)), this, SLOT(downloadProgress(qint64, qint64)));
    connect(m_pReply, SIGNAL(error(QNetworkReply::NetworkError)), this,
            SLOT(slotError(QNetworkReply::NetworkError)));
    connect(m_pReply, SIGNAL(finished()), this, SLOT(replyFinished()));

    // Both watchdogs are armed before a waiting start's nested loop, so a
    // silent or stalled server cannot hold it forever.
    m_nTimerId = startTimer(Platform::scaledWait(kWatchdogMs), Qt::CoarseTimer);
    if (!m_pCheckTimer) {
        m_pCheckTimer = new QTimer(this);
        m_pCheckTimer->setSingleShot(true);
        connect(m_pCheckTimer, SIGNAL(timeout()), this, SLOT(slotsHasHttpReponse()));
    }
    m_nWatchdog = 0;
    m_pCheckTimer->start(Platform::scaledWait(kAnswerCheckMs));

    if (wait) {
        QPointer<QNetworkReply> reply = m_pReply;
        QEventLoop loop;
        // Connected after replyFinished(), so the outcome and everything it
        // triggers run before the loop ends.
        connect(reply, SIGNAL(finished()), &loop, SLOT(quit()));
        connect(reply, SIGNAL(destroyed()), &loop, SLOT(quit()));
        if (reply && !reply->isFinished())
            loop.exec();
    }
    return true;
}

bool QHttpDownLoadS::bodyAccepted()
{
    if (m_nHeadChecked != 0)
        return m_nHeadChecked > 0;
    if (!m_pReply)
        return false;
    const QVariant statusAttr = m_pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!statusAttr.isValid()) {
        // Not HTTP (a local file, say): there is no status to judge by.
        m_nHeadChecked = 1;
        return true;
    }
    const int status = statusAttr.toInt();
    if (status != 200 && status != 206) {
        // An error page or an unfollowed redirect is not the file.
        m_bFailed = true;
        m_nHeadChecked = -1;
        return false;
    }
    const QByteArray encoding = m_pReply->rawHeader("Content-Encoding");
    if (!identityEncoded(encoding)) {
        refuseBody(QStringLiteral("body in an encoding that was not asked for: ") + QString::fromLatin1(encoding));
        return false;
    }
    if (status == 200) {
        if (m_nRequestedOffset > 0) {
            // The server ignored our Range and sends the whole body: start the
            // file over instead of appending a second copy.
            CUP_Log::PrintLog(QStringLiteral("Range ignored by the server, restarting ") + m_strFilePath);
            if (m_pFile && m_pFile->isOpen())
                m_pFile->resize(0);
            m_nBase = 0;
            m_nTotal = 0;
            m_nReceived = 0;
            if (m_pResumeOffset)
                *m_pResumeOffset = 0;
            m_nOwnOffset = 0;
        }
    } else {
        // Partial content counts only when it starts where we asked (0 without
        // a Range) and runs to the end of the file: a slice of it is not the
        // file. Its complete length has to be given, except for a continuation
        // whose end is the total an earlier answer of this transfer announced;
        // a first answer with "*" could be any slice.
        const QByteArray value = m_pReply->rawHeader("Content-Range");
        ContentRange range;
        bool usable = parseContentRange(value, range) && range.start == m_nRequestedOffset;
        if (usable && range.complete < 0)
            usable = m_nRequestedOffset > 0 && m_nTotal > 0 && range.end == m_nTotal - 1;
        else if (usable)
            usable = range.end == range.complete - 1 && (m_nRequestedOffset == 0 || m_nTotal <= 0 || range.complete == m_nTotal);
        if (!usable) {
            refuseBody(QStringLiteral("Content-Range does not cover the file from %1: ").arg(m_nRequestedOffset)
                       + QString::fromLatin1(value));
            return false;
        }
        m_nRangeEnd = range.end + 1;
    }
    m_nHeadChecked = 1;
    takeTotalFromHead();
    // A body announced past the bound is refused before a byte of it is read.
    const qint64 length = announcedLength(*m_pReply);
    const qint64 announcedEnd = saturatingAdd(m_nBase, length);
    if (m_nMaxBytes > 0 && length > 0 && announcedEnd > m_nMaxBytes) {
        m_bOverLimit = true;
        refuseBody(QStringLiteral("announced %1 bytes, more than %2: ").arg(announcedEnd).arg(m_nMaxBytes)
                   + m_url.toString());
        return false;
    }
    return true;
}

void QHttpDownLoadS::refuseBody(const QString& why)
{
    CUP_Log::PrintLog(QStringLiteral("download refused: ") + why);
    m_bFailed = true;
    m_bAbortBody = true;
    m_nHeadChecked = -1;
}

void QHttpDownLoadS::takeTotalFromHead()
{
    // Qt reports progress at most every 100 ms, so a transfer paused early may
    // have had no notification yet; the announced length is the same total.
    if (m_nTotal == 0 && m_pReply)
        m_nTotal = announcedLength(*m_pReply);
}

bool QHttpDownLoadS::overLimit() const
{
    return m_bOverLimit;
}

bool QHttpDownLoadS::withinLimit(qint64 more)
{
    if (m_nMaxBytes <= 0 || saturatingAdd(saturatingAdd(m_nBase, m_nWritten), more) <= m_nMaxBytes)
        return true;
    m_bOverLimit = true;
    failTransfer(QStringLiteral("more than %1 bytes: ").arg(m_nMaxBytes) + m_url.toString());
    return false;
}

void QHttpDownLoadS::downloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    CUP_Log::PrintLog(QStringLiteral("downloadProgress bytesReceived:%1, bytesTotal:%2").arg(bytesReceived).arg(bytesTotal));
    ++m_nWatchdog;
    m_bResponse = true;
    const bool fromReply = m_pReply && sender() == m_pReply;
    if (fromReply && !bodyAccepted()) {
        if (m_bAbortBody)
            failTransfer(QStringLiteral("body refused"));
        return;
    }
    if (bytesTotal <= 0)
        return;
    if (m_nTotal == 0)
        m_nTotal = bytesTotal;
    m_nReceived = saturatingAdd(m_pReply ? m_nBase : offsetValue(), bytesReceived);
    const QString fileName = m_strFilePath.mid(m_strFilePath.lastIndexOf(QLatin1Char('/')) + 1);
    CUP_Log::PrintLog(QStringLiteral("Downloading ") + fileName + QStringLiteral(":")
                      + QStringLiteral("%1 of %2 = %3%")
                            .arg(m_nReceived)
                            .arg(m_nTotal)
                            .arg(QString::number(double(m_nReceived) / double(m_nTotal) * 100.0, 'g', 6)));
    emit signal_updateProgress(m_nReceived, m_nTotal);
}

void QHttpDownLoadS::slotError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "error:" << errorCode;
    m_bFailed = true;
    if (m_pFile && m_pFile->isOpen())
        m_pFile->close();
    releaseLockFile();
    emit error_network();
}

void QHttpDownLoadS::readyRead()
{
    // Arriving data shows progress as much as a notification does (those come
    // at most every 100 ms, so a transfer that stalls early might have none).
    if (m_nWatchdog >= 0)
        ++m_nWatchdog;
    m_bResponse = true;
    if (!m_pReply)
        return;
    if (!bodyAccepted()) {
        // Not ours to keep. A refused file body is not read on (it may never
        // end); an error page is read to its end only while it is short.
        m_nDiscarded += m_pReply->readAll().size();
        if (m_bAbortBody)
            failTransfer(QStringLiteral("body refused"));
        else if (m_nDiscarded > kMaxDiscardedBody)
            failTransfer(QStringLiteral("error page longer than %1 bytes").arg(kMaxDiscardedBody));
        return;
    }
    const QByteArray data = m_pReply->readAll();
    if (data.isEmpty() || !m_pFile || !m_pFile->isOpen() || !withinLimit(data.size()))
        return;
    m_nWritten += data.size();
    if (m_pFile->write(data) != data.size())
        failTransfer(QStringLiteral("cannot write ") + m_strFilePath + QStringLiteral(": ") + m_pFile->errorString());
}

void QHttpDownLoadS::failTransfer(const QString& why)
{
    QNetworkReply* reply = m_pReply;
    if (!reply)
        return;
    qDebug() << "download failed:" << why;
    CUP_Log::PrintLog(QStringLiteral("download failed: ") + why);
    m_bFailed = true;
    // Our own abort is not a network error: no error_network for it. The
    // nested loop of a waiting start still hears the reply's finished().
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    replyFinished();
}

void QHttpDownLoadS::replyFinished()
{
    qDebug() << "replyFinished()";
    m_bResponse = true;
    QNetworkReply* reply = m_pReply;
    if (!reply)
        return;   // already ended (pause, abort by a watchdog)

    bool failed = m_bFailed || reply->error() != QNetworkReply::NoError;
    if (!failed && !bodyAccepted())
        failed = true;
    if (!failed && reply->bytesAvailable() > 0 && m_pFile && m_pFile->isOpen()) {
        const QByteArray rest = reply->readAll();
        if (m_nMaxBytes > 0 && saturatingAdd(saturatingAdd(m_nBase, m_nWritten), rest.size()) > m_nMaxBytes) {
            m_bOverLimit = true;
            failed = true;
        } else {
            m_nWritten += rest.size();
            if (m_pFile->write(rest) != rest.size())
                failed = true;
        }
    }
    // A 206 ends where its Content-Range said it would, or it is not the file.
    if (!failed && m_nRangeEnd >= 0 && saturatingAdd(m_nBase, m_nWritten) != m_nRangeEnd)
        failed = true;
    if (m_pFile && m_pFile->isOpen()) {
        if (!m_pFile->flush())
            failed = true;
        m_pFile->close();
    }
    releaseLockFile();
    disconnect(reply, nullptr, this, nullptr);
    m_pReply = nullptr;
    reply->deleteLater();
    // One outcome per start: nothing of this start may report afterwards.
    stopWatchdogs();
    if (m_pResumeOffset)
        *m_pResumeOffset = m_nReceived;

    if (m_bOverLimit) {
        // A body over the bound is nobody's file: none of it stays.
        Platform::removeEntry(m_strFilePath);
        if (m_pResumeOffset)
            *m_pResumeOffset = 0;
    }
    if (failed || m_bOverLimit || m_nReceived != m_nTotal) {
        CUP_Log::PrintLog(QStringLiteral("replyFinished bytesReceived:%1, bytesTotal:%2").arg(m_nReceived).arg(m_nTotal));
        emit errorfinish(m_strFilePath);
    } else {
        emit oneDownLoadFinish(m_strFilePath);
    }
}

void QHttpDownLoadS::slotsHasHttpReponse()
{
    qDebug() << "slotsHasHttpReponse:" << (m_bResponse ? "true" : "false");
    if (m_pCheckTimer)
        m_pCheckTimer->stop();
    if (!m_bResponse)
        failTransfer(QStringLiteral("no answer from ") + m_url.toString());
}

void QHttpDownLoadS::timerEvent(QTimerEvent* event)
{
    Q_UNUSED(event);
    if (m_nWatchdog < 0)
        return;
    if (m_nWatchdog > 3)
        m_nWatchdog = 2;
    --m_nWatchdog;
    if (m_nWatchdog == 0) {
        // Stalled: report once and end the transfer, keeping what arrived.
        if (m_pReply)
            failTransfer(QStringLiteral("stalled: ") + m_url.toString());
        else
            stopWatchdogs();
    }
}

void QHttpDownLoadS::stopWatchdogs()
{
    if (m_nTimerId > 0)
        killTimer(m_nTimerId);
    m_nTimerId = -1;
    if (m_pCheckTimer)
        m_pCheckTimer->stop();
    m_nWatchdog = -1;
}

void QHttpDownLoadS::pauseDownloads()
{
    if (!m_pReply || !m_bRunning)
        return;
    QNetworkReply* reply = m_pReply;
    m_pReply = nullptr;
    disconnect(reply, SIGNAL(downloadProgress(qint64, qint64)), this, SLOT(downloadProgress(qint64, qint64)));
    disconnect(reply, SIGNAL(readyRead()), this, SLOT(readyRead()));
    disconnect(reply, SIGNAL(error(QNetworkReply::NetworkError)), this,
               SLOT(slotError(QNetworkReply::NetworkError)));
    disconnect(reply, SIGNAL(finished()), this, SLOT(replyFinished()));
    reply->abort();
    reply->deleteLater();

    if (m_pFile)
        m_pFile->close();
    releaseLockFile();
    const QFileInfo info(m_strFilePath);
    const qint64 size = info.exists() ? info.size() : 0;
    if (m_pResumeOffset) {
        *m_pResumeOffset = size;
    } else {
        m_nOwnOffset = size;
        m_bHasOwnOffset = true;
    }
    m_bRunning = false;
    // A paused transfer is not a stalled one.
    stopWatchdogs();
}

void QHttpDownLoadS::continueDownload()
{
    if (!m_bRunning)
        startDownLoads(false);
    m_bRunning = true;
}

void QHttpDownLoadS::stopDownLoads()
{
    if (m_pManager && m_pReply)
        m_pReply->abort();
}

void QHttpDownLoadS::setProgressBar(QProgressBar* progressBar)
{
    Q_UNUSED(progressBar);
}

void QHttpDownLoadS::releaseLockFile()
{
    if (!m_pLockFile)
        return;
    m_pLockFile->unlock();
    delete m_pLockFile;
    m_pLockFile = nullptr;
}
