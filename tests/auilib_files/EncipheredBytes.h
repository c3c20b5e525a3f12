#pragma once
// Builds enciphered file contents in memory, so that a test can damage them
// byte by byte before writing them out.
#include "Encrypter.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <vector>

inline std::string Md5Of(const std::string& bytes)
{
    unsigned char digest[16];
    Encrypter::MD5Generate(reinterpret_cast<const unsigned char*>(bytes.data()),
                           static_cast<std::uint32_t>(bytes.size()), digest);
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

inline std::string Rc4Library(const std::string& bytes)
{
    std::vector<unsigned char> data(bytes.begin(), bytes.end());
    Encrypter::RC4CryptBlock(data);
    return std::string(data.begin(), data.end());
}

// Body (the enciphered plain bytes) followed by the digest of the body.
inline std::string Encipher(const std::string& plain)
{
    const std::string body = Rc4Library(plain);
    return body + Md5Of(body);
}

inline bool WriteBytes(const QString& path, const std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

inline std::string Hex(const std::string& bytes)
{
    return QByteArray(bytes.data(), static_cast<int>(bytes.size())).toHex().toStdString();
}
