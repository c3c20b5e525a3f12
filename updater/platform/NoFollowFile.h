#pragma once
// Files the agent writes in folders a local user can also write to (its data
// folder, the shared marker folder, the trust lists' folder) must never be
// written through a link planted there:
//  - a symbolic link, dangling or not, is removed as a link, never followed;
//  - a file the agent makes is made anew: the name is removed and the file
//    created exclusively, so a hard link planted at the name keeps its
//    contents (and so does the file it shares them with);
//  - a file the agent appends to is refused when it has more than one name,
//    since its contents are then also someone else's file;
//  - the agent's own working folders are made by the agent: a link found in
//    their place is removed, so nothing is written where it points.
#include <QIODevice>
#include <QString>

#include <sys/types.h>

class QFile;

namespace Platform {

// True when anything stands at `path`, a dangling link included.
bool entryExists(const QString& path);

// Removes whatever stands at `path` unless it is a folder, without following
// a link (lstat semantics: a dangling link is found too). True when nothing
// but possibly a folder stands there afterwards.
bool removeEntry(const QString& path);

// Removes `path` only when it is a symbolic link. True when no link stands
// there afterwards.
bool removeLink(const QString& path);

// Opens `file` on `path` for writing without following a link there: a link
// at `path` is removed first, then the file is opened with O_NOFOLLOW
// (created when missing); anything but a regular file with a single name is
// refused. `mode` is QIODevice::WriteOnly, ReadWrite or Append, optionally
// with Truncate and Unbuffered. The file is opened from a descriptor, so Qt
// does not keep its name: callers keep `path`.
bool openNoFollow(QFile& file, const QString& path, QIODevice::OpenMode mode);

// Makes the file `name` in the folder `dirFd` anew (AT_FDCWD: `name` is a
// path): whatever but a folder stands at the name - a file, a symbolic or a
// hard link, a FIFO - is removed as a name, then the file is created
// exclusively. A name planted again in between is removed again a few times
// before giving up. Returns a close-on-exec descriptor open for writing, or
// -1.
int createFreshAt(int dirFd, const char* name, mode_t mode = 0666);

// Makes `path` a folder of the agent's own: a link at the name is removed as a
// link and a missing folder is created; an existing folder is kept. The
// folders above `path` are taken as they are. False when something else
// stands there or the folder cannot be made.
bool makeOwnFolder(const QString& path);

} // namespace Platform
