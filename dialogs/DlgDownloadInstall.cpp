// The download window's unpack-and-install steps: one package is unpacked
// into its folder, its "Setup.xml" names the installer files, and each is
// handed to the system installer as a process of its own. The system's install
// history decides whether an install really happened.
#include "DlgDownload.h"

#include "CKW_Kzip.h"
#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "CXML_Element.h"
#include "CommWs2qs.h"
#include "DlgMessage.h"
#include "UpdaterApp.h"
#include "platform/Platform.h"
#include "platform/ProcessRunner.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace {

const QString kInstallerPath = QStringLiteral("/System/Library/CoreServices/Installer.app/Contents/MacOS/Installer");
const QString kInstallerApp = QStringLiteral("/System/Library/CoreServices/Installer.app");
const QString kOpenPath = QStringLiteral("/usr/bin/open");
const QString kHistoryPath = QStringLiteral("/Library/Receipts/InstallHistory.plist");
const QString kReaderProcessName = QStringLiteral("Velto PDF Reader");

// A "Setup.xml" larger than this is not a list of installers.
constexpr qint64 kMaxSetupXmlSize = 4 * 1024 * 1024;

struct ElementDeleter
{
    void operator()(CXML_Element* element) const { CXML_Element::Destroy(element); }
};

// The package comes from the network: an installer name must stay inside
// the unpack folder.
bool isSafeInstallerName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\'))
        || QDir::isAbsolutePath(name))
        return false;
    const QStringList segments = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return !segments.contains(QStringLiteral(".."));
}

// The folder a package is unpacked into, reached level by level without
// following a link. Its path is what "Setup.xml" is read from and what the
// installers are handed, so before each use the path must still lead to the
// same folder: a link planted above it meanwhile would hand over someone
// else's files.
class UnpackFolder
{
public:
    explicit UnpackFolder(const QString& path)
        : m_path(path)
        , m_own(UpdaterApp::IsAgentFolderPath(path))
        , m_fd(m_own ? UpdaterApp::OpenAgentFolder(path, Platform::FolderWalk::MakeOwn) : -1)
    {
    }
    ~UnpackFolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UnpackFolder(const UnpackFolder&) = delete;
    UnpackFolder& operator=(const UnpackFolder&) = delete;

    // A folder of the caller's own choosing (not the agent's) is taken as
    // its path leads.
    bool stillLeadsThere() const
    {
        if (!m_own)
            return true;
        const int now = UpdaterApp::OpenAgentFolder(m_path, Platform::FolderWalk::Open);
        const bool same = Platform::sameFolder(m_fd, now);
        if (now >= 0)
            ::close(now);
        if (!same)
            CUP_Log::PrintLog(QStringLiteral("the unpack folder was replaced: ") + m_path);
        return same;
    }

private:
    QString m_path;
    bool m_own;
    int m_fd;
};

void centreOn(QWidget* widget, const QPoint& centre)
{
    widget->move(centre.x() - widget->width() / 2, centre.y() - widget->height() / 2);
}

} // namespace

bool CheckMacProcessRunning(const QString& name, QList<qulonglong>& ids)
{
    const QString command = QStringLiteral("ps -ef|grep '") + name + QStringLiteral("' |grep -v grep|grep -v .pkg");
    const Platform::ProcessResult run =
        Platform::runProcess(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, 60000);
    if (!run.started)
        return false;
    const QList<QByteArray> pieces = run.standardOutput.split('\n');
    // The piece after the last newline is not a whole line.
    for (int i = 0; i + 1 < pieces.size(); ++i) {
        const QByteArray& line = pieces.at(i);
        ids.append(qulonglong(std::strtoull(line.constData(), nullptr, 10)));
        qDebug() << "id:" << line;
        if (QString::fromUtf8(line).endsWith(name))
            return true;
    }
    return false;
}

bool DlgDownload::IsGlacierRun()
{
    QList<qulonglong> ids;
    return CheckMacProcessRunning(kReaderProcessName, ids);
}

void DlgDownload::ParseSetupInfo(QString folder, QVector<_SetupInfo*>& list, int* refused)
{
    if (refused)
        *refused = 0;
    if (folder.isEmpty())
        return;
    list.clear();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QDir(folder).exists())
        QDir().mkdir(folder);

    QFile file(folder + QStringLiteral("Setup.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.read(kMaxSetupXmlSize + 1);
    if (data.isEmpty() || data.size() > kMaxSetupXmlSize)
        return;
    std::unique_ptr<CXML_Element, ElementDeleter> root(
        CXML_Element::Parse(data.constData(), size_t(data.size()), false, nullptr, nullptr, false, false));
    if (!root)
        return;

    const unsigned count = root->CountChildren();
    for (unsigned i = 0; i < count; ++i) {
        const CXML_Element* element = root->GetElement(i);
        if (!element || !(element->GetTagName() == "file"))
            continue;
        auto* info = new _SetupInfo;
        QString fileName;
        const int attrs = element->CountAttrs();
        for (int a = 0; a < attrs; ++a) {
            CKW_ByteString space;
            CKW_ByteString attrName;
            CKW_WideString value;
            element->GetAttrByIndex(a, space, attrName, value);
            if (attrName == "name")
                fileName = Comm::ws2qs(value);
            else if (attrName == "parameter")
                info->parameter = Comm::ws2qs(value);
            else if (attrName == "iscommon")
                info->iscommon = Comm::ws2qs(value).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        }
        if (!isSafeInstallerName(fileName)) {
            CUP_Log::PrintLog(QStringLiteral("installer name refused: ") + fileName);
            delete info;
            if (refused)
                ++*refused;
            continue;
        }
        info->name = folder + fileName;
        list.append(info);
    }
}

void DlgDownload::InstallKzip(QString package, QString folder, bool first, bool second)
{
    // The outcome belongs to the module this package was started for, even if
    // the window has moved on by the time the installers end.
    const QString title = m_strTitle;
    emit SignalInstallProgress(title, 0);

    const UnpackFolder unpackFolder(folder);
    CKW_Kzip kzip;
    if (kzip.Unzip2(package, folder) < 1) {
        qDebug() << "Uncompress Failed";
        QMessageBox::warning(nullptr, tr("Velto PDF Reader") + tr(" Updater"),
                             tr("Failed to extract the downloaded package. Please try again."), QMessageBox::Ok);
        emit SignalInstallProgress(title, -1);
        continueDownload();
        return;
    }
    emit SignalInstallProgress(title, 20);

    QVector<_SetupInfo*> list;
    int refused = 0;
    if (unpackFolder.stillLeadsThere())
        ParseSetupInfo(folder, list, &refused);
    if (list.isEmpty() && refused == 0) {
        // Missing, empty or unreadable "Setup.xml", or one without installers:
        // nothing can be installed, and nothing would ever report.
        CUP_Log::PrintLog(QStringLiteral("no installer in the package: ") + package);
        emit SignalInstallProgress(title, -1);
        continueDownload();
        return;
    }

    while (first && IsGlacierRun() && second) {
        DlgMessage box(nullptr);
        box.setInformation(tr("Download completed. Please close %1 when you complete your job, and click \"Install\".")
                               .arg(kReaderProcessName));
        box.setOkButtonText(tr("Retry"));
        centreOn(&box, mapToGlobal(rect().center()));
        centreOn(&box, UpdaterApp::GetMainAppCenterPos());
        box.exec();
        if (!box.bOkClicked) {
            emit SignalInstallProgress(title, -1);
            qDeleteAll(list);
            continueDownload();
            return;
        }
    }

    if (!unpackFolder.stillLeadsThere()) {
        emit SignalInstallProgress(title, -1);
        qDeleteAll(list);
        continueDownload();
        return;
    }

    auto batch = std::make_shared<InstallBatch>();
    batch->title = title;
    batch->serial = m_nSerial;
    batch->pending = list.size();
    batch->failed = refused > 0;
    for (const _SetupInfo* info : qAsConst(list)) {
        qDebug() << "excute shell:" << info->name;
        startInstaller(info->name, batch);
        qDebug() << "excute result:" << 0;
    }
    qDeleteAll(list);
    if (list.isEmpty()) {
        // Every entry was refused.
        batch->pending = 1;
        installerEnded(batch, InstallResult::Failed);
    }
}

int DlgDownload::installUpdates(QString path, bool flag)
{
    Q_UNUSED(flag)
    auto batch = std::make_shared<InstallBatch>();
    batch->title = m_strTitle;
    batch->serial = m_nSerial;
    batch->pending = 1;
    startInstaller(path, batch);
    return 0;
}

void DlgDownload::startInstaller(const QString& path, const BatchPtr& batch)
{
    CUP_Log::PrintLog(QStringLiteral("fileinfo: %1").arg(QFileInfo(path).size()));
    const qint64 handoff = QDateTime::currentSecsSinceEpoch();
    CUP_Log::PrintLog(QStringLiteral("beign open: ") + path);

    // No parent: an installer must outlive this window (the install run's
    // window goes as soon as the installers are started).
    auto* process = new QProcess(nullptr);
    m_pInstallProcess = process;
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    const QString program = Platform::systemPath(cmd && cmd->IsInsatll() ? kOpenPath : kInstallerPath);

    // finished() and a failed start each end this installer once.
    auto ended = std::make_shared<bool>(false);
    QPointer<QProcess> guard(process);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this, batch, path, handoff, ended, guard](int exitCode, QProcess::ExitStatus status) {
                if (*ended)
                    return;
                *ended = true;
                qDebug() << "[S/W Update] Finished install with exit code" << exitCode;
                if (guard)
                    guard->deleteLater();
                installerEnded(batch, judgeInstall(exitCode, status, path, handoff));
            });
    connect(process, &QProcess::errorOccurred, this, [this, batch, path, ended, guard](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || *ended)
            return;
        *ended = true;
        CUP_Log::PrintLog(QStringLiteral("installer could not be started for: ") + path);
        if (guard)
            guard->deleteLater();
        // Reported from the event loop: a start can fail inside start() itself,
        // while the package's other installers are still being started.
        QTimer::singleShot(0, this, [this, batch] { installerEnded(batch, InstallResult::Failed); });
    });
    process->start(program, {path}, QIODevice::ReadWrite);

    m_pInstallerFrontTimer->start(Platform::scaledWait(1000));
    CUP_Log::PrintLog(QStringLiteral("open have use seconds: %1").arg(QDateTime::currentSecsSinceEpoch() - handoff));
}

void DlgDownload::onInstallerFrontTimer()
{
    // Brings the installer application to the front.
    QProcess front;
    front.start(Platform::systemPath(kOpenPath), {Platform::systemPath(kInstallerApp)});
    if (front.waitForStarted(Platform::scaledWait(10000)))
        front.waitForFinished(Platform::scaledWait(30000));
    m_pInstallerFrontTimer->stop();
}

DlgDownload::InstallResult DlgDownload::judgeInstall(int exitCode, QProcess::ExitStatus status,
                                                     const QString& path, qint64 handoffSeconds) const
{
    if (status != QProcess::NormalExit || exitCode != 0)
        return InstallResult::Failed;

    QFile file(Platform::systemPath(kHistoryPath));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return InstallResult::FailedEndChain;
    QDomDocument doc;
    if (!doc.setContent(QString::fromUtf8(file.readAll())))
        return InstallResult::FailedEndChain;
    const QDomElement root = doc.documentElement();
    if (root.tagName().compare(QLatin1String("plist"), Qt::CaseInsensitive) != 0)
        return InstallResult::FailedEndChain;

    // A record confirms this install only when it names the installer file and
    // was written after the hand-off: an earlier install of the same package
    // leaves a matching record that proves nothing now. Several installers
    // may finish in any order, so every new record is looked at, newest first.
    const QDomElement records = root.firstChildElement();
    for (QDomElement record = records.lastChildElement(); !record.isNull();
         record = record.previousSiblingElement()) {
        const QDateTime when = QDateTime::fromString(record.firstChildElement(QStringLiteral("date")).text().trimmed(),
                                                     Qt::ISODate);
        if (!when.isValid() || when.toSecsSinceEpoch() < handoffSeconds - kHistorySlackSeconds)
            continue;
        for (QDomElement value = record.firstChildElement(QStringLiteral("string")); !value.isNull();
             value = value.nextSiblingElement(QStringLiteral("string"))) {
            const QString text = value.text();
            if (!text.isEmpty() && path.contains(text))
                return InstallResult::Confirmed;
        }
    }
    return InstallResult::Failed;
}

void DlgDownload::installerEnded(const BatchPtr& batch, InstallResult result)
{
    if (result != InstallResult::Confirmed)
        batch->failed = true;
    if (result == InstallResult::FailedEndChain)
        batch->endChain = true;
    if (--batch->pending > 0)
        return;
    if (batch->failed) {
        emit SignalInstallProgress(batch->title, -1);
    } else {
        emit SignalInstallProgress(batch->title, 90);
        emit SignalInstallProgress(batch->title, 100);
    }
    // An unreadable history would fail every later install as well.
    if (batch->endChain || batch->serial != m_nSerial)
        return;
    continueDownload();
}
