// Portable stand-in of the appearance bridge (the macOS one lives in
// Appearance_mac.mm).
#include "Appearance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPalette>
#include <QStyle>
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

// On macOS the system itself paints windows dark in the dark appearance and
// the dialogs only switch their text colours and images. The stand-in does
// the system's part with an application palette, so that a dark run looks
// like one here too.
void applySystemPalette()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!CAppearanceMonitor::isDarkMode()) {
        QApplication::setPalette(QApplication::style()->standardPalette());
        return;
    }
    QPalette dark;
    const QColor window(40, 40, 40), base(58, 58, 58), text(222, 222, 222), disabled(120, 120, 120);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(60, 60, 60));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(10, 95, 200));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Link, QColor(90, 160, 255));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, disabled);
    QApplication::setPalette(dark);
}

void deliverOnGuiThread()
{
    applySystemPalette();
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

// The system paints a dark run dark from its first window on (the check
// dialog, the component prompt and early message boxes have no observer of
// their own), so the stand-in does so as soon as the application exists.
Q_COREAPP_STARTUP_FUNCTION(applySystemPalette)

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

void applySystemAppearance()
{
    applySystemPalette();
}

} // namespace Appearance
