#pragma once
// One HTTP GET into one local file, resumable through a byte offset that the
// creator owns ("Range: bytes=N-"), with pause and continue. Runs on the GUI
// thread; a waiting start nests an event loop until the reply has ended.
//
// Every start ends in exactly one outcome: oneDownLoadFinish(filePath) after a
// complete 200/206 transfer whose byte count matches the announced total (a
// 2xx body without a length counts as complete; a 206 counts only when its
// Content-Range runs from the requested offset to the end of the file, and
// names the file's length unless it continues a transfer whose total an
// earlier answer gave), errorfinish(filePath) for everything else (network
// error, error status, short body, a body past the bound, no answer in time,
// stall, file write failure). error_network() comes first when the network
// layer reported an error. A paused transfer has no outcome until it is
// continued.
//
// Bodies are asked for unencoded and a compressed one is refused, so what
// reaches the file (and the bound) is what crossed the network.
//
// Two watchdogs guard a transfer: an answer check (no answer at all within
// 90 s aborts it) and a repeating 90 s stall tick driven by the count of
// progress notifications. Both waits scale with UPDATER_TIME_SCALE.
//
// The target is never written through a symbolic link: a link at its name is
// removed and the file is opened with O_NOFOLLOW.
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QUrl>

class QEventLoop;
class QFile;
class QLabel;
class QLockFile;
class QNetworkAccessManager;
class QProgressBar;
class QTimer;
class QTimerEvent;

class QHttpDownLoadS : public QObject
{
    Q_OBJECT
public:
    // The progress bar and the label are accepted for the callers' sake and not
    // used. `resumeOffset`, when given, is read at every start (seek and Range)
    // and written by a pause (file size) and at the end of a transfer (bytes
    // received including the offset).
    QHttpDownLoadS(QObject* parent = nullptr, QProgressBar* progressBar = nullptr, QLabel* label = nullptr,
                   qint64* resumeOffset = nullptr);
    ~QHttpDownLoadS() override;

    // False for an invalid URL, a URL without path or an empty file path.
    // Removes an existing file at the path (so resuming works only within one
    // downloader, through pause and continue).
    bool setUrlAndFilePath(QUrl url, QString filePath);
    // True when the request was sent. With `wait`, returns only after the reply
    // has ended and everything its outcome triggered has run.
    bool startDownLoads(bool wait);
    void pauseDownloads();
    void continueDownload();
    // Aborts the current transfer (outcome: errorfinish).
    void stopDownLoads();
    void setProgressBar(QProgressBar* progressBar);
    // True when the last transfer ended because its body went (or was
    // announced to go) past m_nMaxBytes.
    bool overLimit() const;
    // The bound for a package whose size the service announced (0: none
    // announced): that size and a small margin, never more than the fixed
    // ceiling that applies when none is announced.
    static qint64 packageBound(qint64 announcedSize);

    // Set directly after construction when the address may redirect.
    bool m_bFollowRedirects = false;
    // > 0: a body that would take the file past this many bytes is aborted
    // (errorfinish, the partial file removed, overLimit() true); one that
    // announces such a length is refused before it is read.
    qint64 m_nMaxBytes = 0;
    // When set, setting the target and starting take the lock file
    // filePath + ".tmp" (no creator in the agent sets it).
    bool m_bUseLockFile = false;

signals:
    void oneDownLoadFinish(QString filePath);
    void errorfinish(QString filePath);
    void error_network();
    void signal_updateProgress(qint64 receiveSize, qint64 totalSize);

public slots:
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void slotError(QNetworkReply::NetworkError errorCode);
    void readyRead();
    void replyFinished();
    void slotsHasHttpReponse();
    // The stall watchdog's tick.
    void timerEvent(QTimerEvent* event) override;

private:
    // Gives up the ".tmp" lock beside the target, when one is held.
    void releaseLockFile();
    bool bodyAccepted();
    // The head of a 2xx answer showed that its body is not the file.
    void refuseBody(const QString& why);
    void takeTotalFromHead();
    // False (and the transfer failed) when `more` bytes would pass the bound.
    bool withinLimit(qint64 more);
    void failTransfer(const QString& why);
    void stopWatchdogs();
    qint64 offsetValue() const;

    QNetworkAccessManager* m_pManager = nullptr;
    QNetworkReply* m_pReply = nullptr;
    QString m_strFilePath;
    QFile* m_pFile = nullptr;
    QUrl m_url;
    qint64 m_nTotal = 0;
    qint64 m_nReceived = 0;
    qint64* m_pResumeOffset = nullptr;
    QTimer* m_pCheckTimer = nullptr;
    bool m_bResponse = false;
    bool m_bRunning = true;
    int m_nWatchdog = -1;
    int m_nTimerId = -1;
    QLockFile* m_pLockFile = nullptr;

    // Per-reply state.
    qint64 m_nRequestedOffset = 0;  // the offset this reply's Range asked for
    qint64 m_nBase = 0;             // bytes already in the file before this reply's body
    int m_nHeadChecked = 0;         // 0 not yet, 1 body accepted, -1 body refused
    bool m_bFailed = false;         // this reply ends in errorfinish whatever the counts
    qint64 m_nRangeEnd = -1;        // a 206's announced end (last byte + 1), -1 for a 200
    qint64 m_nWritten = 0;          // body bytes of this reply written to the file
    qint64 m_nDiscarded = 0;        // body bytes of a refused reply read and dropped
    bool m_bAbortBody = false;      // the body is refused: stop the transfer at once
    bool m_bOverLimit = false;
    // Resume offset of a downloader created without one, kept across a pause.
    qint64 m_nOwnOffset = 0;
    bool m_bHasOwnOffset = false;
};
