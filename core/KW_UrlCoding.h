// Percent-coding of URLs.
//
// Unsafe bytes (one set for both encoders): 0x00-0x20, '"', '#', '%', '<',
// '>', '[', '\', ']', '^', '`', '{', '|', '}', '~' and 0x7F. Decoding turns
// '%' and two hex digits into their byte and copies any other '%' unchanged.
#ifndef KW_URLCODING_H
#define KW_URLCODING_H

#include "CKW_ByteString.h"
#include "CKW_WideString.h"

// Safe ASCII characters stay; every other character becomes the bytes of
// its code point in the process locale's encoding, each written as %XX.
CKW_ByteString KW_UrlEncode(const CKW_WideString& text);
// The decoded bytes are read in the process locale's encoding up to the
// first zero byte.
CKW_WideString KW_UrlDecode(const CKW_ByteString& text);
// The text's UTF-8 bytes; every unsafe byte and every byte 0x80 and above
// becomes %XX.
CKW_ByteString KW_EncodeURI(const CKW_WideString& text);
// The decoded bytes are read as UTF-8 in full: a decoded zero byte becomes a
// zero character.
CKW_WideString KW_DecodeURI(const CKW_ByteString& text);

#endif // KW_URLCODING_H
