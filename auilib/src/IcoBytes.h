// ICO bytes held in memory, made into an icon with all their images.
#pragma once

#include <QIcon>

namespace AUILib {

// QIcon reads an ICO's images only from a file, and reads them while it is
// made: the bytes go through a temporary file that is complete by then and
// removed afterwards. Null when the file cannot be written; bytes that are
// no ICO give an icon without images.
QIcon IconFromIcoBytes(const unsigned char* data, int length);

} // namespace AUILib
