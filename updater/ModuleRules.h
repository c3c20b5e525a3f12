#pragma once
// The rules that decide whether a module of the service's reply is worth
// offering, free of any manager state so the manager, the dialogs and the
// tests share one definition. The manager's members of the same names feed
// them the run's reader version.
#include "MODULEINFO.h"

#include <QString>
#include <QVector>

namespace ModuleRules {

// Versions are four decimal numbers separated by "."; missing fields repeat
// the last one ("11.2" is 11.2.2.2) and a piece that is not a number counts 0.
// 1 when a is greater, 0 when equal, -1 when a is smaller.
int CompareVersion(const QString& a, const QString& b);

// The four numbers that CompareVersion compares.
void SplitVersion(const QString& version, int out[4]);

// True when the updater module need not be offered to a reader of
// readerVersion. Any other module gives true.
bool CheckUpdaterAvailable(const MODULEINFO* module, const QString& readerVersion);

// True when what is installed is as new as the offer (the module is not offered).
bool CheckModuleAvailable(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local,
                          const QString& readerVersion);

// Like CheckModuleAvailable, but a module the reader does not have is not needed.
bool CheckAutoupdateModuleAvailable(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local);

// True when a forced upgrade applies to the module.
bool CheckForcedUpgradeVersion(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local);

// True when the list holds a rejection of this version (or a later one).
bool CheckHasRejectForcedUpgrade(const MODULEINFO* module,
                                 const QVector<_HasRejectForceUpdaterInfo*>& list);

// True when the major number of version is above the reader's.
bool CheckMajorVersionUpgrade(const QString& version, const QString& readerVersion);

// The local entry whose name equals the module's exactly, or null.
const _UpdaterInfo* FindLocalEntry(const MODULEINFO* module, const QVector<_UpdaterInfo*>& local);

// The version text with every blank removed.
QString WithoutBlanks(const std::string& version);

// "true" in any letter case (the reply's boolean attributes).
bool IsTrueNoCase(const QString& value);

} // namespace ModuleRules
