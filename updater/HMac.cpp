#include "HMac.h"

#include <QMessageAuthenticationCode>

QString HmacMd5Hex(const QByteArray& key, const QByteArray& message)
{
    return QString::fromLatin1(QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Md5).toHex());
}
