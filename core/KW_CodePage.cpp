#include "KW_CodePage.h"

#include "KW_Primitives.h"
#include "KW_UTF.h"


namespace {

// Value at position index of a range's data, by kind; 0xFEFF when invalid.
uint32_t RangeValue(const uint16_t* data, unsigned kind, unsigned offset, unsigned index)
{
    switch (kind) {
    case KW_CODEPAGE_RANGE_TABLE:
        return data[offset + index];
    case KW_CODEPAGE_RANGE_RUN:
        return static_cast<uint32_t>(data[offset]) + index;
    case KW_CODEPAGE_RANGE_INCREMENTS: {
        uint16_t packed = data[offset + 1 + index / 2];
        unsigned inc = (index & 1) ? (packed >> 8) : (packed & 0xFF);
        return (static_cast<uint32_t>(data[offset]) + inc) & 0xFFFF;
    }
    default:
        return KW_CODEPAGE_INVALID;
    }
}

// The character of a lead byte's trail byte; 0xFEFF when there is none.
uint32_t DecodePair(const _KW_CODEPAGE* page, uint32_t indexEntry, unsigned char trail)
{
    unsigned count = indexEntry & 0xFFFF;
    const uint32_t* ranges = page->trailRanges + (indexEntry >> 16);
    // The range with the largest first trail byte not above the trail byte.
    unsigned lo = 0, hi = count;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        if ((ranges[mid] & 0xFF) <= trail)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0) return KW_CODEPAGE_INVALID;
    uint32_t r = ranges[lo - 1];
    return RangeValue(page->byteData, (r >> 8) & 0xFF, r >> 16, trail - (r & 0xFF));
}

// The character code of a code point; 0xFFFF when no range holds it.
uint32_t EncodeChar(const _KW_CODEPAGE* page, uint32_t ch)
{
    if (ch > 0xFFFF) return 0xFFFF;
    unsigned lo = 0, hi = page->uniRangeCount;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        const KW_CodePageUniRange& r = page->uniRanges[mid];
        if (ch < r.first)
            hi = mid;
        else if (ch > r.last)
            lo = mid + 1;
        else
            return RangeValue(page->uniData, r.kind, r.offset, ch - r.first);
    }
    return 0xFFFF;
}

struct Utf16 {
    bool bigEndian;
    uint32_t Unit(const unsigned char* p) const { return bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]); }
    void Put(uint32_t u, char* p) const
    {
        unsigned char hi = static_cast<unsigned char>(u >> 8), lo = static_cast<unsigned char>(u);
        p[0] = static_cast<char>(bigEndian ? hi : lo);
        p[1] = static_cast<char>(bigEndian ? lo : hi);
    }
};

int DecodeUtf16(Utf16 form, const char* source, int* sourceLength, wchar_t* destination, int* destinationLength,
                bool strict)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(source);
    const int length = *sourceLength;
    const bool store = destination && *destinationLength > 0;
    const int capacity = store ? *destinationLength : 0;
    int consumed = 0, produced = 0;
    int i = 0;
    while (i + 2 <= length) {
        uint32_t u = form.Unit(s + i);
        int used = 2;
        uint32_t ch = u;
        if (u >= 0xD800 && u < 0xE000) {
            if (u < 0xDC00 && i + 4 <= length) {
                uint32_t low = form.Unit(s + i + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    ch = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    used = 4;
                }
            } else if (u < 0xDC00) {
                break;   // a high surrogate at the very end: its partner may follow later
            }
            if (used == 2) {
                if (strict) {
                    *sourceLength = consumed;
                    *destinationLength = produced;
                    return 0;
                }
                ch = '?';
            }
        }
        if (store) destination[produced] = static_cast<wchar_t>(ch);
        ++produced;
        i += used;
        consumed = i;
        if (store && produced >= capacity) break;
    }
    *sourceLength = consumed;
    *destinationLength = produced;
    return 1;
}

int EncodeUtf16(Utf16 form, const wchar_t* source, int* sourceLength, char* destination, int* destinationLength,
                bool strict)
{
    const int count = *sourceLength;
    const bool store = destination && *destinationLength > 0;
    const int64_t capacity = store ? *destinationLength : 0;
    int64_t total = 0;
    int i = 0;
    for (; i < count; ++i) {
        uint32_t ch = static_cast<uint32_t>(source[i]);
        if (ch > 0x10FFFF || (ch >= 0xD800 && ch < 0xE000)) {
            if (strict) {
                *sourceLength = i;
                *destinationLength = static_cast<int>(total);
                return 0;
            }
            ch = '?';
        }
        int n = ch >= 0x10000 ? 4 : 2;
        if (store) {
            if (total + n > capacity) break;
            if (n == 4) {
                uint32_t v = ch - 0x10000;
                form.Put(0xD800 + (v >> 10), destination + total);
                form.Put(0xDC00 + (v & 0x3FF), destination + total + 2);
            } else {
                form.Put(ch, destination + total);
            }
        }
        if (total + n > 0x7FFFFFFF) break;
        total += n;
        if (store && total == capacity) {
            ++i;
            break;
        }
    }
    *sourceLength = i;
    *destinationLength = static_cast<int>(total);
    return 1;
}

// Charset number -> code page, sorted by charset, and the same pairs by code page.
struct CharsetPair {
    uint16_t key;
    uint16_t value;
};

const CharsetPair kCharsetToCodePage[] = {
    {0, 1252},    {1, 0},       {2, 42},      {77, 10000},  {78, 10001},  {79, 10003},  {80, 10008},
    {81, 10002},  {83, 10005},  {84, 10004},  {85, 10006},  {86, 10081},  {87, 10021},  {88, 10029},
    {89, 10007},  {128, 932},   {129, 949},   {130, 1361},  {134, 936},   {136, 950},   {161, 1253},
    {162, 1254},  {163, 1258},  {177, 1255},  {178, 1256},  {186, 1257},  {204, 1251},  {222, 874},
    {238, 1250},  {254, 437},   {255, 850},
};

const CharsetPair kCodePageToCharset[] = {
    {0, 1},       {42, 2},      {437, 254},   {850, 255},   {874, 222},   {932, 128},   {936, 134},
    {949, 129},   {950, 136},   {1250, 238},  {1251, 204},  {1252, 0},    {1253, 161},  {1254, 162},
    {1255, 177},  {1256, 178},  {1257, 186},  {1258, 163},  {1361, 130},  {10000, 77},  {10001, 78},
    {10002, 81},  {10003, 79},  {10004, 84},  {10005, 83},  {10006, 85},  {10007, 89},  {10008, 80},
    {10021, 87},  {10029, 88},  {10081, 86},
};

template <size_t N>
unsigned short FindPair(const CharsetPair (&table)[N], unsigned key)
{
    size_t lo = 0, hi = N;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (table[mid].key == key) return table[mid].value;
        if (table[mid].key < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return 0xFFFF;
}

} // namespace

_KW_CODEPAGE const* KW_GetCodePage(unsigned short codePage)
{
    int lo = 0, hi = KW_CODEPAGE_COUNT;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        unsigned short cp = g_KW_CodePages[mid].header.codePage;
        if (cp == codePage) return &g_KW_CodePages[mid];
        if (cp < codePage)
            lo = mid + 1;
        else
            hi = mid;
    }
    return nullptr;
}

int KW_DecodeString(unsigned short codePage, char const* source, int* sourceLength, wchar_t* destination,
                    int* destinationLength, bool strict)
{
    if (codePage == 65001) return KW_UTF8Decode(source, sourceLength, destination, destinationLength);
    if (!sourceLength || !destinationLength) return -1;
    if (*sourceLength < 1 || !source) {
        *sourceLength = 0;
        *destinationLength = 0;
        return 1;
    }
    if (codePage == 1200 || codePage == 1201)
        return DecodeUtf16(Utf16{codePage == 1201}, source, sourceLength, destination, destinationLength, strict);
    const _KW_CODEPAGE* page = KW_GetCodePage(codePage);
    if (!page) {
        *sourceLength = 0;
        *destinationLength = 0;
        return -1;
    }
    const unsigned char* s = reinterpret_cast<const unsigned char*>(source);
    const int length = *sourceLength;
    const bool store = destination && *destinationLength > 0;
    const int capacity = store ? *destinationLength : 0;
    int consumed = 0, produced = 0;
    int i = 0;
    while (i < length) {
        uint32_t entry = page->byteIndex[s[i]];
        uint32_t ch;
        int used;
        if ((entry & 0xFFFF) == 0) {
            ch = entry >> 16;
            used = 1;
        } else {
            if (i + 1 >= length) break;   // a lead byte without its trail byte is not counted
            ch = DecodePair(page, entry, s[i + 1]);
            used = 2;
        }
        if (ch == KW_CODEPAGE_INVALID) {
            if (strict) {
                *sourceLength = consumed;
                *destinationLength = produced;
                return 0;
            }
            ch = page->header.defaultUnicode;
        }
        if (store) destination[produced] = static_cast<wchar_t>(ch);
        ++produced;
        i += used;
        consumed = i;
        if (store && produced >= capacity) break;
    }
    *sourceLength = consumed;
    *destinationLength = produced;
    return 1;
}

int KW_EncodeString(unsigned short codePage, wchar_t const* source, int* sourceLength, char* destination,
                    int* destinationLength, bool strict)
{
    if (codePage == 65001) return KW_UTF8Encode(source, sourceLength, destination, destinationLength);
    if (!sourceLength || !destinationLength) return -1;
    if (*sourceLength < 1 || !source) {
        *sourceLength = 0;
        *destinationLength = 0;
        return 1;
    }
    if (codePage == 1200 || codePage == 1201)
        return EncodeUtf16(Utf16{codePage == 1201}, source, sourceLength, destination, destinationLength, strict);
    const _KW_CODEPAGE* page = KW_GetCodePage(codePage);
    if (!page) {
        *sourceLength = 0;
        *destinationLength = 0;
        return -1;
    }
    const int count = *sourceLength;
    const bool store = destination && *destinationLength > 0;
    const int64_t capacity = store ? *destinationLength : 0;
    int64_t total = 0;
    int i = 0;
    for (; i < count; ++i) {
        // The whole code point counts: a character above U+FFFF is not taken
        // for the BMP character that shares its low 16 bits.
        uint32_t ch = static_cast<uint32_t>(source[i]);
        uint32_t code = KW_CODEPAGE_INVALID;
        if (ch >= page->header.minUnicode && ch <= page->header.maxUnicode) {
            code = EncodeChar(page, ch);
            if (code == 0xFFFF) code = KW_CODEPAGE_INVALID;
        }
        if (code == KW_CODEPAGE_INVALID) {
            if (strict) {
                *sourceLength = i;
                *destinationLength = static_cast<int>(total);
                return 0;
            }
            code = page->header.defaultCharcode;
        }
        int n = code >= 256 ? 2 : 1;
        if (store) {
            if (total + n > capacity) break;
            if (n == 2) {
                destination[total] = static_cast<char>(code >> 8);
                destination[total + 1] = static_cast<char>(code & 0xFF);
            } else {
                destination[total] = static_cast<char>(code);
            }
        }
        if (total + n > 0x7FFFFFFF) break;
        total += n;
        if (store && total == capacity) {
            ++i;
            break;
        }
    }
    *sourceLength = i;
    *destinationLength = static_cast<int>(total);
    return 1;
}

unsigned short KW_GetCodePageFromCharset(unsigned char charset) { return FindPair(kCharsetToCodePage, charset); }

unsigned short KW_GetCharsetFromCodePage(unsigned short codePage) { return FindPair(kCodePageToCharset, codePage); }

unsigned short KW_GetCodePageFromStringA(char const* name, int length)
{
    if (!name) return 0xFFFF;
    if (length < 0) {
        length = 0;
        while (name[length]) ++length;
    }
    if (length == 0) return 0xFFFF;
    uint32_t h = KW_HashCode_String_GetA(name, length, true);
    int lo = 0, hi = g_KW_CharsetNameCount;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (g_KW_CharsetNames[mid].hash == h) return g_KW_CharsetNames[mid].codePage;
        if (g_KW_CharsetNames[mid].hash < h)
            lo = mid + 1;
        else
            hi = mid;
    }
    return 0xFFFF;
}

unsigned short KW_GetCodePageFormStringW(wchar_t const* name, int length)
{
    if (!name) return 0xFFFF;
    if (length < 0) length = static_cast<int>(std::wcslen(name));
    // Charset names are short ASCII words; anything longer is not one of them.
    char narrow[128];
    if (length == 0 || length >= static_cast<int>(sizeof narrow)) return 0xFFFF;
    for (int i = 0; i < length; ++i) narrow[i] = static_cast<char>(name[i] & 0xFF);
    return KW_GetCodePageFromStringA(narrow, length);
}

wchar_t CKW_CodePage::GetUnicode(unsigned short code) const
{
    const KW_CodePageHeader& h = m_pCodePage->header;
    if (code < h.minCharcode || code > h.maxCharcode) return static_cast<wchar_t>(KW_CODEPAGE_INVALID);
    if (code < 256) {
        uint32_t entry = m_pCodePage->byteIndex[code];
        if (entry & 0xFFFF) return static_cast<wchar_t>(KW_CODEPAGE_INVALID);
        return static_cast<wchar_t>(entry >> 16);
    }
    uint32_t entry = m_pCodePage->byteIndex[code >> 8];
    if ((entry & 0xFFFF) == 0) return static_cast<wchar_t>(KW_CODEPAGE_INVALID);
    return static_cast<wchar_t>(DecodePair(m_pCodePage, entry, static_cast<unsigned char>(code & 0xFF)));
}

unsigned int CKW_CodePage::GetCharcode(wchar_t ch) const
{
    return EncodeChar(m_pCodePage, static_cast<uint32_t>(ch));
}

void CKW_CodePage::Release() { delete this; }

IKW_CodePage* IKW_CodePage::Create(unsigned short codePage)
{
    const _KW_CODEPAGE* page = KW_GetCodePage(codePage);
    if (!page) return nullptr;
    return new CKW_CodePage(page);
}

void CKW_CodePageMgr::Release() { delete this; }

IKW_CodePageMgr* IKW_CodePageMgr::Create() { return new CKW_CodePageMgr(); }
