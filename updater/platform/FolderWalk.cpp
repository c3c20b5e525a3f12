#include "FolderWalk.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// How often a level planted again between its removal and its creation is
// dealt with again before the walk gives up.
const int kAttempts = 3;

const int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

int openLevel(int parentFd, const QByteArray& name, FolderWalk walk)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int fd = ::openat(parentFd, name.constData(), kFolderFlags);
        if (fd >= 0 || walk == FolderWalk::Open)
            return fd;
        struct stat st;
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            // A folder that could not be opened, or a file in its place: not
            // ours to remove.
            if (!S_ISLNK(st.st_mode) || walk != FolderWalk::MakeOwn)
                return -1;
            if (::unlinkat(parentFd, name.constData(), 0) != 0 && errno != ENOENT)
                return -1;
        } else if (errno != ENOENT) {
            return -1;
        }
        // mkdirat never follows a link at the name; one planted in between
        // is found by the next round.
        if (::mkdirat(parentFd, name.constData(), 0777) != 0 && errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

int openFolderAt(int baseFd, const QString& relative, FolderWalk walk)
{
    int fd = ::openat(baseFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString& level : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (fd < 0)
            break;
        int next = -1;
        if (level != QLatin1String(".") && level != QLatin1String(".."))
            next = openLevel(fd, QFile::encodeName(level), walk);
        ::close(fd);
        fd = next;
    }
    return fd;
}

int openFolderBelow(const QString& base, const QString& relative, FolderWalk walk)
{
    if (base.isEmpty())
        return -1;
    const int baseFd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0)
        return -1;
    const int fd = openFolderAt(baseFd, relative, walk);
    ::close(baseFd);
    return fd;
}

bool sameFolder(int fd, int otherFd)
{
    struct stat a, b;
    return fd >= 0 && otherFd >= 0 && ::fstat(fd, &a) == 0 && ::fstat(otherFd, &b) == 0 && a.st_dev == b.st_dev
           && a.st_ino == b.st_ino;
}

} // namespace Platform
