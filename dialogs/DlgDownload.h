#pragma once
// The hidden download window: works through the selected modules in order,
// one downloader per module, and hands every package that arrives to the
// unpack-and-install steps (DlgDownloadInstall.cpp). Nobody looks at the
// window itself; its signals carry the work to the module manager, which
// relays them to the download-and-install list.
//
// Every module ends with exactly one install outcome on SignalInstallProgress
// (0 unpacking, 20 unpacked, 90 and 100 confirmed, or -1 failed) and then the
// chain moves on. The only exception is an install history that cannot be
// read at all: the outcome is -1 and the chain ends there, since no later
// install could be confirmed either.
#include "MODULEINFO.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QVector>
#include <memory>

namespace Ui {
class DlgDownload;
}

class QHttpDownLoadS;
class QTimer;

// One installer entry of a package's "Setup.xml".
struct _SetupInfo
{
    QString name;        // full path: unpack folder + "/" + the "name" attribute
    QString parameter;   // read and kept; nothing uses it
    bool iscommon = false;
};

// True when a line of the process listing ends with `name` (the reader's
// executable started without arguments). The number at the start of each
// matching line is appended to `ids`.
bool CheckMacProcessRunning(const QString& name, QList<qulonglong>& ids);

class DlgDownload : public QMainWindow
{
    Q_OBJECT
public:
    explicit DlgDownload(QWidget* parent = nullptr);
    ~DlgDownload() override;

    // Replaces the module list (the records belong to the module manager).
    void setSelectUpdates(QVector<MODULEINFO*> list);
    // Starts at the first module; does nothing for an empty list.
    void startShowDownload();
    void pauseDown();
    void new_continue_download();
    // Moves the downloaded JavaScript plug-ins ("updater/JS*") into the
    // product's "SilentInstall/JavaScripts", replacing installed ones.
    // False when one of them could not be put in place.
    bool copyJSPlugin();

    // Unpacks one package into `folder` and hands each installer of its
    // "Setup.xml" to the system installer. With both flags set, the install
    // waits (with a "Retry" box) until the reader has been closed.
    void InstallKzip(QString package, QString folder, bool first, bool second);
    // The installer entries of folder + "Setup.xml", in document order.
    // Entries whose name is empty, absolute or climbs out of the folder are
    // left out; `refused` (when given) receives their count.
    void ParseSetupInfo(QString folder, QVector<_SetupInfo*>& list, int* refused = nullptr);
    // Starts one installer on its own (its outcome is reported alone).
    // Always 0; the flag is not used.
    int installUpdates(QString path, bool flag);
    // True while the reader application runs.
    bool IsGlacierRun();

    // For tests and the manager.
    int currentIndex() const { return m_nIndex; }
    MODULEINFO* currentModule() const { return m_pCurModule; }
    QHttpDownLoadS* currentDownloader() const { return m_pDownloader; }
    // Where the package of a module is stored ("<data root>updater/<name>").
    static QString packagePathFor(const MODULEINFO& module);
    // The module's "size" text as bytes (0 when it is not a number).
    static qint64 expectedSizeOf(const MODULEINFO& module);

    // How long the install confirmation may predate the hand-off (the two
    // clocks are read in whole seconds).
    static constexpr qint64 kHistorySlackSeconds = 2;

signals:
    void SignalCurrentProgress(QString, double);
    void SignalInstallProgress(QString, int);
    void SignalStartInstall(QString);
    void SignalSetCurrentDownloadModule(QString);

public slots:
    void downloadUpates(int work);
    void oneDownloadFinish(QString filePath);
    void errorfinish(QString filePath);
    void cancel();
    void continueDownload();
    void updateProgress(qint64 receiveSize, qint64 totalSize);
    void installHasDownloadUpdates(QString tempName);

private slots:
    void onStartInstallTimer();
    void onInstallerFrontTimer();

private:
    // The installers of one package: its outcome is reported once, when the
    // last of them has ended.
    struct InstallBatch
    {
        QString title;
        int pending = 0;
        bool failed = false;
        bool endChain = false;
        quint64 serial = 0;
    };
    using BatchPtr = std::shared_ptr<InstallBatch>;
    enum class InstallResult { Confirmed, Failed, FailedEndChain };

    // Stops the current downloader's notifications and transfer and deletes
    // it once control is back in the event loop.
    void releaseDownloader();
    // The current module failed before any transfer could report: -1 and the
    // next module, both on the next event-loop turn.
    void failModuleLater(const QString& why);
    void startInstaller(const QString& path, const BatchPtr& batch);
    void installerEnded(const BatchPtr& batch, InstallResult result);
    // Judges one ended installer from its exit and the install history.
    InstallResult judgeInstall(int exitCode, QProcess::ExitStatus status, const QString& path,
                               qint64 handoffSeconds) const;

    Ui::DlgDownload* ui;
    QVector<MODULEINFO*> m_vecModules;
    QHttpDownLoadS* m_pDownloader = nullptr;
    MODULEINFO* m_pCurModule = nullptr;
    qint64 m_nResumeOffset = 0;
    int m_nIndex = 0;
    QPointer<QProcess> m_pInstallProcess;   // the last installer started
    QString m_strTitle;
    QString m_strName;
    QString m_strVersion;
    QTimer* m_pStartInstallTimer = nullptr;
    QTimer* m_pInstallerFrontTimer = nullptr;
    QString m_strPendingPackage;
    // Advances with every module started; late notifications of an abandoned
    // module compare against it and are dropped.
    quint64 m_nSerial = 0;
};
