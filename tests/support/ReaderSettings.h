#pragma once
// The reader's side of the settings, as tests arrange and inspect it.
#include <QString>
#include <memory>

class QSettings;

// Settings name of "LastDay" as QSettings stores it.
extern const QString kLastDayName;

// Chooses the continuous or "Classic" layout in the reader's LocalMachine.plist
// under the test's system root.
void setReaderLayout(bool continuous);

// The reader's per-user settings.
std::unique_ptr<QSettings> readerSettings();
