#pragma once
// HMAC-MD5 (RFC 2104) as lower-case hexadecimal text.
#include <QByteArray>
#include <QString>

QString HmacMd5Hex(const QByteArray& key, const QByteArray& message);
