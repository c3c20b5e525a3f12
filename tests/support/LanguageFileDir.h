// A temporary working folder for the widget library's language files: tests
// write plain or enciphered files below it and point the library at it.
#pragma once

#include "Encrypter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

class LanguageFileDir {
public:
    // The folder with a trailing '/', as the library's working folder.
    std::wstring Path() const { return (dir_.path() + "/").toStdWString(); }
    std::wstring PathOf(const QString& relative) const { return (dir_.path() + "/" + relative).toStdWString(); }

    // Writes text as UTF-8, or as given bytes; parents are made.
    bool WritePlain(const QString& relative, const QByteArray& bytes) const
    {
        const QString path = dir_.path() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // The library's enciphered format: RC4 body, then the body's MD5.
    bool WriteEnciphered(const QString& relative, const QByteArray& plain) const
    {
        std::vector<unsigned char> body(plain.begin(), plain.end());
        Encrypter::RC4CryptBlock(body);
        unsigned char digest[Encrypter::kDigestSize];
        Encrypter::MD5Generate(body.data(), static_cast<std::uint32_t>(body.size()), digest);
        QByteArray bytes(reinterpret_cast<const char*>(body.data()), static_cast<int>(body.size()));
        bytes.append(reinterpret_cast<const char*>(digest), static_cast<int>(sizeof digest));
        return WritePlain(relative, bytes);
    }

private:
    QTemporaryDir dir_;
};
