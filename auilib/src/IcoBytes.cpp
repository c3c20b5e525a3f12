#include "IcoBytes.h"

#include <QDir>
#include <QTemporaryFile>

namespace AUILib {

QIcon IconFromIcoBytes(const unsigned char* data, int length)
{
    if (!data || length < 1)
        return QIcon();
    // The name says what the bytes are.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/icon-XXXXXX.ico"));
    if (!file.open() || file.write(reinterpret_cast<const char*>(data), length) != length || !file.flush())
        return QIcon();
    return QIcon(file.fileName());
}

} // namespace AUILib
