#include "NoFollowFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// How often a name planted again between our removal and our creation is
// removed again before the agent gives up on it.
const int kAttempts = 3;

} // namespace

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
    // Only regular files: a FIFO or a device planted at the name is not ours,
    // and neither is a file that also has another name (a hard link planted
    // at ours): writing would change that other file too.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1
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

int createFreshAt(int dirFd, const char* name, mode_t mode)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // unlinkat without AT_REMOVEDIR leaves a folder alone; the exclusive
        // create below then fails on it.
        if (::unlinkat(dirFd, name, 0) != 0 && errno != ENOENT)
            return -1;
        int fd;
        do
            fd = ::openat(dirFd, name, flags, mode);
        while (fd < 0 && errno == EINTR);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool makeOwnFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(QDir::cleanPath(path));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        struct stat st;
        if (::lstat(native.constData(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                return true;
            // A link is removed as a link, whatever it points at; a file in
            // the folder's place is not ours to remove.
            if (!S_ISLNK(st.st_mode) || (::unlink(native.constData()) != 0 && errno != ENOENT))
                return false;
        } else if (errno != ENOENT) {
            return false;
        }
        // Made by mkdir, which never follows a link at the name; one planted
        // in between is found by the next round.
        if (::mkdir(native.constData(), 0777) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace Platform
