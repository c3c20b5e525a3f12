#pragma once
// The download-and-install list: one row per chosen module (title, size,
// progress) while the hidden download window downloads, unpacks and installs
// them. The list only follows the work through the module manager's relay
// signals and steers it with Download / Pause / Continue / OK.
#include <QDialog>
#include <QMap>
#include <QModelIndex>
#include <QString>
#include <string>

class CReaderModuleManager;
class QCloseEvent;
class QKeyEvent;
class QStandardItem;
class QStandardItemModel;
struct MODULEINFO;

class Ui_dlgfound;

class dlgfound : public QDialog
{
    Q_OBJECT
public:
    // What btn_download does next.
    enum DownloadState {
        StateNone = 0,         // before the list is filled: a click does nothing
        StateReady = 1,        // "Download"
        StateDownloading = 2,  // "Pause"
        StateSuspended = 3,    // "Continue"
        StateFinished = 4      // "OK": nothing left to download
    };

    // Only autoStart has an effect; flag2 is kept. A null manager makes a new
    // one of the mode, which this list does not delete (the download window
    // may still point into its records).
    dlgfound(std::string mode, bool flag1, bool flag2, bool autoStart, bool flag4,
             CReaderModuleManager* manager, QWidget* parent = nullptr);
    ~dlgfound() override;

    void InitDialog();
    // first empty: leave through OnExit. second "1": add to a running list;
    // anything else starts the list over.
    void OnDownloadQueryResult(QString first, QString second);
    void OnDownload();
    // Hands the selected module after `module` (the first for null) to the
    // manager, or marks the list as finished when there is none.
    void DownloadModule(MODULEINFO* module);
    void OnExit();
    bool CanFindAppointItem(MODULEINFO* module);
    bool AddModuleToDownloadList(std::string name);
    void QueryUpdateThreadProc();

    int downloadState() const { return m_nDownloadState; }
    CReaderModuleManager* moduleManager() const { return m_pManager; }

public slots:
    void OnCancel();
    void downloadInstall();
    void OnTreeViewClicked(QModelIndex qmi);
    void showDownloadProgress(QString name, double percent);
    void showInstallProgress(QString name, int percent);
    void startInstallPkg(QString qsName);
    void OnAppearanceSetting(bool isDarkMode);
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The quit question; true for Yes.
    bool confirmQuit();
    void setStateFinished();
    QString progressText(const QString& title) const;
    // Hands the module DownloadModule chose to the manager, unless the user
    // has paused since.
    void startPendingDownload();

    bool m_bAutoStart = false;
    int m_nDownloadState = StateNone;
    bool m_bSecondFlag = false;
    std::string m_strMode;
    bool m_bUpdaterRow = false;
    CReaderModuleManager* m_pManager = nullptr;
    MODULEINFO* m_pPendingStart = nullptr;   // chosen, not yet handed to the manager
    QStandardItemModel* m_pModel = nullptr;
    Ui_dlgfound* ui = nullptr;
    QMap<QString, MODULEINFO*> m_mapModules;
    QMap<QString, QStandardItem*> m_mapNameItems;
    QMap<QString, QStandardItem*> m_mapProgressItems;
};
