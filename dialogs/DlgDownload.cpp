// The download window's package downloads: the module chain, one downloader
// per module, the package path, the cached-package shortcut and the
// JavaScript plug-ins. Unpacking and installing are in DlgDownloadInstall.cpp.
#include "DlgDownload.h"
#include "ui_DlgDownload.h"

#include "CReaderModuleManager.h"
#include "CUP_Log.h"
#include "QHttpDownLoadS.h"
#include "UpdaterApp.h"
#include "platform/NoFollowFile.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The window never shows, so it does not matter what the figure reads before
// anything was received; it must only not divide by zero.
QString remainingText(qint64 receiveSize, qint64 totalSize, qint64 elapsedMs)
{
    qint64 seconds = 0;
    if (receiveSize > 0 && elapsedMs > 0 && totalSize > receiveSize) {
        const double rate = double(receiveSize) / (double(elapsedMs) / 1000.0);
        seconds = qint64(double(totalSize - receiveSize) / rate);
    }
    return DlgDownload::tr("Time Remaining: %1 seconds ( %2/%3 MB)")
        .arg(seconds)
        .arg(double(receiveSize) / 1024 / 1024, 0, 'f', 2)
        .arg(double(totalSize) / 1024 / 1024, 0, 'f', 2);
}

} // namespace

DlgDownload::DlgDownload(QWidget* parent)
    : QMainWindow(parent), ui(new Ui::DlgDownload)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    connect(ui->cancelButton, SIGNAL(clicked()), this, SLOT(cancel()));
    setWindowTitle(tr("Velto Updater"));
    setFixedSize(size());
    ui->descriptionEdit->setReadOnly(true);

    m_pStartInstallTimer = new QTimer(this);
    m_pStartInstallTimer->setSingleShot(true);
    connect(m_pStartInstallTimer, SIGNAL(timeout()), this, SLOT(onStartInstallTimer()));
    m_pInstallerFrontTimer = new QTimer(this);
    m_pInstallerFrontTimer->setSingleShot(true);
    connect(m_pInstallerFrontTimer, SIGNAL(timeout()), this, SLOT(onInstallerFrontTimer()));
    hide();
}

DlgDownload::~DlgDownload()
{
    releaseDownloader();
    delete ui;
}

void DlgDownload::setSelectUpdates(QVector<MODULEINFO*> list)
{
    m_vecModules = list;
}

void DlgDownload::startShowDownload()
{
    if (m_vecModules.isEmpty())
        return;
    m_nIndex = 0;
    downloadUpates(0);
}

void DlgDownload::pauseDown()
{
    if (m_pDownloader)
        m_pDownloader->pauseDownloads();
}

void DlgDownload::new_continue_download()
{
    if (m_pDownloader)
        m_pDownloader->continueDownload();
}

void DlgDownload::cancel()
{
    close();
}

void DlgDownload::continueDownload()
{
    ++m_nIndex;
    downloadUpates(m_nIndex);
}

void DlgDownload::errorfinish(QString filePath)
{
    Q_UNUSED(filePath)
    emit SignalInstallProgress(m_strTitle, -1);
    continueDownload();
}

void DlgDownload::installHasDownloadUpdates(QString tempName)
{
    oneDownloadFinish(tempName);
}

void DlgDownload::releaseDownloader()
{
    if (!m_pDownloader)
        return;
    QHttpDownLoadS* old = m_pDownloader;
    m_pDownloader = nullptr;
    // Nothing of the old transfer may reach the window any more, and it must
    // not go on writing its file; the object itself may still be inside one
    // of its own notifications, so it goes only once control is back.
    disconnect(old, nullptr, this, nullptr);
    old->stopDownLoads();
    old->deleteLater();
}

void DlgDownload::failModuleLater(const QString& why)
{
    CUP_Log::PrintLog(why);
    const quint64 serial = m_nSerial;
    QTimer::singleShot(0, this, [this, serial] {
        if (serial != m_nSerial)
            return;   // the window has moved on since
        emit SignalInstallProgress(m_strTitle, -1);
        continueDownload();
    });
}

QString DlgDownload::packagePathFor(const MODULEINFO& module)
{
    const QString url = QString::fromStdString(module.url);
    QString fileName = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    const int kzip = fileName.indexOf(QLatin1String("kzip"));
    if (kzip >= 0)
        fileName = fileName.left(kzip + 4);
    return UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater") + QStringLiteral("/%1").arg(fileName);
}

qint64 DlgDownload::expectedSizeOf(const MODULEINFO& module)
{
    const QString size = QString::fromStdString(module.size);
    const int b = size.indexOf(QLatin1Char('B'));
    bool ok = false;
    const qint64 value = (b >= 0 ? size.left(b) : size).trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

void DlgDownload::downloadUpates(int work)
{
    if (work < 0 || work >= m_vecModules.size()) {
        close();
        return;
    }
    ++m_nSerial;
    qDebug() << "Begin to download:";
    MODULEINFO* module = m_vecModules.at(work);
    emit SignalSetCurrentDownloadModule(QString::fromStdString(module->name));

    m_strTitle = QString::fromStdString(module->title);
    m_strName = QString::fromStdString(module->name);
    m_strVersion = QString::fromStdString(module->version);
    ui->descriptionEdit->setPlainText(QString::fromStdString(module->description));
    ui->timeRemainLabel->setText(QString());

    m_pCurModule = module;
    // The old downloader writes its byte count into the shared offset when its
    // transfer is stopped, so it goes first: the new module starts at 0.
    releaseDownloader();
    m_nResumeOffset = 0;
    m_pDownloader = new QHttpDownLoadS(nullptr, ui->progressBar, ui->timeRemainLabel, &m_nResumeOffset);
    m_pDownloader->m_bFollowRedirects = true;
    // An endless or oversized body stops near the size the service announced.
    m_pDownloader->m_nMaxBytes = QHttpDownLoadS::packageBound(expectedSizeOf(*module));
    connect(m_pDownloader, SIGNAL(signal_updateProgress(qint64,qint64)), this,
            SLOT(updateProgress(qint64,qint64)));

    // The downloads folder is the agent's own: a link in its place, or at any
    // level above it down from the data folder, is removed or refused, so no
    // package lands where it points.
    const QString folder = UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater");
    const int folderFd = UpdaterApp::OpenAgentFolder(folder, Platform::FolderWalk::MakeOwn);
    if (folderFd < 0) {
        failModuleLater(QStringLiteral("can not make path for store the downloads: ") + folder);
        return;
    }
    ::close(folderFd);

    const QString packagePath = packagePathFor(*module);
    const QString fileName = QFileInfo(packagePath).fileName();
    // The name comes from the service's address; one that is not a plain file
    // name would make the package path the folder itself or its parent.
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String("..")) {
        failModuleLater(QStringLiteral("no package file name in: ") + QString::fromStdString(module->url));
        return;
    }

    const qint64 expected = expectedSizeOf(*module);
    const QFileInfo existing(packagePath);
    if (expected > 0 && existing.exists() && existing.isFile() && existing.size() == expected) {
        // Already complete from an earlier run: installed without a transfer,
        // once the list has had time to show it.
        m_pDownloader->downloadProgress(expected, expected);
        emit SignalInstallProgress(m_strTitle, 0);
        if (theApp)
            theApp->bQuit = true;
        m_strPendingPackage = packagePath;
        m_pStartInstallTimer->start(Platform::scaledWait(3000));
        return;
    }

    QFile::remove(packagePath);
    if (!m_pDownloader->setUrlAndFilePath(CReaderModuleManager::ResolvePackageUrl(module->url), packagePath)) {
        failModuleLater(QStringLiteral("download refused: ") + QString::fromStdString(module->url));
        return;
    }
    connect(m_pDownloader, SIGNAL(oneDownLoadFinish(QString)), this, SLOT(oneDownloadFinish(QString)));
    connect(m_pDownloader, SIGNAL(errorfinish(QString)), this, SLOT(errorfinish(QString)));
    const quint64 serial = m_nSerial;
    bool started;
    if (module->SilentInstall) {
        CUP_Log::PrintLog(QStringLiteral("bSilentInstall: true"));
        started = m_pDownloader->startDownLoads(true);
    } else {
        CUP_Log::PrintLog(QStringLiteral("bSilentInstall: false"));
        started = m_pDownloader->startDownLoads(false);
    }
    // A waiting start may have run this module's whole outcome (and later
    // modules) already; only a start that never went out is ours to fail.
    if (!started && serial == m_nSerial)
        failModuleLater(QStringLiteral("download not started: ") + packagePath);
}

void DlgDownload::onStartInstallTimer()
{
    m_pStartInstallTimer->stop();
    emit SignalStartInstall(m_strPendingPackage);
}

void DlgDownload::updateProgress(qint64 receiveSize, qint64 totalSize)
{
    const double percent = totalSize > 0 ? double(receiveSize) / double(totalSize) * 100.0 : 0.0;
    ui->progressBar->setValue(int(percent));
    emit SignalCurrentProgress(m_strTitle, percent);

    // Measured from the first report of the whole run, not of this module.
    static qint64 s_startMs = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (s_startMs == 0)
        s_startMs = now;
    ui->timeRemainLabel->setText(remainingText(receiveSize, totalSize, now - s_startMs));
    ui->timeRemainLabel->repaint();
}

void DlgDownload::oneDownloadFinish(QString filePath)
{
    hide();
    if (filePath.isEmpty())
        return;

    const QString fileName = QFileInfo(filePath).fileName();
    if (!fileName.isEmpty() && fileName.startsWith(QLatin1String("JS"))) {
        // A JavaScript plug-in is not a package: it is put in place as it is,
        // whether or not it is the last module.
        const bool copied = copyJSPlugin();
        if (copied) {
            emit SignalInstallProgress(m_strTitle, 90);
            emit SignalInstallProgress(m_strTitle, 100);
        } else {
            emit SignalInstallProgress(m_strTitle, -1);
        }
        if (m_nIndex >= m_vecModules.size() - 1)
            close();
        else
            continueDownload();
        return;
    }

    const QString folder = UpdaterApp::MakeFreshUncompressFolder();
    if (folder.isEmpty()) {
        emit SignalInstallProgress(m_strTitle, -1);
        continueDownload();
        return;
    }

    const std::string type = m_pCurModule ? m_pCurModule->module_type : std::string();
    if (type == "service" || type == "basic")
        InstallKzip(filePath, folder, true, false);
    else
        InstallKzip(filePath, folder, true, true);
}

namespace {

// Copies the regular file `source` to the file `name` of the folder `dirFd`,
// made anew there (whatever stood at the name is removed as a name).
bool copyIntoFolder(const QString& source, int dirFd, const QByteArray& name)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        return false;
    const int fd = Platform::createFreshAt(dirFd, name.constData());
    if (fd < 0)
        return false;
    QFile to;
    if (!to.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    while (ok && !from.atEnd()) {
        const QByteArray chunk = from.read(1 << 20);
        ok = !chunk.isEmpty() && to.write(chunk) == chunk.size();
    }
    return ok && to.flush();
}

} // namespace

bool DlgDownload::copyJSPlugin()
{
    bool result = true;
    const QDir source(UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater/"));
    const QFileInfoList entries = source.entryInfoList(
        {QStringLiteral("JS*")}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        // Reached from the data folder down without following a link, so a
        // link planted at any level cannot place the plug-in elsewhere.
        const int destFd = UpdaterApp::OpenAgentFolder(
            UpdaterApp::GetAppDatePath() + QStringLiteral("SilentInstall/JavaScripts"), Platform::FolderWalk::MakeOwn);
        if (destFd < 0) {
            CUP_Log::PrintLog(QStringLiteral("can not install the plug-in: ") + entry.absoluteFilePath());
            result = false;
            continue;
        }
        const QByteArray dest = QFile::encodeName(entry.fileName());
        // Copied beside the installed plug-in first and renamed over it, so
        // the installed one is replaced whole or not at all.
        const QByteArray part = "." + dest + ".part";
        bool placed = entry.isFile() && copyIntoFolder(entry.absoluteFilePath(), destFd, part)
                      && ::renameat(destFd, part.constData(), destFd, dest.constData()) == 0;
        if (!placed)
            ::unlinkat(destFd, part.constData(), 0);
        ::close(destFd);
        if (!placed) {
            CUP_Log::PrintLog(QStringLiteral("can not install the plug-in: ") + entry.absoluteFilePath());
            result = false;
            continue;   // the download stays for a later try
        }
        QFile::remove(entry.absoluteFilePath());
    }
    return result;
}
