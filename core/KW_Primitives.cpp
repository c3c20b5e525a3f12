#include "KW_Primitives.h"

#include "CKW_ByteString.h"

#include <limits.h>
#include <locale.h>
#include <math.h>
#include <stdlib.h>
#include <wchar.h>

#include <string>
#include <type_traits>

namespace {

template <typename C>
inline C LowerAscii(C c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<C>(c + ('a' - 'A')) : c;
}
template <typename C>
inline C UpperAscii(C c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<C>(c - ('a' - 'A')) : c;
}

template <typename T, typename C>
T ParseInt(const C* text)
{
    using U = typename std::make_unsigned<T>::type;
    if (!text)
        return 0;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    } else if (*text == '+') {
        ++text;
    }
    if (*text < '0' || *text > '9')
        return 0;
    U value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = static_cast<U>(value * 10u + static_cast<U>(*text - '0'));
    if (negative)
        value = static_cast<U>(0u - value);
    return static_cast<T>(value);
}

// Decimal digits of value into buffer, terminated; returns buffer.
template <typename C>
C* WriteDecimal(long long value, C* buffer)
{
    static const char kDigits[] = "0123456789abcdef";
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    C digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<C>(kDigits[magnitude % 10]);
        magnitude /= 10;
    } while (magnitude);
    C* out = buffer;
    if (value < 0)
        *out++ = '-';
    while (n)
        *out++ = digits[--n];
    *out = 0;
    return buffer;
}

template <typename C>
int CompareNoCase(const C* a, const C* b)
{
    using U = typename std::make_unsigned<C>::type;
    for (;; ++a, ++b) {
        int ca = static_cast<int>(static_cast<U>(LowerAscii(*a)));
        int cb = static_cast<int>(static_cast<U>(LowerAscii(*b)));
        if (ca != cb || *a == 0)
            return ca - cb;
    }
}

template <typename C>
int CompareNoCaseN(const C* a, const C* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<int>(LowerAscii(a[i]));
        int cb = static_cast<int>(LowerAscii(b[i]));
        if (ca != cb)
            return ca - cb;
        if (a[i] == 0)
            return 0; // both texts ended together
    }
    return 0;
}

// Decimal text without exponent, bounded by length.
template <typename C>
float ParseFloat(const C* text, int length, int* consumed)
{
    int i = 0;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    float value = 0.0f;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10.0f + static_cast<float>(text[i] - '0');
    if (i < length && text[i] == '.') {
        ++i;
        float weight = 0.1f;
        for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
            value += static_cast<float>(text[i] - '0') * weight;
            weight *= 0.1f;
        }
    }
    if (consumed)
        *consumed = i;
    return negative ? -value : value;
}

locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

} // namespace

int KWSYS_atoi(const char* text) { return ParseInt<int>(text); }
int64_t KWSYS_atoi64(const char* text) { return ParseInt<int64_t>(text); }
int KWSYS_wtoi(const wchar_t* text) { return ParseInt<int>(text); }
int64_t KWSYS_wtoi64(const wchar_t* text) { return ParseInt<int64_t>(text); }

char* KWSYS_itoa(int value, char* buffer, int) { return WriteDecimal(value, buffer); }
char* KWSYS_i64toa(long long value, char* buffer, int) { return WriteDecimal(value, buffer); }
wchar_t* KWSYS_i64tow(long long value, wchar_t* buffer, int) { return WriteDecimal(value, buffer); }

char* KWSYS_strlwr(char* text)
{
    if (text)
        for (char* p = text; *p; ++p)
            *p = LowerAscii(*p);
    return text;
}

char* KWSYS_strupr(char* text)
{
    if (text)
        for (char* p = text; *p; ++p)
            *p = UpperAscii(*p);
    return text;
}

wchar_t* KWSYS_wcslwr(wchar_t* text)
{
    if (text)
        for (wchar_t* p = text; *p; ++p)
            *p = LowerAscii(*p);
    return text;
}

wchar_t* KWSYS_wcsupr(wchar_t* text)
{
    if (text)
        for (wchar_t* p = text; *p; ++p)
            *p = UpperAscii(*p);
    return text;
}

int KWSYS_stricmp(const char* a, const char* b) { return CompareNoCase(a, b); }
int KWSYS_wcsicmp(const wchar_t* a, const wchar_t* b) { return CompareNoCase(a, b); }
int KWSYS_strnicmp(const char* a, const char* b, size_t n) { return CompareNoCaseN(a, b, n); }
int KWSYS_wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n) { return CompareNoCaseN(a, b, n); }

wchar_t* KWSYS_wcsncpy(wchar_t* dst, const wchar_t* src, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        dst[i] = src[i];
        if (src[i] == 0)
            break;
    }
    return dst;
}

int KWSYS_WideCharToMultiByte(unsigned, unsigned, const wchar_t* src, int, char* dst, int dstLength, const char*,
                              bool*)
{
    size_t n = wcstombs(dst, src, dst ? static_cast<size_t>(dstLength < 0 ? 0 : dstLength) : 0);
    return n == static_cast<size_t>(-1) || n > INT_MAX ? 0 : static_cast<int>(n);
}

int KWSYS_MultiByteToWideChar(unsigned, unsigned, const char* src, int, wchar_t* dst, int dstLength)
{
    size_t n = mbstowcs(dst, src, dst ? static_cast<size_t>(dstLength < 0 ? 0 : dstLength) : 0);
    return n == static_cast<size_t>(-1) || n > INT_MAX ? 0 : static_cast<int>(n);
}

int KWSYS_GetFullPathName(const char* path, int size, char* buffer)
{
    size_t length = path ? strlen(path) : 0;
    if (!buffer || size < 0 || length >= static_cast<size_t>(size))
        return static_cast<int>(length + 1);
    memcpy(buffer, path ? path : "", length + 1);
    return static_cast<int>(length);
}

uint32_t KWSYS_GetModuleFileName(void*, char*, int) { return 0xFFFFFFFFu; }

FILE* KWSYS_wfopen(const wchar_t* path, const wchar_t* mode)
{
    if (!path || !mode)
        return nullptr;
    auto narrow = [](const wchar_t* w, std::string& out) {
        size_t n = wcstombs(nullptr, w, 0);
        if (n == static_cast<size_t>(-1))
            return false;
        out.assign(n, '\0');
        wcstombs(&out[0], w, n + 1);
        return true;
    };
    std::string p, m;
    if (!narrow(path, p) || !narrow(mode, m))
        return nullptr;
    return fopen(p.c_str(), m.c_str());
}

int _vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    return vsnprintf(buffer, size, format, args);
}

float KWSYS_tan(float x) { return tanf(x); }
float KWSYS_logb(float base, float x) { return logf(x) / logf(base); }

int KWSYS_round(float x)
{
    if (x != x)
        return 0;
    double r = x < 0 ? ceil(static_cast<double>(x) - 0.5) : floor(static_cast<double>(x) + 0.5);
    if (r >= 2147483647.0)
        return INT_MAX;
    if (r <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(r);
}

float KWSYS_wcstof(const wchar_t* text, int length, int* consumed)
{
    if (!text) {
        if (consumed)
            *consumed = 0;
        return 0.0f;
    }
    if (length < 0) {
        size_t n = wcslen(text);
        length = n > INT_MAX ? INT_MAX : static_cast<int>(n);
    }
    return ParseFloat(text, length, consumed);
}

// The number's characters are all ASCII, which every locale's multibyte
// encoding keeps as single bytes, so the bytes are parsed directly: the
// result and the consumed count are those of the wide parse, bounded by the
// bytes actually given.
float KWSYS_strtof(const char* text, int length, int* consumed)
{
    if (!text) {
        if (consumed)
            *consumed = 0;
        return 0.0f;
    }
    if (length < 0) {
        size_t n = strlen(text);
        length = n > INT_MAX ? INT_MAX : static_cast<int>(n);
    }
    return ParseFloat(text, length, consumed);
}

uint32_t KW_HashCode_String_GetA(const char* text, int length, bool ignoreCase)
{
    if (!text)
        return 0;
    if (length < 0)
        length = static_cast<int>(strlen(text));
    uint32_t h = 0;
    for (int i = 0; i < length; ++i) {
        signed char c = static_cast<signed char>(text[i]);
        if (ignoreCase)
            c = LowerAscii(c);
        h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(c));
    }
    return h;
}

uint32_t KW_HashCode_String_GetW(const wchar_t* text, int length, bool ignoreCase)
{
    if (!text)
        return 0;
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    uint32_t h = 0;
    for (int i = 0; i < length; ++i) {
        wchar_t c = text[i];
        if (ignoreCase)
            c = LowerAscii(c);
        h = h * 1313u + static_cast<uint32_t>(c);
    }
    return h;
}

void KW_atofix32(const CKW_ByteStringC& text, int& integer, unsigned int& fraction)
{
    integer = 0;
    fraction = 0;
    const uint8_t* s = text.GetPtr();
    int n = text.GetLength();
    if (n == 0)
        return;
    int i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
        int digit = s[i] - '0';
        if (value > (INT_MAX - digit) / 10) {
            // Out of range: the documented saturated value, no fraction.
            integer = negative ? -0xFFFFFF : 0xFFFFFF;
            return;
        }
        value = value * 10 + digit;
    }
    integer = negative ? -value : value;
    if (i < n && s[i] == '.' && i + 1 < n) {
        static const uint32_t kWeights[9] = {429496730u, 42949673u, 4294967u, 429497u, 42950u,
                                             4295u,      429u,      43u,      4u};
        ++i;
        for (int k = 0; k < 9 && i < n && s[i] >= '0' && s[i] <= '9'; ++k, ++i)
            fraction += static_cast<uint32_t>(s[i] - '0') * kWeights[k];
    }
    if (negative && fraction != 0) {
        integer -= 1;
        fraction = 0u - fraction;
    }
}

float KW_atof(const CKW_ByteStringC& text)
{
    const uint8_t* s = text.GetPtr();
    int n = text.GetLength();
    if (n == 0)
        return 0.0f;
    int i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        while (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
    }
    if (i == n)
        return 0.0f;
    const int start = i;
    float value = 0.0f;
    for (; i < n && s[i] != '.'; ++i)
        value = value * 10.0f + static_cast<float>(static_cast<int>(s[i]) - '0');
    if (i < n) { // at the '.'
        int after = n - i - 1;
        if (after <= 10) {
            float weight = 0.1f;
            for (int k = i + 1; k < n; ++k) {
                value += static_cast<float>(static_cast<int>(s[k]) - '0') * weight;
                weight *= 0.1f;
            }
        } else {
            // Long fractions go through the C library, on a terminated copy of
            // exactly the given text and with the C decimal point.
            std::string copy(reinterpret_cast<const char*>(s + start), static_cast<size_t>(n - start));
            value = strtof_l(copy.c_str(), nullptr, CLocale());
        }
    }
    return negative ? -value : value;
}

void KW_atonum(const CKW_ByteStringC& text, bool& isInteger, void* result, int resultSize)
{
    const uint8_t* s = text.GetPtr();
    int n = text.GetLength();
    if (n > 0 && memchr(s, '.', static_cast<size_t>(n))) {
        isInteger = false;
        float f = KW_atof(text);
        if (result && resultSize >= static_cast<int>(sizeof(float)))
            memcpy(result, &f, sizeof(float));
        return;
    }
    isInteger = true;
    int i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const int64_t limit = resultSize == 8 ? INT64_MAX : INT_MAX;
    int64_t value = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
        int digit = s[i] - '0';
        if (value > (limit - digit) / 10) { // out of range: 0, as documented
            value = 0;
            negative = false;
            break;
        }
        value = value * 10 + digit;
    }
    if (negative)
        value = -value;
    if (!result)
        return;
    if (resultSize == 8) {
        memcpy(result, &value, 8);
    } else if (resultSize >= 4) {
        int32_t v = static_cast<int32_t>(value);
        memcpy(result, &v, 4);
    }
}
