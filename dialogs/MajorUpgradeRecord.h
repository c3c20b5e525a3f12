#pragma once
// The reader's record of a major reader upgrade the user has answered, kept in
// the reader's settings: the version that was turned down
// ("UpdateRejectVersion") and the major-upgrade prompt's counter
// ("MajorUpdateChecked", 3 once the user has asked for more information).
// The update list's Skip and the major-upgrade prompt write the same values.
#include <QString>
#include <QVector>

struct MODULEINFO;

namespace MajorUpgradeRecord {

// The settings key of both values (no "HKEY_CURRENT_USER\" in front: the
// reader reads them there).
QString key();

// The first module of type "updater" that is a major upgrade, or null.
const MODULEINFO* findMajorReaderUpdate(const QVector<MODULEINFO*>& modules);

// Writes the module's version as the rejected one.
void writeRejectedVersion(const MODULEINFO& module);

quint32 checkedCount();
void setCheckedCount(quint32 value);

} // namespace MajorUpgradeRecord
