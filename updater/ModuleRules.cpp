#include "ModuleRules.h"

#include <QFileInfo>

namespace ModuleRules {

void SplitVersion(const QString& version, int out[4])
{
    QString rest = version;
    for (int i = 0; i < 3; ++i) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        const QString piece = dot < 0 ? rest : rest.left(dot);
        if (dot >= 0)
            rest = rest.mid(dot + 1);
        bool ok = false;
        const int value = piece.toInt(&ok, 10);
        out[i] = ok ? value : 0;
    }
    bool ok = false;
    const int value = rest.toInt(&ok, 10);
    out[3] = ok ? value : 0;
}

int CompareVersion(const QString& a, const QString& b)
{
    int va[4];
    int vb[4];
    SplitVersion(a, va);
    SplitVersion(b, vb);
    for (int i = 0; i < 4; ++i) {
        if (va[i] > vb[i])
            return 1;
        if (va[i] < vb[i])
            return -1;
    }
    return 0;
}

QString WithoutBlanks(const std::string& version)
{
    QString text = QString::fromStdString(version);
    text.remove(QLatin1Char(' '));
    return text;
}

bool IsTrueNoCase(const QString& value)
{
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

const _UpdaterInfo* FindLocalEntry(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local)
{
    for (const _UpdaterInfo* entry : local) {
        if (entry && entry->name == module->name)
            return entry;
    }
    return nullptr;
}

bool CheckUpdaterAvailable(const MODULEINFO* module, const QString& readerVersion)
{
    if (module->module_type != "updater")
        return true;
    if (module->is_push)
        return false;
    return CompareVersion(QString::fromStdString(module->version), readerVersion) != 1;
}

bool CheckModuleAvailable(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local,
                          const QString& readerVersion)
{
    if (module->module_type == "updater")
        return CheckUpdaterAvailable(module, readerVersion);
    if (module->iscommon)
        return true;
    const _UpdaterInfo* entry = FindLocalEntry(module, local);
    if (!entry)
        return false;
    return CompareVersion(WithoutBlanks(entry->version), WithoutBlanks(module->version)) >= 0;
}

bool CheckAutoupdateModuleAvailable(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local)
{
    const _UpdaterInfo* entry = FindLocalEntry(module, local);
    if (!entry)
        return true;
    return CompareVersion(WithoutBlanks(entry->version), WithoutBlanks(module->version)) >= 0;
}

bool CheckForcedUpgradeVersion(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local)
{
    if (module->module_type == "updater" && module->forcedUpgrade)
        return true;
    const _UpdaterInfo* entry = FindLocalEntry(module, local);
    if (!entry)
        return true;
    for (const QString& path : entry->paths) {
        if (!QFileInfo::exists(path))
            return true;
    }
    return CompareVersion(WithoutBlanks(module->version), WithoutBlanks(entry->version)) == 1;
}

bool CheckHasRejectForcedUpgrade(const MODULEINFO* module,
                                 const QVector<_HasRejectForceUpdaterInfo*>& list)
{
    for (const _HasRejectForceUpdaterInfo* entry : list) {
        if (entry && entry->name == module->name)
            return CompareVersion(QString::fromStdString(entry->version),
                                  QString::fromStdString(module->version)) >= 0;
    }
    return false;
}

bool CheckMajorVersionUpgrade(const QString& version, const QString& readerVersion)
{
    const auto major = [](const QString& text) {
        const int dot = text.indexOf(QLatin1Char('.'));
        bool ok = false;
        const int value = (dot < 0 ? text : text.left(dot)).toInt(&ok, 10);
        return ok ? value : 0;
    };
    return major(version) > major(readerVersion);
}

} // namespace ModuleRules
