#pragma once
// The small modal "Checking for updates..." window of a visible update check.
// It runs the module manager's query under a time-out, tells the reader how
// the check went (except in automatic runs) and, when something worth showing
// was offered, opens the update list from inside its own finish handler.
//
// The controller reads nResult after exec(): 1 the query finished, -1 it
// failed (error, network error or time-out), 0 the user cancelled. When the
// dialog dealt with the outcome itself it sets theApp->bCheckHandled; the
// controller must then leave the module manager alone, since in some
// outcomes this dialog has released it.
#include "MODULEINFO.h"

#include <QDialog>
#include <QString>
#include <string>

namespace Ui {
class DlgUpdateChecking;
}
class CReaderModuleManager;
class QTimer;

class DlgUpdateChecking : public QDialog
{
    Q_OBJECT
public:
    // How long the query may take before the check counts as failed.
    static constexpr int kTimeoutMs = 60000;

    explicit DlgUpdateChecking(QString type, QWidget* parent = nullptr);
    ~DlgUpdateChecking() override;

    void setModuleManager(CReaderModuleManager* manager);
    // Starts the time-out and the manager's query; the outcome arrives later
    // as one of the manager's signals. Nothing happens without a manager.
    void startUpdateCheck();
    void startTimer(int ms);
    // The decision after a finished query.
    bool OnUpdateQueryResult(QueryResultInfo result);
    // True when the version is newer than the reader's own.
    bool CheckMajorVersionUpgrade(std::string version);

    int nResult;

public slots:
    void ErrFinish();
    void ErrNetwork();
    void checkFinsh();
    void on_cancelButton_clicked();
    void timeOut();

protected:
    // The check's window may be up before the run's language is known (the
    // console-user lookup is slow); its texts follow the catalogues installed
    // then.
    void changeEvent(QEvent* event) override;

private:
    // The outcome is settled: no later query signal or timer tick may act on it.
    void endCheck();
    // Hands the manager back for deletion once the signal that is being
    // delivered has returned to the event loop.
    void releaseModuleManager();

    Ui::DlgUpdateChecking* ui;
    QTimer* m_pTimer;
    QString m_strType;
    CReaderModuleManager* m_pModuleManager;
};
