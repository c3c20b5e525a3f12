#pragma once
// The engine's model of one update: the update query, the reply parsed into
// module records, the available list, the user's selection, the current
// download, and the relay of the hidden download window's progress to the
// download-and-install list.
//
// Ownership: the available list owns its records. The all-records list, the
// selected list and the current download only point into them, and every
// deletion of a record removes it from those first, so no list ever holds a
// freed record.
#include "MODULEINFO.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVector>
#include <string>

class CXML_Element;
class DlgDownload;
class QHttpDownLoadS;
class QProgressBar;

class CReaderModuleManager : public QObject
{
    Q_OBJECT
public:
    CReaderModuleManager(QString type, QObject* parent = nullptr);
    ~CReaderModuleManager() override;

    // QLocale language and country numbers from the reader's preferences.
    void setLangParm(int language, int country);

    // ---- update query ----
    // 0 when the transfer was started (its outcome arrives as a signal);
    // 1 when nothing was started (reply folder not creatable, address or file
    // refused by the downloader, transfer not started): no signal follows.
    int QueryModuleInfo(QProgressBar* progressBar, bool wait);
    // The query string (without "?") for the given add-on text.
    QString GetHttpURL(QString addon);
    // The box that tells the user the service could not be reached (a
    // failed transfer, or a reply that is no answer of the service). It runs a
    // nested event loop.
    static void WarnCannotConnect();

    // ---- reply parsing ----
    void OnPaserModuleInfo(QString path);
    void ParseModuleInfo(CXML_Element* element, MODULEINFO* module);
    MODULEINFO* AddModule(QString type);
    bool CheckUpdateTime(CXML_Element* root);
    QString GetScheduleTimePath();
    void ParseUpdaterInfo(QVector<_UpdaterInfo*>& list);
    void ReleaseUpdaterInfoList(QVector<_UpdaterInfo*>& list);
    void ReleaseModuleInfo();

    // ---- filtering and rejection records ----
    static int CompareVersion(QString a, QString b);
    bool CheckModuleAvailable(MODULEINFO* module, QVector<_UpdaterInfo*>& local);
    bool CheckUpdaterAvailable(MODULEINFO* module, bool flag = false);
    bool CheckAutoupdateModuleAvailable(MODULEINFO* module, QVector<_UpdaterInfo*>& local);
    bool CheckForcedUpgradeVersion(MODULEINFO* module, QVector<_UpdaterInfo*>& local);
    void ParseHasRejectForceUpdaterInfo(QVector<_HasRejectForceUpdaterInfo*>& list);
    bool CheckHasRejectForcedUpgrade(MODULEINFO* module, QVector<_HasRejectForceUpdaterInfo*>& list);
    void ParseHasRejectAutoUpdaterInfo(QVector<_HasRejectAutoUpdaterInfo*>& list);
    void DeleteHasRejectAutoUpdaterInfo(QVector<MODULEINFO*>& modules,
                                        QVector<_HasRejectAutoUpdaterInfo*>& list);
    bool CheckMajorVersionUpgrade(QString version);
    bool DeletePatchUpdate();
    bool DeleteVeltoCloud();
    void WriteRejectAutoUpdateInfo(QVector<MODULEINFO*> modules, bool flag = false);
    bool ParseRejectAutoUpdateInfo(std::string name, std::string version);
    void WriteRejectInfo();
    bool CheckVersionUpdate();
    bool MajorUpdateChecked(MODULEINFO* module);

    // ---- query result and available list ----
    QueryResultInfo GetQueryResultInfo() const { return m_queryResult; }
    int CountAvailableModule() const { return m_vecAvailable.size(); }
    // Null for an index out of range.
    MODULEINFO* GetAvailabletModule(int index) const;
    void RemoveAvailableModule(int index);
    MODULEINFO* CloneAvailableModuleInfo(MODULEINFO* module);
    bool isSilentUpdate() const;

    // ---- selection ----
    int CountSelModules() const { return m_vecSelected.size(); }
    MODULEINFO* GetSelModule(int index) const;
    void AddSelModule(MODULEINFO* module);
    // The first available module whose name contains the trimmed text; an
    // empty text selects nothing.
    void AddSelModule(QString name);
    int GetModuleSelIndex(const MODULEINFO* module) const;
    MODULEINFO* GetNextSelModule(const MODULEINFO* module) const;

    // ---- current download ----
    void SetCurDownloadModuleInfo(MODULEINFO* module) { m_pCurDownload = module; }
    MODULEINFO* GetCurDownloadModule() const { return m_pCurDownload; }

    // ---- download control ----
    void Download(const MODULEINFO* module);
    void startDownload() { m_bDownloadBusy = false; }
    void stopDownload();
    void OnDownloadPause();
    void OnDownloadResume();
    bool QueryStopDownload() const { return true; }
    bool CanExitThred() const { return m_bStop; }

    QString GetLocalLangName() const;
    static bool ModuleCallback(std::string type, CReaderModuleManager* manager, bool flag);
    static QString HMac(QByteArray key, QByteArray message);

    // A package address of the internal road keeps only its path; it is
    // fetched from the internal update address's scheme, host and port. Any
    // other address is used as it is.
    static QUrl ResolvePackageUrl(const std::string& url);

    // The hidden download window, made on the first call (null when none
    // could be made, or once it went).
    DlgDownload* GetDownloadWindow();
    QString GetReplyPath() const { return m_strReplyPath; }
    bool IsQueryBusy() const { return m_bQueryBusy; }
    // The reply parser applies "majorUpdate" and forced upgrades only when set.
    void SetAutoMode(bool on) { m_bAutoMode = on; }
    QString GetLastLocalVersion() const { return m_strLastLocalVersion; }

    // Largest reply or local list that is read; a bigger file counts as unreadable.
    static constexpr qint64 kMaxXmlFileSize = 16 * 1024 * 1024;

signals:
    void sQueryModuleInfoFinish();
    // A query whose transfer failed: sErrorNetwork() at once (once per query),
    // then the "Cannot connect" box, then sErrorFinish() once it is closed.
    void sErrorFinish();
    void sErrorNetwork();
    void sSendDownloadProgress(QString, double);
    void sSendInstallProgress(QString, int);
    void sSendInstallPkg(QString);

public slots:
    void slotQueryModuleInfoFinish(QString filePath);
    void errorfinish(QString filePath);
    void error_network();
    void getDownProgress(QString name, double npos);
    void setInstallProgress(QString name, int npos);
    void startInstall(QString name);
    void Slot_SetCurrentDownloadModule(QString name);

private:
    // Removes a record from every non-owning list and the current download,
    // then deletes it. The caller has already taken it off the available list.
    void destroyRecord(MODULEINFO* module);
    // Reads a whole file of at most kMaxXmlFileSize bytes; false when it
    // cannot be opened or is too large.
    static bool readBoundedFile(const QString& path, QByteArray& out);
    QString readerVersion() const;

    // The download window's plug points (CReaderModuleManagerWindow.cpp).
    void createDownloadWindow();
    DlgDownload* madeDownloadWindow() const;   // null while none was made
    bool windowStart();          // false when there is no window
    void windowCancel();
    void windowPause();
    void windowResume();

    QueryResultInfo m_queryResult;
    QPointer<QObject> m_pDownloadWindow;   // a DlgDownload, or null
    bool m_bDownloadWindowMade = false;
    bool m_bAutoMode = false;
    QString m_strType;
    QString m_strReplyPath;
    QString m_strReaderPath;
    bool m_bQueryBusy = false;
    // The current query's failure has gone out as sErrorNetwork().
    bool m_bQueryFailureSignalled = false;
    QHttpDownLoadS* m_pQueryDownloader = nullptr;
    bool m_bStop = false;
    int m_nLanguage = 0;
    int m_nCountry = 0;
    bool m_bDownloadBusy = false;
    QVector<MODULEINFO*> m_vecAllModules;
    QVector<MODULEINFO*> m_vecAvailable;
    QVector<MODULEINFO*> m_vecSelected;
    QString m_strLastLocalVersion;
    MODULEINFO* m_pCurDownload = nullptr;
};
