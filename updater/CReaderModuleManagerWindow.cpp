// The manager's plug points to the hidden download window (DlgDownload).
// Everything the manager asks of the window is here and nowhere else. Without
// a window (none could be made) every call below is a clean no-op and
// Download() reports the selection as failed. The window is made when first
// asked for, not with the manager: a check that offers nothing never needs it,
// and the list should not wait for a window it does not show.
#include "CReaderModuleManager.h"

#include "CUP_Log.h"
#include "DlgDownload.h"

#define READER_MANAGER_HAS_WINDOW 1

void CReaderModuleManager::createDownloadWindow()
{
#if READER_MANAGER_HAS_WINDOW
    // No parent: the window outlives the manager and lives until the process ends.
    auto* window = new DlgDownload(nullptr);
    m_pDownloadWindow = window;
    connect(window, SIGNAL(SignalCurrentProgress(QString,double)), this, SLOT(getDownProgress(QString,double)));
    connect(window, SIGNAL(SignalInstallProgress(QString,int)), this, SLOT(setInstallProgress(QString,int)));
    connect(window, SIGNAL(SignalStartInstall(QString)), this, SLOT(startInstall(QString)));
    connect(window, SIGNAL(SignalSetCurrentDownloadModule(QString)), this,
            SLOT(Slot_SetCurrentDownloadModule(QString)));
#endif
}

DlgDownload* CReaderModuleManager::GetDownloadWindow()
{
#if READER_MANAGER_HAS_WINDOW
    // Made once: a window that went is not made again.
    if (!m_bDownloadWindowMade) {
        m_bDownloadWindowMade = true;
        createDownloadWindow();
    }
    return madeDownloadWindow();
#else
    return nullptr;
#endif
}

DlgDownload* CReaderModuleManager::madeDownloadWindow() const
{
#if READER_MANAGER_HAS_WINDOW
    return static_cast<DlgDownload*>(m_pDownloadWindow.data());
#else
    return nullptr;
#endif
}

bool CReaderModuleManager::windowStart()
{
#if READER_MANAGER_HAS_WINDOW
    DlgDownload* window = GetDownloadWindow();
    if (!window)
        return false;
    window->cancel();
    window->setSelectUpdates(m_vecSelected);
    window->showMinimized();
    window->setVisible(false);
    window->startShowDownload();
    return true;
#else
    return false;
#endif
}

void CReaderModuleManager::windowCancel()
{
#if READER_MANAGER_HAS_WINDOW
    if (DlgDownload* window = madeDownloadWindow())
        window->cancel();
#endif
}

void CReaderModuleManager::windowPause()
{
#if READER_MANAGER_HAS_WINDOW
    if (DlgDownload* window = madeDownloadWindow())
        window->pauseDown();
#endif
}

void CReaderModuleManager::windowResume()
{
#if READER_MANAGER_HAS_WINDOW
    if (DlgDownload* window = madeDownloadWindow())
        window->new_continue_download();
#endif
}
