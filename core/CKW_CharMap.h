// Character maps: small records of conversion functions between byte text in
// one encoding and wide text. GetDefaultMapper hands out the built-in maps:
// code page 0 (the one the strings use when no map is given) and the
// table-driven Windows code pages.
//
// Code page 0 converts UTF-8, whatever the process locale: results must not
// change between a program started under "C" and one under "C.UTF-8".
#ifndef CKW_CHARMAP_H
#define CKW_CHARMAP_H

class CKW_ByteString;
class CKW_WideString;

class CKW_CharMap {
public:
    typedef CKW_WideString (*BytesToWideFn)(CKW_CharMap* map, const CKW_ByteString& bytes);
    typedef CKW_ByteString (*WideToBytesFn)(CKW_CharMap* map, const CKW_WideString& text);
    typedef int (*CodePageFn)(CKW_CharMap* map);

    BytesToWideFn m_GetWideString;
    WideToBytesFn m_GetByteString;
    CodePageFn m_GetCodePage;   // may be null (code page 0)

    // A static record (never freed), or null for a code page without a map:
    // 0, 874, 932, 936, 949, 950 and 1250 to 1258 have one.
    static CKW_CharMap* GetDefaultMapper(int codePage);
};

#endif // CKW_CHARMAP_H
