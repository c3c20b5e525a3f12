// Data folders of the agent. The storage mode ("Continuous" or "Classic") is
// the machine-wide flag that the reader keeps in its LocalMachine.plist.
#include "UpdaterApp.h"
#include "CRegister.h"
#include "Comm.h"
#include "NoFollowFile.h"

#include <QDateTime>
#include <QDebug>
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

QString UpdaterApp::MakeFreshUncompressFolder()
{
    const QString root = GetAppDateRootPath();
    if (!Platform::makeOwnFolders(root, QStringLiteral("updater")).isEmpty())
        Comm::deleteDir(root + QStringLiteral("updater/uncompress/"));
    const QString runFolder = QStringLiteral("updater/uncompress/") + QString::number(QDateTime::currentSecsSinceEpoch());
    const QString folder = Platform::makeOwnFolders(root, runFolder);
    if (folder.isEmpty())
        qDebug() << "can not make path for uncompress the updater:" << root + runFolder;
    return folder;
}
