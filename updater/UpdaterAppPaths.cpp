// Data folders of the agent. The storage mode ("Continuous" or "Classic") is
// the machine-wide flag that the reader keeps in its LocalMachine.plist.
#include "UpdaterApp.h"
#include "Platform.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kProductName = QStringLiteral("Velto PDF Reader");

QString storageMode()
{
    const QString plist = Platform::systemPath(
        QStringLiteral("/usr/local/share/velto/%1/LocalMachine.plist").arg(kProductName));
    QSettings machine(plist, QSettings::NativeFormat);
    const QString flag = machine.value(
        QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Velto Software/%1/bContinue").arg(kProductName),
        QStringLiteral("1")).toString();
    return flag == QLatin1String("1") ? QStringLiteral("Continuous") : QStringLiteral("Classic");
}

QString dataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace

QString UpdaterApp::GetAppDateRootPath()
{
    return dataLocation() + QStringLiteral("/Velto Software/%1/").arg(storageMode());
}

QString UpdaterApp::GetAppDatePath()
{
    return dataLocation() + QStringLiteral("/Velto Software/%1/%2/").arg(storageMode(), kProductName);
}
