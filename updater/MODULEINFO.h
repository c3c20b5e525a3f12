#pragma once
// The plain records that carry one update query's outcome from the module
// manager to the dialogs. They have no behaviour of their own: the reply
// parser fills them, the filters judge them, the dialogs read them.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

// One module offered by the update service. Texts hold UTF-8.
struct MODULEINFO
{
    std::string type;          // the manager's type text when the record was made
    std::string name;
    std::string version;
    std::string description;
    std::string size;
    std::string url;           // on the internal road: the URL's decoded path only
    std::string level;
    std::string regkey;
    bool result = false;       // "true" in any letter case
    bool bChosen = false;
    std::string module_type;   // "updater", "service", "basic", ...
    std::string parent;
    std::string title;
    bool plugin = false;
    bool isnew = false;
    bool iscommon = false;
    int32_t update_mode = 0;
    std::string isInternalService;
    std::string hasGlacierPDFStandard;   // "TRUE" when the attribute is present at all
    std::string GlacierPDFStandard;
    bool forcedUpgrade = false;
    bool bForceSelected = false;
    bool SilentInstall = false;
    std::string releaseDate;
    std::string md5;           // kept as sent; nothing checks a download against it
    bool bMajorUpgrade = false;
    bool bOCR = false;
    bool is_push = false;
    std::string upgTipBtn;
    std::string upgTipTitle;
    std::string upgTipContent;
    bool autoCheck = false;
    bool pushUpdateTip = false;
};

// The outcome of one update query, copied out of the manager by value.
struct QueryResultInfo
{
    bool bSuccess = false;     // an update document reached the parser (false: a failed query)
    QString strText;           // message text (always empty)
    bool bHasUpdate = false;   // a module was offered
    bool bUpdateMode2 = false; // a module of update mode 2 survived the filters
};

// One entry of the reader's local module list ("UpdaterInfo.xml").
struct _UpdaterInfo
{
    std::string name;
    std::string version;
    QStringList paths;         // "path" attributes of the entry's children
};

// A rejected forced upgrade (the list that holds these is always empty).
struct _HasRejectForceUpdaterInfo
{
    std::string name;
    std::string version;
    std::string extra;
};

// A rejected automatic update (never created; kept for the list's type).
struct _HasRejectAutoUpdaterInfo
{
    std::string name;
    std::string version;
    std::string currentVersion;
    std::string extra;
};
