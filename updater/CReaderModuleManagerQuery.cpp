// The update query: its address on the service road and the internal road,
// the transfer of the reply into "updater/update_tmpfile.xml", and the three
// query signals.
#include "CReaderModuleManager.h"

#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "UpdateQuery.h"
#include "UpdaterApp.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMessageBox>

#if __has_include("QHttpDownLoadS.h")
#include "QHttpDownLoadS.h"
#define READER_MANAGER_HAS_DOWNLOADER 1
#else
#define READER_MANAGER_HAS_DOWNLOADER 0
#endif

namespace {

const QString kReaderMachineKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Velto Software\\Velto PDF Reader");

// The downloader may be the one whose signal is being handled further up the
// stack; it is cut off from the manager now and deleted once control is back
// in the event loop.
void releaseDownloader(QHttpDownLoadS* downloader, QObject* receiver)
{
#if READER_MANAGER_HAS_DOWNLOADER
    if (!downloader)
        return;
    QObject::disconnect(downloader, nullptr, receiver, nullptr);
    downloader->deleteLater();
#else
    Q_UNUSED(downloader) Q_UNUSED(receiver)
#endif
}

} // namespace

CReaderModuleManager::~CReaderModuleManager()
{
    releaseDownloader(m_pQueryDownloader, this);
    m_pQueryDownloader = nullptr;
    ReleaseModuleInfo();
    // The download window is not ours: it lives on until the process ends.
}

QString CReaderModuleManager::GetHttpURL(QString addon)
{
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    UpdateQuery::Params params;
    params.addon = addon;
    params.settingsEdition = CRegister::regGetString(kReaderMachineKey, QStringLiteral("Edition"));
    params.agentId = CRegister::regGetString(kReaderMachineKey + QStringLiteral("\\Velto Information"),
                                             QStringLiteral("AgentID"));
    if (cmd) {
        params.readerVersion = QString::fromStdString(cmd->GetReaderVersion());
        params.readerLang = QString::fromStdString(cmd->GetReaderLang());
        params.edition = QString::fromStdString(cmd->GetEdition());
        params.packageType = QString::fromStdString(cmd->GetPackageType());
    }
    return UpdateQuery::BuildQuery(params);
}

int CReaderModuleManager::QueryModuleInfo(QProgressBar* progressBar, bool wait)
{
    m_strReplyPath = UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater/update_tmpfile.xml");
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    const QString internalUrl = cmd ? QString::fromStdString(cmd->GetInternalUpdateURL()) : QString();
    const int hours = UpdateQuery::CurrentUtcOffsetHours();

    QString query = GetHttpURL(m_strType);
    QString base;
    if (!internalUrl.isEmpty()) {
        base = internalUrl + QStringLiteral("?");
        if (theApp)
            theApp->bInternalUpdate = true;
        UpdateQuery::InternalParams internal;
        internal.utcOffsetHours = hours;
        internal.mac = theApp ? QString::fromStdString(theApp->GetMacAddress()) : QString();
        internal.email = cmd ? QString::fromStdString(cmd->GetUserEmail()) : QString();
        internal.updaterType = cmd ? QString::fromStdString(cmd->GetUpdaterType()) : QString();
        query += UpdateQuery::InternalSuffix(internal);
    } else {
        base = UpdateQuery::ServiceBase(UpdaterApp::GetPackageType());
    }
    const QString url = base + query;
    CUP_Log::PrintLog(QStringLiteral("QueryModuleInfo url: ") + url);

    m_bQueryBusy = true;
    m_bQueryFailureSignalled = false;
#if READER_MANAGER_HAS_DOWNLOADER
    releaseDownloader(m_pQueryDownloader, this);
    m_pQueryDownloader = new QHttpDownLoadS(nullptr, progressBar, nullptr, nullptr);
    // An endless or oversized body stops at the parser's bound, not on a full disk.
    m_pQueryDownloader->m_nMaxBytes = kMaxXmlFileSize;
    CUP_Log::PrintLog(QStringLiteral("update_tmpfile.xml: ") + m_strReplyPath);

    if (!m_pQueryDownloader->setUrlAndFilePath(QUrl(url, QUrl::TolerantMode), m_strReplyPath)) {
        CUP_Log::PrintLog(QStringLiteral("QueryModuleInfo: address or reply file refused"));
        return 1;
    }
    if (!QFile::exists(m_strReplyPath)) {
        const QString folder = m_strReplyPath.left(m_strReplyPath.lastIndexOf(QLatin1Char('/')));
        if (!QDir().mkpath(folder)) {
            qDebug() << "can not make path:" << folder;
            return 1;
        }
    }
    connect(m_pQueryDownloader, SIGNAL(oneDownLoadFinish(QString)), this, SLOT(slotQueryModuleInfoFinish(QString)));
    connect(m_pQueryDownloader, SIGNAL(errorfinish(QString)), this, SLOT(errorfinish(QString)));
    connect(m_pQueryDownloader, SIGNAL(error_network()), this, SLOT(error_network()));
    if (!m_pQueryDownloader->startDownLoads(wait)) {
        CUP_Log::PrintLog(QStringLiteral("QueryModuleInfo: the transfer did not start"));
        QObject::disconnect(m_pQueryDownloader, nullptr, this, nullptr);
        return 1;
    }
    return 0;
#else
    Q_UNUSED(progressBar) Q_UNUSED(wait)
    return 1;
#endif
}

void CReaderModuleManager::slotQueryModuleInfoFinish(QString filePath)
{
    qDebug() << "xml path:" << filePath;
    if (!m_strReplyPath.isEmpty())
        OnPaserModuleInfo(m_strReplyPath);
    emit sQueryModuleInfoFinish();
}

void CReaderModuleManager::errorfinish(QString filePath)
{
    Q_UNUSED(filePath)
#if READER_MANAGER_HAS_DOWNLOADER
    // A reply over the bound reached the service and is no answer of it: the
    // check's failed-query road, without the connection warning.
    if (m_pQueryDownloader && sender() == m_pQueryDownloader && m_pQueryDownloader->overLimit()) {
        CUP_Log::PrintLog(QStringLiteral("update reply over %1 bytes: a failed query").arg(kMaxXmlFileSize));
        ReleaseModuleInfo();
        m_queryResult = QueryResultInfo();
        m_queryResult.bSuccess = false;
        emit sQueryModuleInfoFinish();
        return;
    }
#endif
    // The box runs a nested loop in which the owner may release this manager.
    QPointer<CReaderModuleManager> self(this);
    // Whatever ended the transfer (a refused body, a redirect, an error page),
    // whoever waits on the query hears of the failure now, not only once the
    // user has closed the box - which may be never.
    if (!m_bQueryFailureSignalled) {
        m_bQueryFailureSignalled = true;
        emit sErrorNetwork();
        if (!self)
            return;
    }
    WarnCannotConnect();
    if (self)
        emit sErrorFinish();
}

void CReaderModuleManager::WarnCannotConnect()
{
    QMessageBox::warning(nullptr, tr("Velto PDF Reader"),
                         tr("Cannot connect to the server. Please check your network connection."),
                         QMessageBox::Ok);
}

void CReaderModuleManager::error_network()
{
    m_bQueryFailureSignalled = true;
    emit sErrorNetwork();
}
