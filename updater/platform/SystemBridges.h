#pragma once
// Small bridges to the operating system that no run of the agent calls.
#include <QString>

// The machine's hardware identifier (the platform expert's "IOPlatformUUID" on
// macOS; the firmware's product UUID elsewhere, under the system root).
// Empty when it cannot be read.
QString GetHardwareUUID();

// Opens a file with its default application (empty application) or with the
// named one; true when the system accepted the request.
bool processMacAppOpenfile(QString application, QString file);
