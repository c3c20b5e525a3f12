#pragma once
// A path re-resolves every level each time it is used, so a link planted one
// level above a folder the agent works in sends whatever follows through it.
// Folders in places a local user can also write to are therefore reached one
// level at a time with openat and O_NOFOLLOW, and the work is done relative
// to the descriptor reached.
#include <QString>

namespace Platform {

enum class FolderWalk {
    Open,      // every level must exist and be a folder
    Make,      // a missing level is made; a link at a level is refused
    MakeOwn,   // a missing level is made; a link at a level is removed as a
               // link first (the level is the agent's own, whatever it pointed at)
};

// Opens the folder `relative` ("a/b/c", "" for `baseFd` itself) below the open
// folder `baseFd` (AT_FDCWD: the current folder). No level is followed when
// it is a link; "." and ".." levels are refused. Returns a new close-on-exec
// descriptor, or -1.
int openFolderAt(int baseFd, const QString& relative, FolderWalk walk);

// The same below the folder `base`, which is taken with its parents as it is
// (it may be a link: relocated home folders).
int openFolderBelow(const QString& base, const QString& relative, FolderWalk walk);

// True when both descriptors are open on the same folder.
bool sameFolder(int fd, int otherFd);

} // namespace Platform
