#pragma once
// An update check without a window: the module manager's query under a
// 60-second time-out, with the outcome kept in the object's fields.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class CReaderModuleManager;


class UpdateChecking : public QObject
{
    Q_OBJECT
public:
    // The type text as on the command line: "Update List", "Auto Updater" or
    // a component list.
    explicit UpdateChecking(QString type);
    ~UpdateChecking() override;

    // The manager is not owned.
    void setModuleManager(CReaderModuleManager* manager);
    // Without a manager nothing happens.
    void startUpdateCheck();
    void startTimer(int milliseconds);

    int result() const { return m_nResult; }
    bool isDone() const { return m_bDone != 0; }
    bool isQuiet() const { return m_bQuiet; }
    QTimer* timer() const { return m_pTimer; }
    QString type() const { return m_strType; }

public slots:
    void checkFinsh();
    void timeOut();
    void ErrorFinished();

private slots:
    // The manager's query ended: its outcome decides between the two above.
    void queryFinished();

private:
    void dropTimer();

    // Cleared wherever the timer goes, so a finish after the time-out finds
    // no timer rather than a freed one.
    QPointer<QTimer> m_pTimer;
    QString m_strType;
    QPointer<CReaderModuleManager> m_pManager;
    int m_nResult = -1;     // 1 once the query finished
    bool m_bQuiet = false;  // nothing sets it
    int m_bDone = 0;
};
