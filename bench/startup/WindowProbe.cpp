// Preloaded into a Qt program (LD_PRELOAD) by bench/startup_vs_window.sh: once
// the application object exists it watches for the first paint of a top-level
// widget of the class named by PROBE_WINDOW_CLASS, then ends the process at
// once, so that the time from start to exit is the time from start to that
// window on screen. Nothing of the program itself is changed.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
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

// The program's own children (shell tools, a session-bus launcher) must not
// inherit the preload: each would load the Qt libraries this probe needs,
// which a real run never does and which would weigh on the start measured. So
// the probe takes itself out of LD_PRELOAD as soon as it is loaded. That also
// means it must be preloaded into the measured program itself, not into a
// wrapper that starts it.
__attribute__((constructor)) void leaveChildrenAlone()
{
    Dl_info self;
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !::dladdr(reinterpret_cast<void*>(&leaveChildrenAlone), &self) || !self.dli_fname)
        return;
    const char* selfName = std::strrchr(self.dli_fname, '/');
    selfName = selfName ? selfName + 1 : self.dli_fname;
    std::string kept;
    std::string list(preload);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(" :", start);
        if (end == std::string::npos)
            end = list.size();
        const std::string entry = list.substr(start, end - start);
        const size_t slash = entry.rfind('/');
        const std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
        if (!entry.empty() && name != selfName)
            kept += (kept.empty() ? "" : ":") + entry;
        start = end + 1;
    }
    if (kept.empty())
        ::unsetenv("LD_PRELOAD");
    else
        ::setenv("LD_PRELOAD", kept.c_str(), 1);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
