// The printf dialect of the core library's strings, shared by the byte and
// the wide Format so that both read a format the same way.
//
// The format is rewritten for the C library: the 64-bit size prefix "I64"
// becomes "ll", "hs"/"hS" a byte string, "S"/"lS" the wide string, "C" the
// wide character, and the far/near prefixes 'F'/'N' disappear. "%n" prints
// nothing and its argument is stepped over: nothing is ever written through a
// pointer taken from a format. A width or precision above 131072 refuses the
// whole format.
//
// While walking the arguments the rewrite also adds up a bound on the length
// of the result in characters, generous but never short, so that a caller that
// cannot measure the output first (vswprintf) knows how far to grow a buffer.
#ifndef KW_FORMATDIALECT_H
#define KW_FORMATDIALECT_H

#include "KW_Primitives.h"

#include <locale.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

namespace kwformat {

enum class Check { Ok, BadWidth, BadPrecision };

// What one conversion takes from the argument list.
enum class Arg { Int, Long, LongLong, Size, IntMax, PtrDiff, Double, LongDouble, Pointer };

// The rewritten format, cut at every "%n": the C library has no conversion
// that takes a pointer and prints nothing without reading through it, so the
// pieces are printed one after another and the arguments of each piece (and
// of the "%n" after it) are stepped over between them.
template <typename Char>
struct Piece {
    std::basic_string<Char> format;
    std::vector<Arg> args;
};

template <typename Char>
struct Plan {
    std::vector<Piece<Char>> pieces;
    bool numeric = false;   // some output depends on the numeric locale
    uint64_t bound = 0;     // the result has at most this many characters
};

inline void Skip(va_list& args, Arg kind)
{
    switch (kind) {
    case Arg::Int: (void)va_arg(args, int); break;
    case Arg::Long: (void)va_arg(args, long); break;
    case Arg::LongLong: (void)va_arg(args, long long); break;
    case Arg::Size: (void)va_arg(args, size_t); break;
    case Arg::IntMax: (void)va_arg(args, intmax_t); break;
    case Arg::PtrDiff: (void)va_arg(args, ptrdiff_t); break;
    case Arg::Double: (void)va_arg(args, double); break;
    case Arg::LongDouble: (void)va_arg(args, long double); break;
    case Arg::Pointer: (void)va_arg(args, void*); break;
    }
}

// Prints every piece in turn: print(format, arguments) gets its own copy of
// the arguments positioned at the piece's first one and returns false to stop.
template <typename Char, typename Print>
bool PrintPieces(const Plan<Char>& plan, va_list args, Print print)
{
    va_list current;
    va_copy(current, args);
    bool ok = true;
    for (size_t i = 0; ok && i < plan.pieces.size(); ++i) {
        va_list piece;
        va_copy(piece, current);
        ok = print(plan.pieces[i].format.c_str(), piece);
        va_end(piece);
        if (i + 1 < plan.pieces.size())
            for (Arg kind : plan.pieces[i].args)
                Skip(current, kind);
    }
    va_end(current);
    return ok;
}

inline int ToInt(const char* p) { return KWSYS_atoi(p); }
inline int ToInt(const wchar_t* p) { return KWSYS_wtoi(p); }

// Walks the format once, consuming the arguments the way the C library will,
// and fills the plan.
template <typename Char>
Check Translate(const Char* format, va_list args, Plan<Char>& plan)
{
    plan = Plan<Char>();
    plan.pieces.emplace_back();
    bool& numeric = plan.numeric;
    uint64_t& bound = plan.bound;
    const Char* p = format;
    while (*p) {
        if (*p != '%') {
            plan.pieces.back().format += *p++;
            ++bound;
            continue;
        }
        if (p[1] == '%') {
            plan.pieces.back().format += static_cast<Char>('%');
            plan.pieces.back().format += static_cast<Char>('%');
            p += 2;
            ++bound;
            continue;
        }
        std::basic_string<Char>& out = plan.pieces.back().format;
        std::vector<Arg>& taken = plan.pieces.back().args;
        const Char* const specStart = p;
        const size_t convStart = out.size();
        out += *p++;
        // flags
        while (*p == '-' || *p == '+' || *p == '0' || *p == ' ' || *p == '#' || *p == '\'') {
            if (*p == '\'')
                numeric = true;
            out += *p++;
        }
        // A width or precision: '*' takes the next argument, digits stand as written.
        auto readCount = [&]() -> unsigned {
            if (*p == '*') {
                taken.push_back(Arg::Int);
                out += *p++;
                return static_cast<unsigned>(va_arg(args, int));
            }
            const unsigned count = static_cast<unsigned>(ToInt(p));
            while (*p >= '0' && *p <= '9')
                out += *p++;
            return count;
        };
        const uint64_t width = readCount();
        if (width > 0x20000u)
            return Check::BadWidth;
        int64_t precision = -1;
        if (*p == '.') {
            out += *p++;
            precision = readCount();
            if (precision > 0x20000)
                return Check::BadPrecision;
        }
        const uint64_t digits = precision < 0 ? 6 : static_cast<uint64_t>(precision);
        // size prefix
        enum { kNone, kShort, kChar, kLong, kLongLong, kSize, kMax, kPtrDiff, kLongDouble } size = kNone;
        for (bool more = true; more;) {
            switch (*p) {
            case 'I':
                if (p[1] == '6' && p[2] == '4') {
                    size = kLongLong;
                    p += 3;
                } else if (p[1] == '3' && p[2] == '2') {
                    size = kNone;
                    p += 3;
                } else {
                    size = kSize;
                    ++p;
                }
                break;
            case 'h':
                size = size == kShort ? kChar : kShort;
                ++p;
                break;
            case 'l':
                size = size == kLong ? kLongLong : kLong;
                ++p;
                break;
            case 'q':
                size = kLongLong;
                ++p;
                break;
            case 'z':
                size = kSize;
                ++p;
                break;
            case 'j':
                size = kMax;
                ++p;
                break;
            case 't':
                size = kPtrDiff;
                ++p;
                break;
            case 'L':
                size = kLongDouble;
                ++p;
                break;
            case 'N':
                ++p;
                break;
            case 'F': {
                // A far-pointer prefix only when a conversion follows it.
                static const char kConversions[] = "cCdiouxXeEfgGaAnpsS";
                const Char next = p[1];
                if (next > 0 && next < 0x80 && strchr(kConversions, static_cast<char>(next))) {
                    ++p;
                    break;
                }
                more = false;
                break;
            }
            default:
                more = false;
                break;
            }
        }
        const Char conv = *p;
        if (!conv)
            break;
        ++p;
        uint64_t item = 0;
        switch (conv) {
        case 'c':
        case 'C':
            (void)va_arg(args, int);
            taken.push_back(Arg::Int);
            if ((conv == 'C' && size != kShort) || (conv == 'c' && size == kLong)) {
                out += static_cast<Char>('l');
                item = 8;   // one wide character as bytes: at most a few
            } else {
                item = 1;
            }
            out += static_cast<Char>('c');
            break;
        case 's':
        case 'S':
            if ((conv == 'S' && size != kShort) || (conv == 's' && size == kLong)) {
                const wchar_t* text = va_arg(args, const wchar_t*);
                taken.push_back(Arg::Pointer);
                out += static_cast<Char>('l');
                // Each wide character takes at most 8 bytes in any locale's encoding.
                item = text ? static_cast<uint64_t>(wcslen(text)) * (sizeof(Char) == 1 ? 8 : 1) : 6;
            } else {
                const char* text = va_arg(args, const char*);
                taken.push_back(Arg::Pointer);
                // A byte string never yields more wide characters than it has bytes.
                item = text ? static_cast<uint64_t>(strlen(text)) : 6;
            }
            out += static_cast<Char>('s');
            break;
        case 'd':
        case 'i':
        case 'o':
        case 'u':
        case 'x':
        case 'X':
            switch (size) {
            case kLong:
                (void)va_arg(args, long);
                taken.push_back(Arg::Long);
                out += static_cast<Char>('l');
                break;
            case kLongLong:
                (void)va_arg(args, long long);
                taken.push_back(Arg::LongLong);
                out += static_cast<Char>('l');
                out += static_cast<Char>('l');
                break;
            case kSize:
                (void)va_arg(args, size_t);
                taken.push_back(Arg::Size);
                out += static_cast<Char>('z');
                break;
            case kMax:
                (void)va_arg(args, intmax_t);
                taken.push_back(Arg::IntMax);
                out += static_cast<Char>('j');
                break;
            case kPtrDiff:
                (void)va_arg(args, ptrdiff_t);
                taken.push_back(Arg::PtrDiff);
                out += static_cast<Char>('t');
                break;
            case kShort:
                (void)va_arg(args, int);
                taken.push_back(Arg::Int);
                out += static_cast<Char>('h');
                break;
            case kChar:
                (void)va_arg(args, int);
                taken.push_back(Arg::Int);
                out += static_cast<Char>('h');
                out += static_cast<Char>('h');
                break;
            default:
                (void)va_arg(args, int);
                taken.push_back(Arg::Int);
                break;
            }
            out += conv;
            item = digits + 64;   // 64-bit octal digits, sign, prefix and grouping
            break;
        case 'p':
            (void)va_arg(args, void*);
            taken.push_back(Arg::Pointer);
            out += static_cast<Char>('p');
            // A precision is a least count of digits, as for the integers.
            item = (precision < 0 ? 0 : static_cast<uint64_t>(precision)) + 32;
            break;
        case 'a':
        case 'A':
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G': {
            numeric = true;
            const bool isLong = size == kLongDouble;
            if (isLong) {
                (void)va_arg(args, long double);
                taken.push_back(Arg::LongDouble);
                out += static_cast<Char>('L');
            } else {
                (void)va_arg(args, double);
                taken.push_back(Arg::Double);
            }
            out += conv;
            // 'f' writes every integer digit: up to 309 for a double and 4933
            // for a long double, a third more with grouping.
            const bool fixed = conv == 'f' || conv == 'F';
            item = digits + (fixed ? (isLong ? 6600 : 420) : 64);
            break;
        }
        case 'n':
            // Writing through a pointer taken from the format is never done:
            // the conversion is cut out and its arguments stepped over.
            (void)va_arg(args, void*);
            taken.push_back(Arg::Pointer);
            out.resize(convStart);
            plan.pieces.emplace_back();
            continue;
        default:
            out += conv;   // unknown: printed as the C library prints it, no argument
            item = static_cast<uint64_t>(p - specStart);
            break;
        }
        bound += item > width ? item : width;
    }
    return Check::Ok;
}

// Runs print with the C numeric conventions when numbers are formatted.
template <typename Print>
int WithCNumeric(bool numeric, Print print)
{
    if (!numeric)
        return print();
    locale_t base = duplocale(LC_GLOBAL_LOCALE);
    locale_t cNumeric = base ? newlocale(LC_NUMERIC_MASK, "C", base) : static_cast<locale_t>(0);
    if (!cNumeric) {
        if (base)
            freelocale(base);
        return print();
    }
    locale_t previous = uselocale(cNumeric);
    const int n = print();
    uselocale(previous);
    freelocale(cNumeric);
    return n;
}

} // namespace kwformat

#endif // KW_FORMATDIALECT_H
