#include "NoFollowFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

bool entryExists(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool removeEntry(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISDIR(st.st_mode))
        return true;
    return ::unlink(native.constData()) == 0 || errno == ENOENT;
}

bool removeLink(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return true;
    return ::unlink(native.constData()) == 0 || errno == ENOENT;
}

bool openNoFollow(QFile& file, const QString& path, QIODevice::OpenMode mode)
{
    if (file.isOpen() || !removeLink(path))
        return false;
    // Non-blocking only for the open itself: a FIFO at the name would
    // otherwise hold the open until some reader turns up.
    int flags = O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    flags |= (mode & QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
    if (mode & QIODevice::Append)
        flags |= O_APPEND;
    if (mode & QIODevice::Truncate)
        flags |= O_TRUNC;
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(native.constData(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    // Only regular files: a FIFO or a device planted at the name is not ours.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace Platform
