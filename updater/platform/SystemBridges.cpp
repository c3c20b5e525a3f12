// Portable stand-ins of the system bridges (the macOS ones live in
// SystemBridges_mac.mm).
#include "SystemBridges.h"
#include "Platform.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

QString GetHardwareUUID()
{
    QFile file(Platform::systemPath(QStringLiteral("/sys/class/dmi/id/product_uuid")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readLine(64)).trimmed().toUpper();
}

bool processMacAppOpenfile(QString application, QString file)
{
    if (application.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    return QProcess::startDetached(application, {file});
}
