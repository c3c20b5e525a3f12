// The manager's filters and the rejection records in the reader's settings.
#include "CReaderModuleManager.h"

#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "CUP_Log.h"
#include "ModuleRules.h"
#include "UpdaterApp.h"

namespace {
const QString kUpdaterKey = QStringLiteral("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");
}

int CReaderModuleManager::CompareVersion(QString a, QString b)
{
    return ModuleRules::CompareVersion(a, b);
}

bool CReaderModuleManager::CheckModuleAvailable(MODULEINFO* module, QVector<_UpdaterInfo*>& local)
{
    return ModuleRules::CheckModuleAvailable(module, local, readerVersion());
}

bool CReaderModuleManager::CheckUpdaterAvailable(MODULEINFO* module, bool)
{
    return ModuleRules::CheckUpdaterAvailable(module, readerVersion());
}

bool CReaderModuleManager::CheckAutoupdateModuleAvailable(MODULEINFO* module, QVector<_UpdaterInfo*>& local)
{
    return ModuleRules::CheckAutoupdateModuleAvailable(module, local);
}

bool CReaderModuleManager::CheckForcedUpgradeVersion(MODULEINFO* module, QVector<_UpdaterInfo*>& local)
{
    return ModuleRules::CheckForcedUpgradeVersion(module, local);
}

void CReaderModuleManager::ParseHasRejectForceUpdaterInfo(QVector<_HasRejectForceUpdaterInfo*>& list)
{
    // No rejection of a forced upgrade is ever recorded, so there is nothing to load.
    qDeleteAll(list);
    list.clear();
}

bool CReaderModuleManager::CheckHasRejectForcedUpgrade(MODULEINFO* module,
                                                       QVector<_HasRejectForceUpdaterInfo*>& list)
{
    return ModuleRules::CheckHasRejectForcedUpgrade(module, list);
}

void CReaderModuleManager::ParseHasRejectAutoUpdaterInfo(QVector<_HasRejectAutoUpdaterInfo*>&) {}

void CReaderModuleManager::DeleteHasRejectAutoUpdaterInfo(QVector<MODULEINFO*>&,
                                                          QVector<_HasRejectAutoUpdaterInfo*>&) {}

bool CReaderModuleManager::CheckMajorVersionUpgrade(QString version)
{
    CUP_Log::PrintLog(QStringLiteral("CheckMajorVersionUpgrade; version: %1").arg(version));
    return ModuleRules::CheckMajorVersionUpgrade(version, readerVersion());
}

bool CReaderModuleManager::DeletePatchUpdate()
{
    int updater = -1;
    int patch = -1;
    for (int i = 0; i < m_vecAvailable.size(); ++i) {
        const QString name = QString::fromStdString(m_vecAvailable.at(i)->name);
        if (name.contains(QLatin1String("Updater")))
            updater = i;
        if (name.contains(QLatin1String("Patch")))
            patch = i;
    }
    if (updater >= 0 && patch >= 0)
        destroyRecord(m_vecAvailable.at(patch));
    return true;
}

bool CReaderModuleManager::DeleteVeltoCloud()
{
    QVector<MODULEINFO*> internal;
    for (MODULEINFO* module : m_vecAvailable) {
        if (module->update_mode == 2
            && QString::fromStdString(module->isInternalService).startsWith(QLatin1String("TRUE")))
            internal.append(module);
    }
    // Taken off the list they are nobody's: delete them rather than leak them.
    for (int i = internal.size() - 1; i >= 0; --i)
        destroyRecord(internal.at(i));
    return true;
}

void CReaderModuleManager::WriteRejectAutoUpdateInfo(QVector<MODULEINFO*> modules, bool)
{
    for (const MODULEINFO* module : modules) {
        if (!module)
            continue;
        CRegister::regSetString(QStringLiteral("AutoUpdate_") + QString::fromStdString(module->name),
                                QString(), QString::fromStdString(module->version));
    }
    CRegister::regSetString(QStringLiteral("currentVersion"), QString(), readerVersion());
}

bool CReaderModuleManager::ParseRejectAutoUpdateInfo(std::string name, std::string version)
{
    const QString rejected =
        CRegister::regGetString(QStringLiteral("AutoUpdate_") + QString::fromStdString(name), QString());
    const QString current = CRegister::regGetString(QStringLiteral("currentVersion"), QString());
    const QString wanted = QString::fromStdString(version);
    return !current.isEmpty() && current == readerVersion() && !wanted.isEmpty() && rejected == wanted;
}

void CReaderModuleManager::WriteRejectInfo() {}

bool CReaderModuleManager::CheckVersionUpdate()
{
    for (const MODULEINFO* module : m_vecAvailable) {
        if (module->module_type == "updater")
            return true;
    }
    return false;
}

bool CReaderModuleManager::MajorUpdateChecked(MODULEINFO* module)
{
    const QString rejected = CRegister::regGetString(kUpdaterKey, QStringLiteral("UpdateRejectVersion"));
    const quint32 count = CRegister::regGetDword(kUpdaterKey, QStringLiteral("MajorUpdateChecked"));
    const QString version = QString::fromStdString(module->version);
    CUP_Log::PrintLog(QStringLiteral("MajorUpdateChecked: UpdateRejectVersion(%1), MajorUpdateChecked(%2), version(%3)")
                          .arg(rejected).arg(count).arg(version));
    if (ModuleRules::CompareVersion(version, rejected) == 1)
        return true;
    return count < 3;
}
