#pragma once
// The engine's controller: chooses the run's job from the command line, owns
// the module manager, runs the dialogs modally, holds the flags that the
// manager and the dialogs share, and offers small services to the whole agent
// (data folders, package type, language, reader window centre, MAC text).
// main creates exactly one, publishes it as theApp and never deletes it.
#include "Comm.h"
#include "ComponentInfo.h"
#include "UpdateCheckState.h"
#include "FolderWalk.h"
#include "LanguageFiles.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <string>

class CSetup_CommandLine;
class CReaderModuleManager;
class UpdateListener;
class QLocalSocket;
class QWidget;
class dlgfound;

class UpdaterApp : public QObject
{
    Q_OBJECT
public:
    // The job a command line asks for, in the order the controller tests them.
    enum class Job {
        RelaunchRequest,   // "insForceUpdate"
        CheckRun,          // "run": visible check, the dialog starts before it shows
        CheckUpdater,      // "updater" with "Update List" or "Auto Updater"
        Component,         // "updater" with any other non-empty type
        Install,           // "install" without "run" and "updater"
        Nothing            // no switch, or "updater" with an empty type
    };

    UpdaterApp(CSetup_CommandLine* commandLine, QObject* parent = nullptr);
    ~UpdaterApp() override;

    // Starts the running probe, then performs the job.
    void runUpdate(int language, int country);
    // Renews the unpack folder and performs the job chosen by the command line.
    void runUpdateVisible(int language, int country);

    // Sends one outcome to the reader (and its marker file with an internal
    // update address).
    void NotifyMainCallBack(UPDATE_CHECK_STATE state);

    // Per-user data root: <generic data>/Velto Software/<Continuous|Classic>/
    static QString GetAppDateRootPath();
    // The product's data folder: the root + "Velto PDF Reader/".
    static QString GetAppDatePath();
    // Clears the unpack folders of earlier runs and makes a new one named
    // after the current time ("updater/uncompress/<seconds>" below the root).
    // The working folders are the agent's own: a link in place of any of them
    // is removed, so neither the clean-up nor a package reaches where it
    // points. Empty when the folder cannot be made.
    static QString MakeFreshUncompressFolder();
    // True when `path` is the data root or lies below it.
    static bool IsAgentFolderPath(const QString& path);
    // Opens `path`, the data root or a folder below it, one level at a time
    // from the generic data folder down without following a link: the levels
    // down to the root are the reader's as well (made when missing, a link
    // there refused); those below are the agent's own (with MakeOwn a link
    // there is removed and the folder made). A close-on-exec descriptor, or
    // -1 (also for a path outside the root).
    static int OpenAgentFolder(const QString& path, Platform::FolderWalk walk);

    // "name" of "packagetype.xml" in the agent's own bundle resources, else in
    // the enclosing bundle's; empty when neither can be read. Reads no
    // controller state, so it can be called before theApp exists.
    static QString GetPackageType();
    // The same lookup starting from a given executable folder.
    static QString GetPackageTypeFrom(const QString& executableDir);

    // Locale name of the reader's language ("en-US" when the table lacks it).
    std::string GetLang();
    std::string GetProductName();
    // Hardware addresses ("-" separated, each followed by "|") + the host name.
    std::string GetMacAddress();
    // The console user's preference plist of the reader.
    std::string GetCurrentUserPlist();
    // "<major>.<minor>" of the reader's version; empty with fewer than 3 parts.
    QString GetBigVersioin();

    // Centre of the reader's window from its preferences, else of the screen.
    static QPoint GetMainAppCenterPos();
    // Centres the widget in the area (nothing for an empty or invalid area).
    static void ResetPostion(QRect area, QWidget* widget);

    // Opens the download-and-install list modally (called by the module
    // manager's module callback).
    void ShowDownloadDlg(std::string type, bool& flag, bool a, bool b, bool c,
                         CReaderModuleManager* manager);

    // Kept for callers of the platform hand-off; they do nothing here.
    void SendProcData(const std::string& data);
    bool RunCommandLine(std::string command, bool& flag);

    // The job a parsed command line asks for.
    static Job chooseJob(const CSetup_CommandLine& commandLine);

    // For windows used without a run of their own (tests): the run's language
    // and the module manager that runUpdateVisible would otherwise set up.
    void SetRunLanguage(int language, int country)
    {
        m_nLanguage = language;
        m_nCountry = country;
    }
    void SetModuleManager(CReaderModuleManager* manager);
    // Where a check takes the run's language from once its window is up
    // (main: the console user's choice, installed then): the window and the
    // query need not wait for the slow console-user lookup. Without one, the
    // numbers given to runUpdate stand.
    void SetLanguageSource(std::function<LanguageChoice()> source) { m_languageSource = std::move(source); }

    CSetup_CommandLine* GetCommandLine() const { return m_pCommandLine; }
    // Null until runUpdateVisible creates it, and again once the check dialog
    // has released it.
    CReaderModuleManager* GetModuleManager() const
    {
        return m_moduleManagerGuard ? m_pModuleManager : nullptr;
    }
    // The run's unpack folder ("updater/uncompress/<start seconds>"), empty
    // until runUpdateVisible has made it.
    QString GetUncompressPath() const { return m_strUncompressPath; }
    int GetLanguage() const { return m_nLanguage; }
    int GetCountry() const { return m_nCountry; }
    std::string GetReaderVersion() const { return m_strReaderVersion; }
    std::string GetReaderPath() const { return m_strReaderPath; }
    UpdateListener* GetListener() const { return m_pListener; }

    // Run flags shared with the module manager and the dialogs.
    bool bCheckHandled = false;    // the check dialog dealt with the outcome itself
    bool bReplyParsed = false;     // written by the reply parser
    bool bMajorUpdate = false;     // written by the reply parser
    bool bInternalUpdate = false;  // the query used the internal update address
    bool bRollBack = false;        // roll-back run (reply or command line)
    bool bForceUpgrade = false;    // only forced-upgrade modules may be installed

    // Texts of the major-upgrade prompt (nothing in the agent fills them).
    QString m_strMajorButtonText;
    QString m_strMajorTitle;
    QString m_strMajorContent;

    // Set when the run is over: main returns instead of entering the event loop.
    bool bQuit = false;

private:
    bool sendToReader(const QString& text);
    void relaunchRequest();
    void checkRoad();
    // The language from the source above, for the controller and the manager.
    void takeLanguage();
    // What a visible check leaves to the controller, from the dialog's result.
    void finishCheck(int result);
    void installRoad();
    void componentRoad();
    // The component road after the prompt was accepted: query, select, list.
    void componentDownload();

    const QString m_strServerName;
    QPointer<QLocalSocket> m_pSocket;
    CSetup_CommandLine* m_pCommandLine;
    CReaderModuleManager* m_pModuleManager = nullptr;
    QPointer<QObject> m_moduleManagerGuard;   // clears when the manager is gone
    UpdateListener* m_pListener;
    std::function<LanguageChoice()> m_languageSource;
    int m_nLanguage = 0;
    int m_nCountry = 0;
    std::string m_strReaderVersion;
    std::string m_strReaderPath;
    QString m_strUncompressPath;
};

extern UpdaterApp* theApp;
// The download-and-install list while ShowDownloadDlg runs it, else null.
extern dlgfound* g_curr_dlgfound_ptr;

// The platform's service hand-off of a relaunch request; does nothing here.
bool RunUpdaterFromService(QString command);
