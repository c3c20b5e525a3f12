#include "HMac.h"

#include <QCryptographicHash>

QString HmacMd5Hex(const QByteArray& key, const QByteArray& message)
{
    constexpr int kBlock = 64;
    QByteArray k = key;
    if (k.size() > kBlock)
        k = QCryptographicHash::hash(k, QCryptographicHash::Md5);
    k.append(QByteArray(kBlock - k.size(), '\0'));

    QByteArray inner(kBlock, '\0');
    QByteArray outer(kBlock, '\0');
    for (int i = 0; i < kBlock; ++i) {
        inner[i] = static_cast<char>(k.at(i) ^ 0x36);
        outer[i] = static_cast<char>(k.at(i) ^ 0x5c);
    }
    const QByteArray innerDigest = QCryptographicHash::hash(inner + message, QCryptographicHash::Md5);
    return QString::fromLatin1(
        QCryptographicHash::hash(outer + innerDigest, QCryptographicHash::Md5).toHex());
}
