#!/usr/bin/env python3
"""Generates core/KW_CodePageTables.cpp, the built-in code-page tables.

The mappings come from the C library's iconv (glibc's gconv modules), so the
tables are reproducible on any Debian machine and the code-page tests can sweep
them against the same independent source at run time.

A byte sequence belongs to a page when iconv decodes exactly that sequence into
exactly one character; a code point belongs to it when iconv encodes it into
one character code of the page (one byte, or a lead byte and a trail byte on a
double-byte page) that decodes back to that same code point. Several byte codes
may decode to one code point; the reverse direction keeps iconv's own choice
among them. iconv's one-way "best fit" encodings (CP932 U+00A5 to 0x5C, U+203E
to 0x7E, CP1258 U+0340 to 0xCC, ...) are left out: the published code-page
tables do not hold them, and a yen sign that turns into a backslash, or an
overline into a tilde, changes what a path or an escape means.

Table layout (see KW_CodePage.h):
  bytes to Unicode: 256 index entries by first byte (low 16 bits: number of
  trail ranges, 0 for a single-byte character; high 16 bits: the code point, or
  the position of the first trail range), trail ranges (low 8 bits: first trail
  byte, next 8 bits: kind, high 16 bits: data offset in 16-bit units);
  Unicode to bytes: ranges of (first code point, last code point, kind, data
  offset in 16-bit units).
  Kinds: 1 table of 16-bit values, 2 run (base + index), 3 nothing valid,
  4 16-bit base followed by 8-bit increments (packed two per 16-bit unit, low
  byte first; increments stay below 128 so signed and unsigned readings agree).
  0xFEFF marks an invalid entry inside a kind-1 table.

Usage: tools/gen_codepages.py [output path]
"""
import ctypes
import ctypes.util
import struct
import sys
import os

PAGES = [874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258]
INVALID = 0xFEFF

# Charset names for KW_GetCodePageFromStringA (255 of them); only their hashes
# are stored.
CHARSET_NAMES = {
    # Windows pages
    **{f"windows-{n}": n for n in range(1250, 1259)},
    **{f"cp{n}": n for n in range(1250, 1259)},
    **{f"x-cp{n}": n for n in range(1250, 1259)},
    "windows-874": 874, "cp874": 874, "x-cp874": 874, "tis-620": 874, "iso-8859-11": 874,
    "shift_jis": 932, "shift-jis": 932, "sjis": 932, "x-sjis": 932, "ms_kanji": 932,
    "csshiftjis": 932, "windows-31j": 932, "cp932": 932, "windows-932": 932, "x-ms-cp932": 932,
    "gbk": 936, "gb2312": 936, "cp936": 936, "windows-936": 936, "ms936": 936, "x-gbk": 936,
    "csgb2312": 936, "gb_2312-80": 936, "chinese": 936, "iso-ir-58": 936, "euc-cn": 936,
    "x-euc-cn": 936,
    "ks_c_5601-1987": 949, "ks_c_5601-1989": 949, "ks_c_5601": 949, "ksc_5601": 949,
    "korean": 949, "csksc56011987": 949, "iso-ir-149": 949, "cp949": 949, "uhc": 949,
    "windows-949": 949,
    "big5": 950, "big-5": 950, "x-x-big5": 950, "csbig5": 950, "cn-big5": 950, "cp950": 950,
    "windows-950": 950,
    # Western aliases that Windows maps to 1252
    "iso-8859-1": 1252, "iso8859-1": 1252, "iso_8859-1": 1252, "latin1": 1252, "l1": 1252,
    "ibm819": 1252, "cp819": 1252, "csisolatin1": 1252, "iso-ir-100": 1252,
    "iso_8859-1:1987": 1252, "us-ascii": 20127, "ascii": 20127, "us": 20127,
    "iso646-us": 20127, "ansi_x3.4-1968": 20127, "cp367": 20127, "ibm367": 20127,
    # ISO 8859
    "iso-8859-2": 28592, "iso-8859-3": 28593, "iso-8859-4": 28594, "iso-8859-5": 28595,
    "iso-8859-6": 28596, "iso-8859-7": 28597, "iso-8859-8": 28598, "iso-8859-9": 28599,
    "iso-8859-13": 28603, "iso-8859-15": 28605, "iso-8859-8-i": 38598,
    "latin2": 28592, "latin3": 28593, "latin4": 28594, "cyrillic": 28595, "arabic": 28596,
    "greek": 28597, "hebrew": 28598, "latin5": 28599, "latin9": 28605,
    # KOI8, Mac, EUC, ISO-2022, DOS, EBCDIC
    "koi8-r": 20866, "koi8-u": 21866, "cskoi8r": 20866,
    "macintosh": 10000, "x-mac-roman": 10000, "x-mac-japanese": 10001,
    "x-mac-chinesetrad": 10002, "x-mac-korean": 10003, "x-mac-arabic": 10004,
    "x-mac-hebrew": 10005, "x-mac-greek": 10006, "x-mac-cyrillic": 10007,
    "x-mac-chinesesimp": 10008, "x-mac-ce": 10029, "x-mac-turkish": 10081,
    "euc-jp": 51932, "x-euc-jp": 51932, "euc-kr": 51949, "cseuckr": 51949,
    "iso-2022-jp": 50220, "csiso2022jp": 50221, "iso-2022-kr": 50225, "hz-gb-2312": 52936,
    "gb18030": 54936, "ibm437": 437, "cp437": 437, "ibm850": 850, "cp850": 850,
    "ibm852": 852, "cp852": 852, "ibm866": 866, "cp866": 866,
    "ibm037": 37, "ebcdic-cp-us": 37, "ibm500": 500, "ibm1047": 1047,
    # Unicode
    "utf-7": 65000, "unicode-1-1-utf-7": 65000, "utf-8": 65001, "unicode-1-1-utf-8": 65001,
    "utf8": 65001, "utf-16": 1200, "utf-16le": 1200, "unicode": 1200, "ucs-2": 1200,
    "utf-16be": 1201, "unicodefffe": 1201,
    # More spellings of the same families.
    # Western: 1252 answers for 21 names in all.
    "iso88591": 1252, "iso8859_1": 1252, "iso_8859_1": 1252, "latin-1": 1252, "8859_1": 1252,
    "x-ansi": 1252, "ms-ansi": 1252, "cswindows1252": 1252,
    # Windows
    **{f"cswindows{n}": n for n in (1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258)},
    # ISO 8859
    "iso8859-2": 28592, "iso_8859-2": 28592, "iso-ir-101": 28592, "csisolatin2": 28592, "l2": 28592,
    "iso8859-3": 28593, "iso_8859-3": 28593, "iso-ir-109": 28593, "csisolatin3": 28593, "l3": 28593,
    "iso8859-4": 28594, "iso_8859-4": 28594, "iso-ir-110": 28594, "csisolatin4": 28594, "l4": 28594,
    "iso8859-5": 28595, "iso_8859-5": 28595, "iso-ir-144": 28595, "csisolatincyrillic": 28595,
    "iso8859-6": 28596, "iso_8859-6": 28596, "iso-ir-127": 28596, "csisolatinarabic": 28596,
    "ecma-114": 28596, "asmo-708": 708,
    "iso8859-7": 28597, "iso_8859-7": 28597, "iso-ir-126": 28597, "csisolatingreek": 28597,
    "ecma-118": 28597, "elot_928": 28597,
    "iso8859-8": 28598, "iso_8859-8": 28598, "iso-ir-138": 28598, "csisolatinhebrew": 28598,
    "iso_8859-8-i": 38598, "csiso88598i": 38598, "logical": 38598,
    "iso8859-9": 28599, "iso_8859-9": 28599, "iso-ir-148": 28599, "csisolatin5": 28599, "l5": 28599,
    "iso8859-13": 28603, "iso_8859-13": 28603,
    "iso8859-15": 28605, "iso_8859-15": 28605, "latin-9": 28605,
    # EBCDIC
    "cp037": 37, "csibm037": 37, "ebcdic-cp-ca": 37, "cp500": 500, "csibm500": 500, "ebcdic-cp-be": 500,
    "ibm273": 20273, "ibm277": 20277, "ibm278": 20278, "ibm1026": 1026,
    # Mac
    "mac": 10000, "csmacintosh": 10000, "x-mac-icelandic": 10079, "x-mac-romanian": 10010,
    "x-mac-ukrainian": 10017,
    # KOI8
    "koi8": 20866, "koi8r": 20866, "koi8u": 21866, "koi8-ru": 21866,
    # EUC
    "eucjp": 51932, "euckr": 51949, "cseucpkdfmtjapanese": 51932,
    # ISO-2022
    "csiso2022kr": 50225, "iso-2022-cn": 50227,
    # UTF-7, UTF-8, UTF-16
    "utf7": 65000, "unicode-2-0-utf-7": 65000, "x-unicode20utf7": 65000,
    "unicode-2-0-utf-8": 65001, "x-unicode20utf8": 65001, "csutf8": 65001,
    "utf16": 1200, "csunicode": 1200, "iso-10646-ucs-2": 1200, "unicodefeff": 1200,
    "utf16le": 1200, "utf16be": 1201,
}


class Iconv:
    def __init__(self):
        libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        libc.iconv_open.restype = ctypes.c_void_p
        libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        libc.iconv.restype = ctypes.c_size_t
        libc.iconv.argtypes = [ctypes.c_void_p,
                               ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                               ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
        libc.iconv_close.argtypes = [ctypes.c_void_p]
        self.libc = libc

    def converter(self, to, frm):
        cd = self.libc.iconv_open(to.encode(), frm.encode())
        if cd in (None, ctypes.c_void_p(-1).value, 2**64 - 1):
            raise SystemExit(f"iconv cannot convert {frm} to {to}")
        libc = self.libc

        def run(data):
            libc.iconv(cd, None, None, None, None)          # fresh state
            src = ctypes.create_string_buffer(bytes(data), len(data))
            out = ctypes.create_string_buffer(64)
            inp = ctypes.c_char_p(ctypes.addressof(src))
            inleft = ctypes.c_size_t(len(data))
            outp = ctypes.c_char_p(ctypes.addressof(out))
            outleft = ctypes.c_size_t(64)
            r = libc.iconv(cd, ctypes.byref(inp), ctypes.byref(inleft), ctypes.byref(outp), ctypes.byref(outleft))
            if r == ctypes.c_size_t(-1).value or inleft.value != 0:
                return None
            # Stateful pages keep a character back until the end of the input.
            r = libc.iconv(cd, None, None, ctypes.byref(outp), ctypes.byref(outleft))
            if r == ctypes.c_size_t(-1).value:
                return None
            return out.raw[:64 - outleft.value]
        return run


def read_page(ic, cp):
    dec = ic.converter("WCHAR_T", f"CP{cp}")
    enc = ic.converter(f"CP{cp}", "WCHAR_T")
    single = {}       # byte -> code point
    leads = {}        # lead byte -> {trail: code point}
    for b in range(256):
        out = dec(bytes([b]))
        if out is not None and len(out) == 4:
            single[b] = struct.unpack("=I", out)[0]
            continue
        trails = {}
        for t in range(256):
            out = dec(bytes([b, t]))
            if out is not None and len(out) == 4:
                trails[t] = struct.unpack("=I", out)[0]
        if trails:
            leads[b] = trails
    to_code = {}
    for cpnt in range(0x10000):
        if 0xD800 <= cpnt <= 0xDFFF:
            continue
        out = enc(struct.pack("=I", cpnt))
        if out is None:
            continue
        if len(out) == 1 and out[0] not in leads and single.get(out[0]) == cpnt:
            to_code[cpnt] = out[0]
        elif len(out) == 2 and leads.get(out[0], {}).get(out[1]) == cpnt:
            to_code[cpnt] = out[0] << 8 | out[1]
    return single, leads, to_code


def segment(values, first, last):
    """Splits values[first..last] (None = invalid) into (start, kind, payload) ranges."""
    out = []
    i = first
    while i <= last:
        v = values.get(i)
        if v is None:
            j = i
            while j + 1 <= last and values.get(j + 1) is None:
                j += 1
            out.append((i, 3, None, j))
            i = j + 1
            continue
        j = i
        while j + 1 <= last and values.get(j + 1) is not None and values[j + 1] == values[j] + 1:
            j += 1
        if j - i + 1 >= 4:
            out.append((i, 2, v, j))
            i = j + 1
            continue
        # Irregular stretch: up to the next run of 4 or the next gap of 3 or more.
        j = i
        while j + 1 <= last:
            k = j + 1
            if values.get(k) is None:
                g = k
                while g <= last and values.get(g) is None:
                    g += 1
                if g - k >= 3 or g > last:
                    break
                j = g - 1
                continue
            r = k
            while r + 1 <= last and values.get(r + 1) is not None and values[r + 1] == values[r] + 1:
                r += 1
            if r - k + 1 >= 4:
                break
            j = k
        vals = [values.get(x) for x in range(i, j + 1)]
        if None not in vals and max(vals) - min(vals) < 128:
            out.append((i, 4, (min(vals), [v - min(vals) for v in vals]), j))
        else:
            out.append((i, 1, [INVALID if v is None else v for v in vals], j))
        i = j + 1
    return out


class Data:
    def __init__(self):
        self.units = []

    def add(self, kind, payload):
        off = len(self.units)
        if kind == 1:
            self.units.extend(payload)
        elif kind == 2:
            self.units.append(payload)
        elif kind == 4:
            base, inc = payload
            self.units.append(base)
            if len(inc) % 2:
                inc = inc + [0]
            for a, b in zip(inc[0::2], inc[1::2]):
                self.units.append(a | b << 8)
        if kind != 3 and len(self.units) > 0xFFFF:
            raise SystemExit("code-page data exceeds 16-bit offsets")
        return off if kind != 3 else 0


def hexlist(values, fmt, per_line):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(fmt % v for v in values[i:i + per_line]) + ",")
    return "\n".join(lines) if lines else "    0,"


def emit_page(cp, single, leads, to_code):
    data = Data()
    index = []
    trail_ranges = []
    for b in range(256):
        if b in leads:
            trails = leads[b]
            ranges = segment(trails, min(trails), 0xFF)
            index.append(len(trail_ranges) << 16 | len(ranges))
            for start, kind, payload, _ in ranges:
                trail_ranges.append(data.add(kind, payload) << 16 | kind << 8 | start)
        else:
            index.append(single.get(b, INVALID) << 16)
    uni_ranges = []
    for start, kind, payload, end in segment(to_code, 0, max(to_code)):
        if kind == 3:
            continue   # no range: the lookup reports the code point as invalid
        uni_ranges.append((start, end, kind, data.add(kind, payload)))
    if INVALID in to_code or INVALID in to_code.values():
        raise SystemExit(f"code page {cp} uses the invalid marker as a real value")
    double = bool(leads)
    codes = list(single) + [l << 8 | t for l, ts in leads.items() for t in ts]
    header = dict(cp=cp, minb=1, maxb=2 if double else 1, width=2 if double else 1,
                  dbcs=1 if double else 0, mincode=0, maxcode=max(codes),
                  defcode=0x3F, minuni=0, maxuni=max(to_code), defuni=0x3F)
    name = f"s_cp{cp}"
    src = []
    src.append(f"// Code page {cp}: {len(codes)} character codes, {len(to_code)} code points.")
    src.append(f"static const uint32_t {name}_index[256] = {{\n{hexlist(index, '0x%08X', 6)}\n}};")
    src.append(f"static const uint32_t {name}_trails[] = {{\n{hexlist(trail_ranges, '0x%08X', 6)}\n}};")
    flat = [x for r in uni_ranges for x in r]
    src.append(f"static const uint16_t {name}_uranges[] = {{\n{hexlist(flat, '0x%04X', 8)}\n}};")
    src.append(f"static const uint16_t {name}_data[] = {{\n{hexlist(data.units, '0x%04X', 10)}\n}};")
    entry = ("    {{{cp}, {minb}, {maxb}, {width}, {dbcs}, 0x{mincode:X}, 0x{maxcode:X}, 0x{defcode:X}, "
             "0x{minuni:X}, 0x{maxuni:X}, 0x{defuni:X}}},\n").format(**header)
    entry += (f"     {name}_index, {name}_trails, {name}_data,\n"
              f"     {len(uni_ranges)}, reinterpret_cast<const KW_CodePageUniRange*>({name}_uranges), {name}_data")
    return "\n".join(src), "  {\n" + entry + "\n  }"


def hash_name(name):
    h = 0
    for ch in name.encode("ascii"):
        c = ch
        if ord("A") <= c <= ord("Z"):
            c += 32
        if c >= 128:
            c -= 256
        h = (h * 31 + c) & 0xFFFFFFFF
    return h


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "core", "KW_CodePageTables.cpp")
    ic = Iconv()
    bodies, entries = [], []
    for cp in PAGES:
        body, entry = emit_page(cp, *read_page(ic, cp))
        bodies.append(body)
        entries.append(entry)
    names = sorted((hash_name(n), cp) for n, cp in CHARSET_NAMES.items())
    hashes = [h for h, _ in names]
    if len(set(hashes)) != len(hashes):
        raise SystemExit("charset name hashes collide")
    name_rows = "\n".join(f"    {{0x{h:08X}u, {cp}}}," for h, cp in names)
    text = f"""// GENERATED by tools/gen_codepages.py from the C library's iconv tables. Do not edit.
#include "KW_CodePage.h"

namespace {{

{chr(10).join(bodies)}

}} // namespace

const _KW_CODEPAGE g_KW_CodePages[KW_CODEPAGE_COUNT] = {{
{(","+chr(10)).join(entries)}
}};

const KW_CharsetNameEntry g_KW_CharsetNames[] = {{
{name_rows}
}};

const int g_KW_CharsetNameCount = {len(names)};
"""
    text = text.replace("\n\n\n", "\n\n")
    with open(out_path, "w") as f:
        f.write(text)
    print(f"{out_path}: {len(PAGES)} code pages, {len(names)} charset names")


if __name__ == "__main__":
    main()
