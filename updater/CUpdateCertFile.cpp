#include "CUpdateCertFile.h"

#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "QHttpCheckExist.h"
#include "QHttpDownLoadS.h"
#include "UpdaterApp.h"

#include "Platform.h"
#include "SaturatingSum.h"

#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int kFailed = 2;
const int kEutlRequested = 0x10000;
const int kFatlRequested = 0x1000000;
const int kAutoDownload = 0x10000000;
// A server may keep a list's transfer alive for ever by dripping bytes too
// slowly to look stalled; each list gets this long, probe included.
const int kListDeadlineMs = 10 * 60 * 1000;
// Lists run to a few megabytes; a body past this is no list (an endless one
// would otherwise fill the disk before its deadline).
const qint64 kMaxListBytes = 64 * 1024 * 1024;

// Beyond the list's deadline a lock whose holder cannot be checked is taken
// as left behind; the margin covers the probe and the clean-up around the
// transfer.
const int kLockMarginMs = 5 * 60 * 1000;

// Takes a list's lock without waiting. A holder that can be read and runs on
// this machine decides alone: a dead one makes the lock stale, a live one
// keeps it however long it holds it (the reader may, too). A lock whose
// holder cannot be read - empty or garbage, what a power loss right after its
// creation leaves - or that names another machine is stale only once it is
// older than any run of ours can hold a list. A date that far ahead counts
// the same: the clock was wrong when it was written, and waiting for the
// clock to catch up could take years.
bool takeListLock(QLockFile& lock, const QString& path, qint64 staleAfterMs)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application)
        && (host.isEmpty() || host == QSysInfo::machineHostName()))
        return false;
    // The lock's own time, not that of a file a link there leads to.
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return lock.tryLock(0);   // gone in between
    const qint64 nowSeconds = QDateTime::currentMSecsSinceEpoch() / 1000;
    const qint64 ageSeconds = saturatingSub(nowSeconds, qint64(st.st_mtime));
    const qint64 limitSeconds = staleAfterMs / 1000;
    if (ageSeconds <= limitSeconds && ageSeconds >= -limitSeconds)
        return false;
    CUP_Log::PrintLog(QStringLiteral("trust list lock left behind, taken: ") + path);
    // Only a regular file can be opened and locked to be removed; anything
    // else at the name (a dangling link, say) would stay for ever.
    if (!S_ISREG(st.st_mode)) {
        if (::unlink(QFile::encodeName(path).constData()) != 0)
            return false;
        return lock.tryLock(0);
    }
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

// Replaces `target` by `source` in one step, so a reader of the list never
// sees a missing or half-written file.
bool replaceFile(const QString& source, const QString& target)
{
    return std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0;
}

} // namespace

CUpdateCertFile::CUpdateCertFile(QObject* parent) : QObject(parent) {}

CUpdateCertFile::~CUpdateCertFile() = default;

void CUpdateCertFile::slotQueryModuleInfoFinish(QString filePath)
{
    Q_UNUSED(filePath);
}

void CUpdateCertFile::UpdateFile()
{
    if (!theApp || !theApp->GetCommandLine())
        return;
    const CSetup_CommandLine& commandLine = *theApp->GetCommandLine();
    QString fatlUrl = commandLine.getfatlcerturl();
    QString eutlUrl = commandLine.geteutlcerturl();
    QString fatlFile = commandLine.getfatlfile();
    QString eutlFile = commandLine.geteutlfile();
    const QString downType = commandLine.getdowntype();
    qDebug() << "url:" << fatlUrl;
    qDebug() << "url:" << eutlUrl;

    int status = 0;
    if (!eutlUrl.isEmpty() && !fatlUrl.isEmpty()) {
        CUP_Log::PrintLog(QStringLiteral("eutlurl: ") + eutlUrl);
        CUP_Log::PrintLog(QStringLiteral("url: ") + fatlUrl);
        const int eutl = UpdateFileEx(eutlUrl, eutlFile);
        const int fatl = UpdateFileEx(fatlUrl, fatlFile);
        status = eutl | kEutlRequested | (fatl << 8) | kFatlRequested;
    } else if (!fatlUrl.isEmpty()) {
        status = (UpdateFileEx(fatlUrl, fatlFile) << 8) | kFatlRequested;
    } else if (!eutlUrl.isEmpty()) {
        status = UpdateFileEx(eutlUrl, eutlFile) | kEutlRequested;
    } else {
        return;
    }
    if (downType == QLatin1String("auto"))
        status += kAutoDownload;
    std::printf("%d\n", status);
    std::fflush(stdout);
}

int CUpdateCertFile::UpdateFileEx(QString& url, QString& file)
{
    if (file.isEmpty())
        return kFailed;
    // The lock keeps two agents (or the reader) from writing the same list.
    const qint64 deadlineMs = Platform::scaledWait(kListDeadlineMs);
    const QString lockPath = file + tr(".tmp");
    QLockFile lock(lockPath);
    if (!takeListLock(lock, lockPath, deadlineMs + Platform::scaledWait(kLockMarginMs))) {
        CUP_Log::PrintLog(QStringLiteral("trust list is locked: ") + file);
        return kFailed;
    }

    QElapsedTimer clock;
    clock.start();
    {
        QHttpCheckExist probe(nullptr, url);
        probe.checkExit();
        if (probe.m_bNotFound) {
            CUP_Log::PrintLog(QStringLiteral("trust list not on the server: ") + url);
            return 0;
        }
    }

    // The list arrives beside the old one and replaces it only when complete,
    // so a failed transfer leaves the old list as it was.
    const QString partial = file + QStringLiteral(".download");
    QHttpDownLoadS downloader(nullptr, nullptr, nullptr, nullptr);
    downloader.m_bFollowRedirects = true;
    downloader.m_nMaxBytes = kMaxListBytes;
    if (!downloader.setUrlAndFilePath(QUrl(url), partial))
        return kFailed;
    connect(&downloader, SIGNAL(oneDownLoadFinish(QString)), this, SLOT(slotQueryModuleInfoFinish(QString)));
    bool complete = false;
    connect(&downloader, &QHttpDownLoadS::oneDownLoadFinish, this, [&complete] { complete = true; });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &downloader, [&downloader, &url] {
        CUP_Log::PrintLog(QStringLiteral("trust list took too long: ") + url);
        downloader.stopDownLoads();
    });
    deadline.start(int(qMax<qint64>(1, deadlineMs - clock.elapsed())));
    const bool started = downloader.startDownLoads(true);
    deadline.stop();
    // An empty list is no list: the old one stays.
    if (complete && QFileInfo(partial).size() == 0) {
        CUP_Log::PrintLog(QStringLiteral("trust list is empty: ") + url);
        complete = false;
    }
    if (!started || !complete) {
        CUP_Log::PrintLog(QStringLiteral("trust list download failed: ") + url);
        QFile::remove(partial);
        return kFailed;
    }
    if (!replaceFile(partial, file)) {
        CUP_Log::PrintLog(QStringLiteral("cannot replace trust list: ") + file);
        QFile::remove(partial);
        return kFailed;
    }
    return 0;
}
