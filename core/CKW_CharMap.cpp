#include "CKW_CharMap.h"

#include "CKW_ByteString.h"
#include "CKW_WideString.h"
#include "KW_CodePage.h"
#include "KW_UTF.h"

namespace {

// Code page 0: UTF-8 both ways, independent of the C library's locale.
// Malformed bytes are skipped as the UTF-8 decoder does.
CKW_WideString Utf8ToWide(CKW_CharMap*, const CKW_ByteString& bytes)
{
    return CKW_WideString::FromUTF8(bytes.c_str(), bytes.GetLength());
}

CKW_ByteString WideToUtf8(CKW_CharMap*, const CKW_WideString& text)
{
    return KW_UTF8Encode(text.c_str(), text.GetLength());
}

int PageOf(CKW_CharMap* map) { return map->m_GetCodePage ? map->m_GetCodePage(map) & 0xFFFF : 0; }

// Table pages: count first, then convert into a buffer of that size.
// Invalid characters become the page's default ('?').
CKW_WideString TableToWide(CKW_CharMap* map, const CKW_ByteString& bytes)
{
    const unsigned short cp = static_cast<unsigned short>(PageOf(map));
    int srcLen = bytes.GetLength(), dstLen = 0;
    if (srcLen == 0 || KW_DecodeString(cp, bytes.c_str(), &srcLen, nullptr, &dstLen, false) != 1 || dstLen <= 0)
        return CKW_WideString();
    CKW_WideString result;
    wchar_t* out = result.GetBuffer(dstLen);
    if (!out) return CKW_WideString();
    srcLen = bytes.GetLength();
    if (KW_DecodeString(cp, bytes.c_str(), &srcLen, out, &dstLen, false) != 1) return CKW_WideString();
    result.ReleaseBuffer(dstLen);
    return result;
}

CKW_ByteString TableToBytes(CKW_CharMap* map, const CKW_WideString& text)
{
    const unsigned short cp = static_cast<unsigned short>(PageOf(map));
    int srcLen = text.GetLength(), dstLen = 0;
    if (srcLen == 0 || KW_EncodeString(cp, text.c_str(), &srcLen, nullptr, &dstLen, false) != 1 || dstLen <= 0)
        return CKW_ByteString();
    CKW_ByteString result;
    char* out = result.GetBuffer(dstLen);
    if (!out) return CKW_ByteString();
    srcLen = text.GetLength();
    if (KW_EncodeString(cp, text.c_str(), &srcLen, out, &dstLen, false) != 1) return CKW_ByteString();
    result.ReleaseBuffer(dstLen);
    return result;
}

template <int CP>
int FixedPage(CKW_CharMap*)
{
    return CP;
}

CKW_CharMap s_Utf8Map = {Utf8ToWide, WideToUtf8, nullptr};
CKW_CharMap s_TableMaps[] = {
    {TableToWide, TableToBytes, FixedPage<874>},  {TableToWide, TableToBytes, FixedPage<932>},
    {TableToWide, TableToBytes, FixedPage<936>},  {TableToWide, TableToBytes, FixedPage<949>},
    {TableToWide, TableToBytes, FixedPage<950>},  {TableToWide, TableToBytes, FixedPage<1250>},
    {TableToWide, TableToBytes, FixedPage<1251>}, {TableToWide, TableToBytes, FixedPage<1252>},
    {TableToWide, TableToBytes, FixedPage<1253>}, {TableToWide, TableToBytes, FixedPage<1254>},
    {TableToWide, TableToBytes, FixedPage<1255>}, {TableToWide, TableToBytes, FixedPage<1256>},
    {TableToWide, TableToBytes, FixedPage<1257>}, {TableToWide, TableToBytes, FixedPage<1258>},
};

} // namespace

CKW_CharMap* CKW_CharMap::GetDefaultMapper(int codePage)
{
    if (codePage == 0) return &s_Utf8Map;
    for (CKW_CharMap& map : s_TableMaps)
        if (map.m_GetCodePage(&map) == codePage) return &map;
    return nullptr;
}
