#pragma once
// Percent-encoding of the update query's values. Only the ASCII digits and
// letters pass through; every other character is sent as "%xx" escapes.
#include <QObject>
#include <QString>

class CKW_Update_URLEncode : public QObject
{
    Q_OBJECT
public:
    explicit CKW_Update_URLEncode(QObject* parent = nullptr);

    QString URLEncode(QString text);
    QString URLEncodeAll(QString text);
    bool IsUnsafe(QChar c);
    // "%xx" of a Latin-1 character's code; a character above Latin-1 becomes
    // the escapes of its UTF-8 bytes, so the service can decode it.
    QString ConvertToHexString(QChar c);

private:
    // Escapes of one code point (a surrogate pair already joined).
    static QString escapeCodePoint(uint codePoint);
    static const int m_enum_unsafe_ascii_char_range[4][2];
};
