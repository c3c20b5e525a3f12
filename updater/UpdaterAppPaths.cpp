// Data folders of the agent. The storage mode ("Continuous" or "Classic") is
// the machine-wide flag that the reader keeps in its LocalMachine.plist.
#include "UpdaterApp.h"
#include "CRegister.h"
#include "Comm.h"

#include <QDateTime>
#include <QDir>
#include <QDebug>
#include <QStandardPaths>

#include <unistd.h>

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

bool UpdaterApp::IsAgentFolderPath(const QString& path)
{
    const QString root = QDir::cleanPath(GetAppDateRootPath());
    const QString wanted = QDir::cleanPath(path);
    return wanted == root || wanted.startsWith(root + QLatin1Char('/'));
}

int UpdaterApp::OpenAgentFolder(const QString& path, Platform::FolderWalk walk)
{
    if (!IsAgentFolderPath(path))
        return -1;
    const QString data = QDir::cleanPath(dataLocation());
    const QString root = QDir::cleanPath(GetAppDateRootPath());
    // The data folder itself is taken as it is (relocated home folders).
    if (walk != Platform::FolderWalk::Open && !QDir().mkpath(data))
        return -1;
    const int rootFd = Platform::openFolderBelow(
        data, root.mid(data.size() + 1),
        walk == Platform::FolderWalk::Open ? Platform::FolderWalk::Open : Platform::FolderWalk::Make);
    if (rootFd < 0)
        return -1;
    const int fd = Platform::openFolderAt(rootFd, QDir::cleanPath(path).mid(root.size() + 1), walk);
    ::close(rootFd);
    return fd;
}

namespace {

// Makes `path` below the data root as the agent's own; true when it stands.
bool makeAgentFolder(const QString& path)
{
    const int fd = UpdaterApp::OpenAgentFolder(path, Platform::FolderWalk::MakeOwn);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

QString UpdaterApp::MakeFreshUncompressFolder()
{
    const QString root = GetAppDateRootPath();
    // Once every level down to "updater" is a folder of the agent's own, the
    // clean-up cannot be led elsewhere (a link at "uncompress" itself is
    // removed as a link).
    if (makeAgentFolder(root + QStringLiteral("updater")))
        Comm::deleteDir(root + QStringLiteral("updater/uncompress/"));
    const QString runFolder = QStringLiteral("updater/uncompress/") + QString::number(QDateTime::currentSecsSinceEpoch());
    if (!makeAgentFolder(root + runFolder)) {
        qDebug() << "can not make path for uncompress the updater:" << root + runFolder;
        return QString();
    }
    return QDir::cleanPath(root + runFolder);
}
