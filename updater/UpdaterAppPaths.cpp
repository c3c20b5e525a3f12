// Data folders of the agent. The storage mode ("Continuous" or "Classic") is
// the machine-wide flag that the reader keeps in its LocalMachine.plist.
#include "UpdaterApp.h"
#include "CRegister.h"

#include <QStandardPaths>

namespace {

const QString kProductName = QStringLiteral("Velto PDF Reader");

QString storageMode()
{
    return CheckIsContinue() ? QStringLiteral("Continuous") : QStringLiteral("Classic");
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
