// Character, number and memory primitives of the core library: thin wrappers
// over the C library, locale-free number/text conversions, ASCII-only case
// mapping, string hashes and the decimal parsers.
#ifndef KW_PRIMITIVES_H
#define KW_PRIMITIVES_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

class CKW_ByteStringC;

// Memory (sizes in bytes)
inline void* KWSYS_memcpy32(void* dst, const void* src, size_t size) { return memcpy(dst, src, size); }
inline int KWSYS_memcmp32(const void* a, const void* b, size_t size) { return memcmp(a, b, size); }
inline void* KWSYS_memset8(void* dst, int byte, size_t size) { return memset(dst, byte, size); }
inline void* KWSYS_memset32(void* dst, int byte, size_t size) { return memset(dst, byte, size); }
inline void* KWSYS_memmove32(void* dst, const void* src, size_t size) { return memmove(dst, src, size); }

// Text to integer: optional sign, digits, no white space; wraps in the width.
int KWSYS_atoi(const char* text);
int64_t KWSYS_atoi64(const char* text);
int KWSYS_wtoi(const wchar_t* text);
int64_t KWSYS_wtoi64(const wchar_t* text);

// Integer to text, always decimal (radix is not used). Buffers: 12 / 21 units.
char* KWSYS_itoa(int value, char* buffer, int radix);
char* KWSYS_i64toa(long long value, char* buffer, int radix);
wchar_t* KWSYS_i64tow(long long value, wchar_t* buffer, int radix);

// ASCII-only case mapping and comparison.
char* KWSYS_strlwr(char* text);
char* KWSYS_strupr(char* text);
wchar_t* KWSYS_wcslwr(wchar_t* text);
wchar_t* KWSYS_wcsupr(wchar_t* text);
int KWSYS_stricmp(const char* a, const char* b);
int KWSYS_wcsicmp(const wchar_t* a, const wchar_t* b);
// Compare at most n characters; stops at the end of either text.
int KWSYS_strnicmp(const char* a, const char* b, size_t n);
int KWSYS_wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n);
wchar_t* KWSYS_wcsncpy(wchar_t* dst, const wchar_t* src, size_t n);

// Platform shims. The conversions follow the process's C locale.
int KWSYS_WideCharToMultiByte(unsigned codePage, unsigned flags, const wchar_t* src, int srcLength, char* dst,
                              int dstLength, const char* defaultChar = nullptr, bool* usedDefault = nullptr);
int KWSYS_MultiByteToWideChar(unsigned codePage, unsigned flags, const char* src, int srcLength, wchar_t* dst,
                              int dstLength);
int KWSYS_GetFullPathName(const char* path, int size, char* buffer);
uint32_t KWSYS_GetModuleFileName(void* module, char* buffer, int size);
FILE* KWSYS_wfopen(const wchar_t* path, const wchar_t* mode);
int _vsnprintf(char* buffer, size_t size, const char* format, va_list args);

// Floating point
float KWSYS_tan(float x);
float KWSYS_logb(float base, float x);
// Nearest integer, halves away from zero; NaN gives 0; limited to 32 bits.
int KWSYS_round(float x);
// Decimal text without exponent. consumed (when given) always receives the
// index where parsing stopped.
float KWSYS_wcstof(const wchar_t* text, int length, int* consumed);
float KWSYS_strtof(const char* text, int length, int* consumed);

// Hashes
uint32_t KW_HashCode_String_GetA(const char* text, int length, bool ignoreCase);
uint32_t KW_HashCode_String_GetW(const wchar_t* text, int length, bool ignoreCase);

// Decimal parsers
void KW_atofix32(const CKW_ByteStringC& text, int& integer, unsigned int& fraction);
void KW_atonum(const CKW_ByteStringC& text, bool& isInteger, void* result, int resultSize);
float KW_atof(const CKW_ByteStringC& text);

#endif // KW_PRIMITIVES_H
