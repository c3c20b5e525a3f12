#include "CommWs2qs.h"

#include <QVector>

namespace Comm {

QString ws2qs(const CKW_WideString& text)
{
    const wchar_t* chars = text.c_str();
    const int length = text.GetLength();
    QString out;
    out.reserve(length);
    for (int i = 0; i < length && chars[i] != 0; ++i) {
        uint code = static_cast<uint>(chars[i]);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        if (QChar::requiresSurrogates(code)) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(static_cast<ushort>(code));
        }
    }
    return out;
}

} // namespace Comm
