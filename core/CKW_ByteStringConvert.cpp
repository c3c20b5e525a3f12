// The byte string's conversions to and from wide text: they live with the
// wide string and the character maps they are built on.
#include "CKW_ByteString.h"
#include "CKW_CharMap.h"
#include "CKW_WideString.h"

#include <wchar.h>

CKW_WideString CKW_ByteString::UTF8Decode() const { return CKW_WideString::FromUTF8(c_str(), GetLength()); }

CKW_ByteString CKW_ByteString::FromUnicode(const wchar_t* text, int length)
{
    CKW_ByteString result;
    if (!text) return result;
    result.ConvertFrom(CKW_WideString(text, length), nullptr);
    return result;
}

CKW_ByteString CKW_ByteString::FromUnicode(const CKW_WideString& text)
{
    CKW_ByteString result;
    if (!text.IsEmpty()) result.ConvertFrom(text, nullptr);
    return result;
}

void CKW_ByteString::ConvertFrom(const CKW_WideString& text, CKW_CharMap* map)
{
    if (!map) map = CKW_CharMap::GetDefaultMapper(0);
    if (!map || !map->m_GetByteString) return;
    *this = map->m_GetByteString(map, text);
}
