#include "UpdaterApp.h"
#include "CDlgComponentFound.h"
#include "CReaderModuleManager.h"
#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "ConsoleUser.h"
#include "DlgDownload.h"
#include "DlgUpdateChecking.h"
#include "LocaleInfo.h"
#include "Platform.h"
#include "ReaderReport.h"
#include "UpdateListener.h"
#include "dlgfound.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDomDocument>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHostInfo>
#include <QLocalSocket>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QScreen>
#include <QSize>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

UpdaterApp* theApp = nullptr;
dlgfound* g_curr_dlgfound_ptr = nullptr;

namespace {

const char kProductName[] = "Velto PDF Reader";
const QString kUpdateListType = QStringLiteral("Update List");
const QString kAutoUpdaterType = QStringLiteral("Auto Updater");

// The reader's preference plist of the console user, from the run's one
// lookup; without a home folder from su, the agent's own home stands in.
QString currentUserPlist()
{
    const ConsoleUser console = GetConsoleUser();
    const QString plist = ReaderPreferencesIn(console.error.isEmpty() ? console.home : QDir::homePath());
    CUP_Log::PrintLog(QStringLiteral("plist path: ") + plist);
    return plist;
}

} // namespace

UpdaterApp::UpdaterApp(CSetup_CommandLine* commandLine, QObject* parent)
    : QObject(parent)
    , m_strServerName(ReaderReport::serverName())
    , m_pCommandLine(commandLine)
    , m_pListener(new UpdateListener(nullptr))
{
    // The command line is parsed before the controller exists; a roll-back
    // given with the package paths travels with it.
    if (m_pCommandLine && m_pCommandLine->IsRollBack())
        bRollBack = true;
}

UpdaterApp::~UpdaterApp()
{
    // The module manager is a child of the controller and goes with it.
    delete m_pListener;
    if (m_pSocket) {
        m_pSocket->close();
        m_pSocket->deleteLater();
    }
}

void UpdaterApp::SetModuleManager(CReaderModuleManager* manager)
{
    m_pModuleManager = manager;
    m_moduleManagerGuard = manager;
}

void UpdaterApp::runUpdate(int language, int country)
{
    m_nLanguage = language;
    m_nCountry = country;
    m_pListener->startListener();
    runUpdateVisible(language, country);
}

UpdaterApp::Job UpdaterApp::chooseJob(const CSetup_CommandLine& commandLine)
{
    if (commandLine.IsInsForceUpdate())
        return Job::RelaunchRequest;
    if (commandLine.IsRun())
        return Job::CheckRun;
    if (!commandLine.IsUpdater())
        return commandLine.IsInsatll() ? Job::Install : Job::Nothing;
    const QString type = QString::fromStdString(commandLine.GetUpdaterType());
    if (type == kUpdateListType || type == kAutoUpdaterType)
        return Job::CheckUpdater;
    if (type.isEmpty())
        return Job::Nothing;
    return Job::Component;
}

// Every road ends the run when it returns: nothing here leaves a window open
// for the event loop, and an idle agent would hold the single-instance name so
// that every later run would exit having done nothing.
void UpdaterApp::runUpdateVisible(int language, int country)
{
    m_nLanguage = language;
    m_nCountry = country;

    // Packages of an earlier run are of no use; each run unpacks into a
    // folder named after its start time.
    const QString folder = MakeFreshUncompressFolder();
    if (folder.isEmpty()) {
        bQuit = true;
        return;
    }
    m_strUncompressPath = folder;

    if (!m_pCommandLine) {
        bQuit = true;
        return;
    }

    m_pModuleManager = new CReaderModuleManager(
        QString::fromStdString(m_pCommandLine->GetUpdaterType()), this);
    m_moduleManagerGuard = m_pModuleManager;
    m_pModuleManager->setLangParm(language, country);

    const Job job = chooseJob(*m_pCommandLine);
    if (job == Job::RelaunchRequest) {
        relaunchRequest();
        bQuit = true;
        return;
    }

    m_strReaderVersion = m_pCommandLine->GetReaderVersion();
    m_strReaderPath = m_pCommandLine->GetReaderPath();

    switch (job) {
    case Job::CheckRun:
    case Job::CheckUpdater:
        checkRoad();
        break;
    case Job::Install:
        installRoad();
        break;
    case Job::Component:
        componentRoad();
        break;
    case Job::RelaunchRequest:
    case Job::Nothing:
        break;
    }
    bQuit = true;
}

void UpdaterApp::checkRoad()
{
    DlgUpdateChecking dlg(kUpdateListType, nullptr);
    // The query goes out before the window is shown and hidden: that waits on
    // the window system, and the transfer need not wait with it.
    dlg.setModuleManager(GetModuleManager());
    dlg.startUpdateCheck();
    dlg.showMinimized();
    dlg.hide();
    // Everything from here on may show translated text.
    takeLanguage();
    dlg.exec();
    finishCheck(dlg.nResult);   // the result field, not exec()'s value
}

void UpdaterApp::takeLanguage()
{
    if (!m_languageSource)
        return;
    const LanguageChoice language = m_languageSource();
    m_languageSource = nullptr;
    m_nLanguage = language.nChooseLan;
    m_nCountry = language.nChooseCountry;
    if (CReaderModuleManager* manager = GetModuleManager())
        manager->setLangParm(m_nLanguage, m_nCountry);
}

void UpdaterApp::finishCheck(int result)
{
    // Failed, cancelled, or already dealt with by the dialogs (which may have
    // released the manager): nothing more to do.
    if (result != 1 || bCheckHandled)
        return;
    CReaderModuleManager* manager = GetModuleManager();
    if (!manager)
        return;
    const bool nothingToList = manager->CountAvailableModule() == 0 || manager->isSilentUpdate();
    if (nothingToList
        && QString::fromStdString(m_pCommandLine->GetUpdaterType()) == kUpdateListType)
        NotifyMainCallBack(UPDATE_CHECK_FINISHED);
    // Non-silent modules left without a list open: the run ends as well.
}

void UpdaterApp::installRoad()
{
    // Each package unpacks into its own subfolder of the run's folder: its
    // installers run after this loop has moved on, and must not read files
    // that the next package writes.
    try {
        DlgDownload dlg(nullptr);
        int number = 0;
        for (const std::string& path : m_pCommandLine->GetVecKzipPath()) {
            if (path.empty())
                continue;
            // Made by the unpack, from the data folder down.
            const QString folder = m_strUncompressPath + QStringLiteral("/%1").arg(++number);
            dlg.InstallKzip(QString::fromStdString(path), folder, true, false);
        }
    } catch (...) {
        qDebug() << "install of the named packages failed";
    }
}

void UpdaterApp::componentRoad()
{
    ComponentInfo info;
    info.productName = QString::fromStdString(GetProductName());
    info.readerVersion = QString::fromStdString(m_pCommandLine->GetReaderVersion());
    info.componentList = QString::fromStdString(m_pCommandLine->GetUpdaterType());
    if (CReaderModuleManager* manager = GetModuleManager())
        info.localLangName = manager->GetLocalLangName();
    info.edition = QStringLiteral("Business");

    // Nothing is fetched without the user's Yes.
    {
        CDlgComponentFound prompt(info, nullptr);
        if (prompt.exec() != 1)
            return;
    }
    componentDownload();
}

void UpdaterApp::componentDownload()
{
    CReaderModuleManager* manager = GetModuleManager();
    if (!manager)
        return;
    // Only a service that answered can say a component is not there; a query
    // that failed or got no answer is a connection problem and is told as one.
    const auto unavailable = [] {
        QMessageBox::warning(nullptr, tr("Velto Updater"),
                             tr("Unable to get this component pack. Please check if they are "
                                "ready for this version."),
                             QMessageBox::Ok);
    };

    qDebug() << "need to download now...";
    // The wait ends on the query's outcome, and after a bounded time: a
    // query that never reports must not keep the run alive. A network error
    // is always followed by the failed-transfer outcome, whose handler in the
    // manager has told the user already.
    enum class Outcome { Pending, Answered, FailedAndTold, Gone };
    Outcome outcome = Outcome::Pending;
    QEventLoop loop;
    const auto end = [&](Outcome how) {
        if (outcome != Outcome::Pending)
            return;
        outcome = how;
        loop.quit();
    };
    connect(manager, &CReaderModuleManager::sQueryModuleInfoFinish, &loop, [&] { end(Outcome::Answered); });
    connect(manager, &CReaderModuleManager::sErrorFinish, &loop, [&] { end(Outcome::FailedAndTold); });
    connect(manager, &QObject::destroyed, &loop, [&] { end(Outcome::Gone); });
    const bool started = manager->QueryModuleInfo(nullptr, false) == 0;
    if (started && outcome == Outcome::Pending) {
        QTimer::singleShot(Platform::scaledWait(60000), &loop, [&] { loop.quit(); });
        loop.exec();
    }
    manager = GetModuleManager();
    if (outcome == Outcome::Gone || !manager)
        return;
    if (outcome != Outcome::Answered || !manager->GetQueryResultInfo().bSuccess) {
        if (outcome == Outcome::Pending) {
            // Out of time: the query goes with its manager, so that a late
            // failure cannot tell the user a second time.
            disconnect(manager, nullptr, &loop, nullptr);
            delete manager;
        }
        if (outcome != Outcome::FailedAndTold)
            CReaderModuleManager::WarnCannotConnect();
        return;
    }
    if (manager->CountAvailableModule() < 1) {
        unavailable();
        return;
    }

    const QString type = QString::fromStdString(m_pCommandLine->GetUpdaterType());
    if (!type.contains(QLatin1Char(','))) {
        manager->AddSelModule(type);
    } else {
        const QStringList names = type.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& name : names)
            manager->AddSelModule(name);
    }
    if (manager->CountSelModules() < 1) {
        unavailable();
        return;
    }
    CReaderModuleManager::ModuleCallback("Update List", manager, true);
}

void UpdaterApp::relaunchRequest()
{
    const QString appPath = CRegister::regGetString(
        QStringLiteral("HKEY_LOCAL_MACHINE\\")
            + QStringLiteral("SOFTWARE\\Velto Software\\Velto PDF Reader")
            + QStringLiteral("\\InstallAppName"),
        QStringLiteral("Velto PDF Reader.app"));
    if (appPath.isEmpty() || !QFileInfo::exists(appPath)) {
        qDebug() << QStringLiteral("qsAppName文件不存在");
        return;
    }

    QString command = QStringLiteral(" -insForceUpdate");
    command += QStringLiteral(" -SessionID \"%1\"")
                   .arg(QString::fromStdString(m_pCommandLine->GetSessionID()));
    command += QStringLiteral(" -readerpath \"%1\"")
                   .arg(QString::fromStdString(m_pCommandLine->GetReaderPath()));
    command += QStringLiteral(" -readerlang \"%1\"").arg(m_nLanguage);

    QString list;
    QFile file(QStringLiteral("ForceUpdateList.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "Can't open the file!";
    } else {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            qDebug() << line;
            list += line + QLatin1Char('\n');
        }
    }
    command += QStringLiteral(" -install");
    command += QStringLiteral(" -KzipPath \"%1\"").arg(list);

    RunUpdaterFromService(QStringLiteral("||strTempUpdaterPath=") + QStringLiteral("||csCommandLine=")
                          + command);
}

void UpdaterApp::NotifyMainCallBack(UPDATE_CHECK_STATE state)
{
    const QString text = ReaderReport::stateText(state);
    if (text.isEmpty())
        return;
    const bool markerWanted = m_pCommandLine && !m_pCommandLine->GetInternalUpdateURL().empty();
    sendToReader(text);
    if (markerWanted)
        ReaderReport::writeMarker(state);
}

bool UpdaterApp::sendToReader(const QString& text)
{
    return ReaderReport::sendText(m_pSocket, this, text);
}

QString UpdaterApp::GetPackageType()
{
    return GetPackageTypeFrom(QCoreApplication::applicationDirPath());
}

QString UpdaterApp::GetPackageTypeFrom(const QString& executableDir)
{
    // The executable sits in <bundle>/Contents/MacOS; its resources are in
    // <bundle>/Contents/Resources, and an agent shipped inside the reader's
    // bundle falls back to the reader's resources three levels up.
    const QString own = executableDir.left(qMax(0, executableDir.size() - 6))
        + QStringLiteral("/Resources");
    const QString enclosing = own + QStringLiteral("/../../../Resources");

    QFile file(own + QStringLiteral("/packagetype.xml"));
    if (!file.open(QIODevice::ReadOnly)) {
        file.setFileName(enclosing + QStringLiteral("/packagetype.xml"));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
    }
    QDomDocument doc(QStringLiteral("packagetype"));
    if (!doc.setContent(&file))
        return QString();
    return doc.documentElement().attribute(QStringLiteral("name"));
}

std::string UpdaterApp::GetLang()
{
    const _LocaleInfo* row =
        FindLocaleInfo(LocaleTableForPackageType(GetPackageType()), m_nLanguage);
    return row ? row->locale.toStdString() : std::string("en-US");
}

std::string UpdaterApp::GetProductName()
{
    return kProductName;
}

std::string UpdaterApp::GetMacAddress()
{
    static const QStringList ignored = {
        QStringLiteral("00-00-00-00-00-00"),
        QStringLiteral("00-50-56-C0-00-01"),
        QStringLiteral("00-50-56-C0-00-08"),
    };
    QString text;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        QString address = iface.hardwareAddress();
        address.replace(QLatin1Char(':'), QLatin1Char('-'));
        if (address.isEmpty() || ignored.contains(address))
            continue;
        text += address + QLatin1Char('|');
    }
    text += QHostInfo::localHostName();
    return text.toStdString();
}

std::string UpdaterApp::GetCurrentUserPlist()
{
    return currentUserPlist().toStdString();
}

QString UpdaterApp::GetBigVersioin()
{
    if (!m_pCommandLine)
        return QString();
    const QStringList parts =
        QString::fromStdString(m_pCommandLine->GetReaderVersion()).split(QLatin1Char('.'));
    if (parts.size() < 3)
        return QString();
    return QStringLiteral("%1.%2").arg(parts.at(0), parts.at(1));
}

QPoint UpdaterApp::GetMainAppCenterPos()
{
    const QString plist = currentUserPlist();
    const QPoint position = CRegister::regGetVariant(QStringLiteral("Window Position"),
                                                     QPoint(), plist, QString(), QString())
                                .toPoint();
    const QSize size = CRegister::regGetVariant(QStringLiteral("Window Size"), QSize(), plist,
                                                QString(), QString())
                           .toSize();
    CUP_Log::PrintLog(QStringLiteral("UpdaterApp::GetMainAppCenterPos()---position:(%1,%2), size:(%3,%4)")
                          .arg(position.x())
                          .arg(position.y())
                          .arg(size.width())
                          .arg(size.height()));
    const QPoint centre = QRect(position, size).center();
    CUP_Log::PrintLog(QStringLiteral("UpdaterApp::GetMainAppCenterPos()---centerPos:(%1,%2)")
                          .arg(centre.x())
                          .arg(centre.y()));
    if (centre.isNull() || position.isNull()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return screen->availableGeometry().center();
        return QPoint();
    }
    return centre;
}

void UpdaterApp::ResetPostion(QRect area, QWidget* widget)
{
    if (!widget || area.isEmpty() || !area.isValid())
        return;
    const QRect current = widget->geometry();
    widget->move(area.left() + area.width() / 2 - current.width() / 2,
                 area.top() + area.height() / 2 - current.height() / 2);
}

void UpdaterApp::ShowDownloadDlg(std::string type, bool& flag, bool a, bool b, bool c,
                                 CReaderModuleManager* manager)
{
    dlgfound dlg(type, flag, a, b, c, manager, nullptr);
    g_curr_dlgfound_ptr = &dlg;
    dlg.exec();
    g_curr_dlgfound_ptr = nullptr;
}

void UpdaterApp::SendProcData(const std::string&)
{
}

bool UpdaterApp::RunCommandLine(std::string, bool&)
{
    return true;
}

bool RunUpdaterFromService(QString)
{
    return true;
}
