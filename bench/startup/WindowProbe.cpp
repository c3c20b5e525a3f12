// Preloaded into a Qt program (LD_PRELOAD) by bench/startup_vs_window.sh: once
// the application object exists it watches for the first paint of a top-level
// widget of the class named by PROBE_WINDOW_CLASS, then ends the process at
// once, so that the time from start to exit is the time from start to that
// window on screen. Nothing of the program itself is changed.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

namespace {

class WindowProbe : public QObject
{
public:
    explicit WindowProbe(QByteArray className) : m_className(std::move(className)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->inherits(m_className.constData()))
                ::_exit(0);
        }
        return false;
    }

private:
    QByteArray m_className;
};

void installProbe()
{
    const QByteArray className = qgetenv("PROBE_WINDOW_CLASS");
    if (!className.isEmpty())
        QCoreApplication::instance()->installEventFilter(new WindowProbe(className));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
