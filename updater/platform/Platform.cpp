#include "Platform.h"

#include <QDir>
#include <QtGlobal>
#include <cmath>

namespace Platform {

bool hasSystemRoot()
{
#ifdef Q_OS_MACOS
    return false;
#else
    return !qEnvironmentVariableIsEmpty("UPDATER_SYSTEM_ROOT");
#endif
}

QString systemPath(const QString& absolutePath)
{
#ifdef Q_OS_MACOS
    return absolutePath;
#else
    if (!hasSystemRoot())
        return absolutePath;
    QString root = QDir::cleanPath(qEnvironmentVariable("UPDATER_SYSTEM_ROOT"));
    if (root == QLatin1String("/"))
        return absolutePath;
    if (!absolutePath.startsWith(QLatin1Char('/')))
        return root + QLatin1Char('/') + absolutePath;
    return root + absolutePath;
#endif
}

QString serviceBase(const QString& host)
{
    QString base = qEnvironmentVariable("UPDATER_SERVICE_BASE");
    if (base.isEmpty())
        return QStringLiteral("https://") + host;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

double timeScale()
{
    bool ok = false;
    const double scale = qEnvironmentVariable("UPDATER_TIME_SCALE").toDouble(&ok);
    if (!ok || !(scale > 0.0) || !std::isfinite(scale))
        return 1.0;
    return scale;
}

int scaledWait(int milliseconds)
{
    if (milliseconds < 1000)
        return milliseconds;
    const double scaled = std::ceil(milliseconds * timeScale());
    if (scaled >= 2147483647.0)
        return 2147483647;
    return scaled < 1.0 ? 1 : static_cast<int>(scaled);
}

} // namespace Platform
