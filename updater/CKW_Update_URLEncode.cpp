#include "CKW_Update_URLEncode.h"

// Inclusive ranges of unsafe codes: everything but "0"-"9", "A"-"Z", "a"-"z".
const int CKW_Update_URLEncode::m_enum_unsafe_ascii_char_range[4][2] = {
    {0, 47}, {58, 64}, {91, 96}, {123, 255}};

CKW_Update_URLEncode::CKW_Update_URLEncode(QObject* parent) : QObject(parent) {}

bool CKW_Update_URLEncode::IsUnsafe(QChar c)
{
    const int code = static_cast<unsigned char>(c.toLatin1());   // 0 above Latin-1
    for (const auto& range : m_enum_unsafe_ascii_char_range) {
        if (code >= range[0] && code <= range[1])
            return true;
    }
    return false;
}

QString CKW_Update_URLEncode::escapeCodePoint(uint codePoint)
{
    QString out;
    if (codePoint <= 0xFF) {
        out += QStringLiteral("%%1").arg(codePoint, 2, 16, QLatin1Char('0'));
        return out;
    }
    const QByteArray utf8 = QString::fromUcs4(&codePoint, 1).toUtf8();
    for (const char byte : utf8)
        out += QStringLiteral("%%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
    return out;
}

QString CKW_Update_URLEncode::ConvertToHexString(QChar c)
{
    return escapeCodePoint(c.unicode());
}

QString CKW_Update_URLEncode::URLEncode(QString text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += escapeCodePoint(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else if (IsUnsafe(c)) {
            out += ConvertToHexString(c);
        } else {
            out += c;
        }
    }
    return out;
}

QString CKW_Update_URLEncode::URLEncodeAll(QString text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += escapeCodePoint(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            out += ConvertToHexString(c);
        }
    }
    return out;
}
