#pragma once
// The update query's address, built from plain inputs so that both roads can
// be checked without a network or a controller.
//
// Add-ons query service hosts. These are the only place the host names live;
// UPDATER_SERVICE_BASE (Platform::serviceBase) replaces "https://" + host for
// both, so tests and the demo point them at a loopback server.
#include <QString>

namespace UpdateQuery {

inline const char* const kGlobalAddonsHost = "addons.velto.example";
inline const char* const kChinaAddonsHost = "addons.velto-cn.example";

struct Params
{
    QString addon;            // the manager's type text
    QString settingsEdition;  // "Edition" of the reader's machine settings
    QString readerVersion;    // command line
    QString readerLang;       // command line
    QString edition;          // command line
    QString agentId;          // "AgentID" of the reader's settings
    QString packageType;      // command line
};

// The query string without "?" (GetHttpURL).
QString BuildQuery(const Params& params);

// "https://<host>/check?" for the package type "zh-CN", else
// "https://<host>/addons/get_addons.php?", under UPDATER_SERVICE_BASE when set.
QString ServiceBase(const QString& packageType);

struct InternalParams
{
    int utcOffsetHours = 0;   // truncated toward zero
    QString mac;
    QString email;
    QString updaterType;      // command line's type
};

// What the internal road appends to the query. The e-mail is percent-encoded
// so that "+" and "&" reach the service intact.
QString InternalSuffix(const InternalParams& params);

// Whole hours of the local time's offset from UTC, truncated toward zero.
int CurrentUtcOffsetHours();

} // namespace UpdateQuery
