#include "MajorUpgradeRecord.h"

#include "CRegister.h"
#include "MODULEINFO.h"

namespace MajorUpgradeRecord {

QString key()
{
    return QStringLiteral("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");
}

const MODULEINFO* findMajorReaderUpdate(const QVector<MODULEINFO*>& modules)
{
    for (const MODULEINFO* module : modules) {
        if (module && module->module_type == "updater" && module->bMajorUpgrade)
            return module;
    }
    return nullptr;
}

void writeRejectedVersion(const MODULEINFO& module)
{
    CRegister::regSetString(key(), QStringLiteral("UpdateRejectVersion"), QString::fromStdString(module.version));
}

quint32 checkedCount()
{
    return CRegister::regGetDword(key(), QStringLiteral("MajorUpdateChecked"));
}

void setCheckedCount(quint32 value)
{
    CRegister::regSetDword(key(), QStringLiteral("MajorUpdateChecked"), value);
}

} // namespace MajorUpgradeRecord
