#include "DlgUpdateChecking.h"
#include "ui_DlgUpdateChecking.h"

#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "DlgUpdatesTree.h"
#include "UpdaterApp.h"
#include "platform/Platform.h"

#include <QDebug>
#include <QEvent>
#include <QTimer>

namespace {

// Reports go to the reader only when it asked for the check itself; the
// automatic check stays quiet (its time-out aside).
bool isAutomaticRun()
{
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    return cmd && cmd->GetUpdaterType() == "Auto Updater";
}

void notifyReader(UPDATE_CHECK_STATE state)
{
    if (theApp)
        theApp->NotifyMainCallBack(state);
}

void setCheckHandled()
{
    if (theApp)
        theApp->bCheckHandled = true;
}

// Four numbers of a dotted version. A missing "." makes the remaining text
// stand for this component and all later ones, so "12" reads as 12.12.12.12.
void splitVersion(const QString& version, int parts[4])
{
    QString rest = version;
    for (int i = 0; i < 3; ++i) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0) {
            const int value = rest.toInt();
            for (int j = i; j < 4; ++j)
                parts[j] = value;
            return;
        }
        parts[i] = rest.left(dot).toInt();
        rest = rest.mid(dot + 1);
    }
    parts[3] = rest.toInt();
}

} // namespace

DlgUpdateChecking::DlgUpdateChecking(QString type, QWidget* parent)
    : QDialog(parent, Qt::WindowFlags())
    , nResult(-1)
    , ui(new Ui::DlgUpdateChecking)
    , m_pTimer(nullptr)
    , m_strType(type)
    , m_pModuleManager(nullptr)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowFlags());
}

DlgUpdateChecking::~DlgUpdateChecking()
{
    delete ui;
    delete m_pTimer;
}

void DlgUpdateChecking::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void DlgUpdateChecking::setModuleManager(CReaderModuleManager* manager)
{
    m_pModuleManager = manager;
}

void DlgUpdateChecking::startUpdateCheck()
{
    if (!m_pModuleManager)
        return;
    startTimer(Platform::scaledWait(kTimeoutMs));
    connect(m_pModuleManager, SIGNAL(sQueryModuleInfoFinish()), this, SLOT(checkFinsh()));
    connect(m_pModuleManager, SIGNAL(sErrorFinish()), this, SLOT(ErrFinish()));
    connect(m_pModuleManager, SIGNAL(sErrorNetwork()), this, SLOT(ErrNetwork()));
    m_pModuleManager->QueryModuleInfo(ui->progressBar, false);
}

void DlgUpdateChecking::startTimer(int ms)
{
    if (!m_pTimer) {
        m_pTimer = new QTimer(this);
        connect(m_pTimer, SIGNAL(timeout()), this, SLOT(timeOut()));
    }
    m_pTimer->start(ms);
}

void DlgUpdateChecking::endCheck()
{
    if (m_pTimer) {
        // The tick being delivered may be this timer's own.
        m_pTimer->stop();
        m_pTimer->deleteLater();
        m_pTimer = nullptr;
    }
    // The query's transfer may still end after a time-out or a Cancel; its
    // outcome must not reopen a check that is over.
    if (m_pModuleManager)
        disconnect(m_pModuleManager, nullptr, this, nullptr);
}

void DlgUpdateChecking::releaseModuleManager()
{
    // We are inside the manager's own signal delivery (itself inside its
    // downloader's): delete it only once that has unwound.
    if (m_pModuleManager)
        m_pModuleManager->deleteLater();
    m_pModuleManager = nullptr;
}

bool DlgUpdateChecking::OnUpdateQueryResult(QueryResultInfo result)
{
    const bool automatic = isAutomaticRun();

    if (!result.bSuccess) {
        if (!automatic)
            notifyReader(UPDATE_CHECK_ERRORNETWORK);
        setCheckHandled();
        nResult = -1;
        reject();
        // A query that reached something other than the update service (a
        // portal's page, an error document, a reply cut short, one over the
        // size bound) is as much a failed connection to the user as a refused
        // one. The box runs a nested loop: the manager is handed back only
        // after it, so that its deletion waits for the delivery we are inside.
        CReaderModuleManager::WarnCannotConnect();
        releaseModuleManager();
        return true;
    }

    if (!result.bHasUpdate) {
        if (!automatic)
            notifyReader(UPDATE_CHECK_FINISHED);
        releaseModuleManager();
        setCheckHandled();
        reject();
        return true;
    }

    // Only silent installs (or nothing at all) left: the controller decides
    // from the manager's lists.
    const int count = m_pModuleManager ? m_pModuleManager->CountAvailableModule() : 0;
    bool onlySilent = true;
    for (int i = 0; i < count; ++i) {
        const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (module && !module->SilentInstall) {
            onlySilent = false;
            break;
        }
    }
    if (count == 0 || onlySilent)
        return true;

    if (theApp) {
        theApp->SendProcData(std::string("Velto_Updater:_cstate") + "checking-complete");
        theApp->SendProcData(std::string("Velto_Updater:_cstate") + "downloading-begin");
    }
    if (!automatic)
        notifyReader(UPDATE_CHECK_CLOSE);

    DlgUpdatesTree list(m_pModuleManager, theApp, nullptr);
    setCheckHandled();
    // From here on the list owns the manager's fate (it may release it).
    m_pModuleManager = nullptr;
    list.exec();
    if (list.bHandled)
        reject();
    return true;
}

bool DlgUpdateChecking::CheckMajorVersionUpgrade(std::string version)
{
    const CSetup_CommandLine* cmd = theApp ? theApp->GetCommandLine() : nullptr;
    const QString own = cmd ? QString::fromStdString(cmd->GetReaderVersion()) : QString();
    int a[4];
    int b[4];
    splitVersion(QString::fromUtf8(version.c_str()), a);
    splitVersion(own, b);
    for (int i = 0; i < 4; ++i) {
        if (a[i] != b[i])
            return a[i] > b[i];
    }
    return false;
}

void DlgUpdateChecking::checkFinsh()
{
    nResult = 1;
    reject();
    endCheck();
    if (!m_pModuleManager)
        return;
    OnUpdateQueryResult(m_pModuleManager->GetQueryResultInfo());
}

void DlgUpdateChecking::ErrFinish()
{
    endCheck();
    reject();
}

void DlgUpdateChecking::ErrNetwork()
{
    endCheck();
    if (!isAutomaticRun())
        notifyReader(UPDATE_CHECK_ERRORNETWORK);
    nResult = -1;
    setCheckHandled();
    reject();
}

void DlgUpdateChecking::on_cancelButton_clicked()
{
    nResult = 0;
    endCheck();
    if (m_pModuleManager)
        m_pModuleManager->stopDownload();
    reject();
}

void DlgUpdateChecking::timeOut()
{
    qDebug() << "Update Time out";
    if (nResult != -1)
        return;
    nResult = -1;
    endCheck();
    // The reader waits for an answer even in an automatic run.
    notifyReader(UPDATE_CHECK_ERRORNETWORK);
    setCheckHandled();
    reject();
}
