#include "UpdateChecking.h"

#include "CReaderModuleManager.h"
#include "platform/Platform.h"

#include <QDebug>
#include <QTimer>

UpdateChecking::UpdateChecking(QString type) : QObject(nullptr), m_strType(type) {}

UpdateChecking::~UpdateChecking()
{
    delete m_pTimer.data();
}

void UpdateChecking::setModuleManager(CReaderModuleManager* manager)
{
    m_pManager = manager;
}

void UpdateChecking::startUpdateCheck()
{
    if (!m_pManager)
        return;
    startTimer(Platform::scaledWait(60000));
    connect(m_pManager, SIGNAL(sQueryModuleInfoFinish()), this, SLOT(queryFinished()));
    connect(m_pManager, SIGNAL(sErrorFinish()), this, SLOT(ErrorFinished()));
    // A query that could not even start sends no signal: it has failed now.
    if (m_pManager->QueryModuleInfo(nullptr, m_bQuiet) != 0)
        ErrorFinished();
}

void UpdateChecking::startTimer(int milliseconds)
{
    if (!m_pTimer) {
        m_pTimer = new QTimer(this);
        connect(m_pTimer, SIGNAL(timeout()), this, SLOT(timeOut()));
    }
    m_pTimer->start(milliseconds);
}

void UpdateChecking::dropTimer()
{
    if (!m_pTimer)
        return;
    QTimer* timer = m_pTimer;
    m_pTimer = nullptr;
    timer->stop();
    // The time-out runs inside the timer's own signal.
    timer->deleteLater();
}

void UpdateChecking::checkFinsh()
{
    qDebug() << "检查完成";
    m_nResult = 1;
    dropTimer();
    m_bDone = 1;
}

void UpdateChecking::queryFinished()
{
    // A reply that was no answer of the service ends the check as a failed
    // connection does: done, without a result.
    if (m_pManager && !m_pManager->GetQueryResultInfo().bSuccess) {
        dropTimer();
        ErrorFinished();
        return;
    }
    checkFinsh();
}

void UpdateChecking::ErrorFinished()
{
    m_bDone = 1;
}

void UpdateChecking::timeOut()
{
    qDebug() << "Update Time out";
    if (m_nResult != -1)
        return;
    dropTimer();
    if (m_bQuiet) {
        qDebug() << "更新失败 网络链接有问题";
        m_bDone = 1;
    }
}
