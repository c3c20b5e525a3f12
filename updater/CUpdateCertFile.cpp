#include "CUpdateCertFile.h"

#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "QHttpCheckExist.h"
#include "QHttpDownLoadS.h"
#include "UpdaterApp.h"

#include "Platform.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>
#include <QUrl>
#include <cstdio>

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
    QLockFile lock(file + tr(".tmp"));
    // Only a dead holder makes the lock stale: a live run may hold it for
    // minutes against a slow server.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        CUP_Log::PrintLog(QStringLiteral("trust list is locked: ") + file);
        return kFailed;
    }

    QElapsedTimer clock;
    clock.start();
    const qint64 deadlineMs = Platform::scaledWait(kListDeadlineMs);
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
