// The update list's ways of putting an update off or turning it down, and
// the list-thinning operations of the automatic road.
#include "DlgUpdatesTree.h"
#include "ui_DlgUpdatesTree.h"

#include "CReaderModuleManager.h"
#include "CRegister.h"
#include "MajorUpgradeRecord.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// "LastDay" lives under the full HKEY_CURRENT_USER path; the skip values under
// the same key without it. The reader reads each where it is written.
const QString kCurrentUserUpdaterKey = QStringLiteral("HKEY_CURRENT_USER\\") + MajorUpgradeRecord::key();

// The integer before the first "." (the whole text without one; 0 when it is
// not a number).
int majorOf(const std::string& version)
{
    const QString text = QString::fromStdString(version);
    const int dot = text.indexOf(QLatin1Char('.'));
    return (dot < 0 ? text : text.left(dot)).toInt();
}

bool isUpdater(const MODULEINFO* module)
{
    return module && module->module_type == "updater";
}

} // namespace

void DlgUpdatesTree::OnComboxResolve(QString text)
{
    if (text == tr("Remind Me Later"))
        return;
    if (text == tr("Never remind me")) {
        OnNotInstall();
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime next;
    if (text == tr("After one day"))
        next = now.addDays(1);
    else if (text == tr("After one hour"))
        next = now.addSecs(3600);
    else if (text == tr("After six hours"))
        next = now.addSecs(21600);
    CRegister::regSetString(kCurrentUserUpdaterKey, QStringLiteral("LastDay"), next.toString(Qt::TextDate));
    reject();
    bHandled = true;
}

void DlgUpdatesTree::OnNotInstall()
{
    const QString title = QObject::tr("Velto PDF Reader") + tr(" Updater");
    const int answer = QMessageBox::information(
        this, title,
        tr("Are you sure you want to cancel the installation? If you don't install it, the system will "
           "skip this update until the next new version is detected."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        ui->combo_remind->setCurrentIndex(0);
        return;
    }
    // Every offered module is declined, whether it was checked or not.
    if (m_pModuleManager) {
        for (int i = 0; i < m_pModuleManager->CountAvailableModule(); ++i) {
            if (MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i))
                m_vecNotInstall.append(module);
        }
        m_pModuleManager->WriteRejectAutoUpdateInfo(m_vecNotInstall, true);
    }
    reject();
    bHandled = true;
}

void DlgUpdatesTree::OnSkip()
{
    if (m_pModuleManager) {
        QVector<MODULEINFO*> offered;
        for (int i = 0; i < m_pModuleManager->CountAvailableModule(); ++i)
            offered.append(m_pModuleManager->GetAvailabletModule(i));
        if (const MODULEINFO* major = MajorUpgradeRecord::findMajorReaderUpdate(offered)) {
            MajorUpgradeRecord::writeRejectedVersion(*major);
            MajorUpgradeRecord::setCheckedCount(3);
        }
    }
    reject();
    bHandled = true;
}

void DlgUpdatesTree::OnCancel()
{
    if (m_bConfirmOnClose && !confirmCancel())
        return;
    reject();
    releaseModuleManager();
    bHandled = true;
}

bool DlgUpdatesTree::CheckMajorVersionUpgrade(std::string version)
{
    if (!m_pModuleManager)
        return false;
    return m_pModuleManager->CheckMajorVersionUpgrade(QString::fromUtf8(version.c_str()));
}

void DlgUpdatesTree::AddModule(MODULEINFO* module)
{
    if (m_pModuleManager)
        m_pModuleManager->AddSelModule(module);
}

bool DlgUpdatesTree::IsModuleNeedUpdate(QVector<_UpdaterInfo*>& infos, std::string name)
{
    for (const _UpdaterInfo* info : infos) {
        if (!info || info->name != name)
            continue;
        if (info->paths.isEmpty())
            return true;
        return QFileInfo::exists(info->paths.first());
    }
    return false;
}

void DlgUpdatesTree::CheckZhAutoAvailableModule()
{
    if (!m_pModuleManager)
        return;
    QVector<_UpdaterInfo*> infos;
    m_pModuleManager->ParseUpdaterInfo(infos);
    for (int i = m_pModuleManager->CountAvailableModule() - 1; i >= 0; --i) {
        const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (!module)
            continue;
        const bool keep = isUpdater(module)
            || (!module->SilentInstall
                && (IsModuleNeedUpdate(infos, module->name) || module->isInternalService == "TRUE"));
        if (!keep)
            m_pModuleManager->RemoveAvailableModule(i);
    }
    m_pModuleManager->ReleaseUpdaterInfoList(infos);
}

void DlgUpdatesTree::FilterUpgrade()
{
    if (!m_pModuleManager)
        return;

    int n = m_pModuleManager->CountAvailableModule();
    int updaters = 0;
    int highestMajor = 0;
    bool anyMajorUpgrade = false;
    for (int i = n - 1; i >= 0; --i) {
        const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (!isUpdater(module))
            continue;
        ++updaters;
        if (module->bMajorUpgrade)
            anyMajorUpgrade = true;
        else
            highestMajor = qMax(highestMajor, majorOf(module->version));
    }

    if (!anyMajorUpgrade && updaters >= 2) {
        for (int i = n - 1; i >= 0; --i) {
            const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
            if (isUpdater(module) && majorOf(module->version) < highestMajor && n > 1)
                m_pModuleManager->RemoveAvailableModule(i);
        }
    }

    n = m_pModuleManager->CountAvailableModule();
    updaters = 0;
    for (int i = n - 1; i >= 0; --i) {
        if (isUpdater(m_pModuleManager->GetAvailabletModule(i)))
            ++updaters;
    }
    if (updaters < 2)
        return;
    for (int i = n - 1; i >= 0; --i) {
        const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (isUpdater(module) && !CheckMajorVersionUpgrade(module->version) && n > 1)
            m_pModuleManager->RemoveAvailableModule(i);
    }
}
