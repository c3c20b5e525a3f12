#pragma once
// The agent's seams to the operating system. Every fixed system path, the
// update service's base address and every fixed wait go through here, so that
// a non-macOS build can be pointed at a test root, a loopback service and a
// faster clock through the environment:
//   UPDATER_SYSTEM_ROOT   prefix for every fixed absolute system path (non-macOS)
//   UPDATER_SERVICE_BASE  replaces "https://" + host for the update services
//   UPDATER_TIME_SCALE    multiplies every fixed wait of one second or more
#include <QString>

namespace Platform {

// A fixed absolute system path such as "/usr/local/share/velto/..." or
// "/Library/Receipts/InstallHistory.plist", resolved for this build.
QString systemPath(const QString& absolutePath);

// True when UPDATER_SYSTEM_ROOT is set (always false on macOS).
bool hasSystemRoot();

// "https://" + host, or UPDATER_SERVICE_BASE (without a trailing "/") when set.
QString serviceBase(const QString& host);

// A fixed wait in milliseconds, scaled by UPDATER_TIME_SCALE when it is one
// second or more. Never below 1 ms for a positive input.
int scaledWait(int milliseconds);

// The factor itself (1.0 when unset or invalid).
double timeScale();

} // namespace Platform
