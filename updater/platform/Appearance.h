#pragma once
// Whether the system shows the dark appearance, and a signal on each change,
// for the dialogs that switch their colours. Each dialog creates its own
// observer with itself as parent.
//
// Outside macOS there is no system appearance: the environment variable
// UPDATER_APPEARANCE stands in for the user default "AppleInterfaceStyle"
// (dark when it equals "dark" in any letter case), and
// postAppearanceChangedNotification() stands in for the system's change
// notification. As the system would, the stand-in paints every window in the
// current appearance from the application's start, before the first window.
#include <QObject>

class CAppearanceMonitor;

class CAppearanceObserver : public QObject
{
    Q_OBJECT
public:
    explicit CAppearanceObserver(QObject* parent = nullptr);
    ~CAppearanceObserver() override;

    bool isDarkMode() const;

signals:
    void signal_appearanceChanged(bool dark);

private:
    CAppearanceMonitor* m_pMonitor;
};

namespace Appearance {
// Delivers a system appearance change to every live observer, on the GUI
// thread. Callable from any thread.
void postAppearanceChangedNotification();
// Number of monitors currently registered for notifications.
int registeredMonitorCount();
// Paints the application in the current appearance. Runs by itself when the
// application object is made; on macOS the system does this and the call
// does nothing.
void applySystemAppearance();
}
