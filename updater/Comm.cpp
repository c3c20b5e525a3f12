#include "Comm.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Comm {

namespace {

// A link is removed as a link. Changing permissions first would change the
// target's (chmod follows links), and entering a linked folder would delete
// data that lives outside the tree.
bool removeEntry(const QFileInfo& entry)
{
    const QString path = QDir::toNativeSeparators(entry.absoluteFilePath());
    if (!entry.isSymLink())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    if (QFile::remove(path))
        return true;
    qDebug() << "remove file" + path + " faild!";
    return false;
}

} // namespace

bool deleteDir(const QString& path)
{
    // An empty path would mean the current folder.
    if (path.isEmpty())
        return true;
    // A trailing separator would make the link test look through a link.
    QString bare = QDir::cleanPath(path);
    const QFileInfo self(bare);
    if (self.isSymLink())
        return removeEntry(self);

    QDir dir(path);
    if (!dir.exists())
        return true;

    QString base = QDir::toNativeSeparators(path);
    if (!base.endsWith(QDir::separator()))
        base += QDir::separator();

    bool ok = true;
    // System lists broken links too.
    const QFileInfoList entries = QDir(base).entryInfoList(
        QDir::AllEntries | QDir::Drives | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || entry.isFile()) {
            if (!removeEntry(entry))
                ok = false;
        } else if (entry.isDir()) {
            if (!deleteDir(entry.absoluteFilePath()))
                ok = false;
        }
    }

    const QString native = QDir::toNativeSeparators(bare);
    if (!QDir().rmdir(native)) {
        qDebug() << "remove dir" + native + " faild!";
        ok = false;
    }
    return ok;
}

} // namespace Comm
