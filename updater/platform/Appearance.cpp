// Portable stand-in of the appearance bridge (the macOS one lives in
// Appearance_mac.mm).
#include "Appearance.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QVector>

// Registered with the notification stand-in from construction to
// destruction, so that no notification can reach a monitor that is gone.
class CAppearanceMonitor
{
public:
    explicit CAppearanceMonitor(CAppearanceObserver* observer);
    ~CAppearanceMonitor();
    CAppearanceMonitor(const CAppearanceMonitor&) = delete;
    CAppearanceMonitor& operator=(const CAppearanceMonitor&) = delete;

    static bool isDarkMode();
    CAppearanceObserver* observer() const { return m_pObserver; }

private:
    CAppearanceObserver* m_pObserver;   // owns this monitor
};

namespace {

QMutex& registryMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<CAppearanceMonitor*>& registry()
{
    static QSet<CAppearanceMonitor*> monitors;
    return monitors;
}

} // namespace

CAppearanceMonitor::CAppearanceMonitor(CAppearanceObserver* observer)
    : m_pObserver(observer)
{
    QMutexLocker lock(&registryMutex());
    registry().insert(this);
}

CAppearanceMonitor::~CAppearanceMonitor()
{
    QMutexLocker lock(&registryMutex());
    registry().remove(this);
}

bool CAppearanceMonitor::isDarkMode()
{
    return qEnvironmentVariable("UPDATER_APPEARANCE").compare(QLatin1String("dark"),
                                                              Qt::CaseInsensitive) == 0;
}

namespace {

void deliverOnGuiThread()
{
    // Slots may destroy observers (their dialogs), so the registry is not
    // held while signalling and each observer is checked before its turn.
    QVector<QPointer<CAppearanceObserver>> observers;
    {
        QMutexLocker lock(&registryMutex());
        for (CAppearanceMonitor* monitor : registry())
            observers.append(monitor->observer());
    }
    for (const QPointer<CAppearanceObserver>& observer : observers) {
        if (observer)
            emit observer->signal_appearanceChanged(observer->isDarkMode());
    }
}

} // namespace

CAppearanceObserver::CAppearanceObserver(QObject* parent)
    : QObject(parent)
    , m_pMonitor(new CAppearanceMonitor(this))
{
}

CAppearanceObserver::~CAppearanceObserver()
{
    delete m_pMonitor;
}

bool CAppearanceObserver::isDarkMode() const
{
    return CAppearanceMonitor::isDarkMode();
}

namespace Appearance {

void postAppearanceChangedNotification()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, &deliverOnGuiThread, Qt::QueuedConnection);
        return;
    }
    deliverOnGuiThread();
}

int registeredMonitorCount()
{
    QMutexLocker lock(&registryMutex());
    return registry().size();
}

} // namespace Appearance
