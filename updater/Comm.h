#pragma once
#include <QString>

namespace Comm {
// Deletes a folder tree. Symbolic links are removed as links: their targets
// are never changed and linked folders are never entered. True when
// everything went (also when the folder does not exist).
bool deleteDir(const QString& path);
}
