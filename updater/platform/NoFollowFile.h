#pragma once
// Files the agent writes in folders a local user can also write to (its data
// folder, the trust lists' folder) must never be written through a symbolic
// link planted there: a link, dangling or not, is removed as a link, and the
// file is opened so that a link at its name fails the open.
#include <QIODevice>
#include <QString>

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
// (created when missing); anything but a regular file is refused. `mode` is
// QIODevice::WriteOnly, ReadWrite or Append, optionally with Truncate and
// Unbuffered. The file is opened from a descriptor, so Qt does not keep its
// name: callers keep `path`.
bool openNoFollow(QFile& file, const QString& path, QIODevice::OpenMode mode);

} // namespace Platform
