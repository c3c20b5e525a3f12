// Base64 coding (RFC 4648 alphabet, never any line breaks) with a
// replaceable character coder and padding character.
//
// The char forms always use the built-in alphabet and '='; the wide forms
// (and the string forms built on them) use the object's coder and padding.
// Invalid characters are not reported: they decode to garbage bits.
#ifndef CKW_BASE64_H
#define CKW_BASE64_H

#include "CKW_ByteString.h"
#include "CKW_WideString.h"

#include <stdint.h>

// A 6-bit value (0-63) to its character.
typedef wchar_t (*KW_Base64EncodeFunc)(int value);
// A character to its 6-bit value; 0xFF outside the alphabet.
typedef uint8_t (*KW_Base64DecodeFunc)(wchar_t ch);

wchar_t KWCRT_DefBase64Encoder(int value);
// Looks up ch & 127, so characters above 127 alias ASCII ones.
uint8_t KWCRT_DefBase64Decoder(wchar_t ch);

class CKW_Base64Encoder {
public:
    explicit CKW_Base64Encoder(wchar_t padding = '=');
    void SetEncoder(KW_Base64EncodeFunc encoder) { m_pEncoder = encoder; }

    // Each returns the characters written; a null out returns the length the
    // output needs. Input of length below 1, or too long for its output
    // length to fit an int, gives 0.
    int Encode(const unsigned char* data, int length, char* out) const;
    int Encode(const unsigned char* data, int length, wchar_t* out) const;
    // Empty input leaves out untouched and returns 0.
    int Encode(const CKW_ByteStringC& data, CKW_WideString& out) const;
    // The wide form's text in UTF-8; returns out's length.
    int Encode(const CKW_ByteStringC& data, CKW_ByteString& out) const;

private:
    KW_Base64EncodeFunc m_pEncoder;
    wchar_t m_Padding;
};

class CKW_Base64Decoder {
public:
    explicit CKW_Base64Decoder(wchar_t padding = '=');
    void SetDecoder(KW_Base64DecodeFunc decoder) { m_pDecoder = decoder; }

    // Trailing padding is dropped first. Each returns the bytes written; a
    // null out returns the length the output needs.
    int Decode(const char* text, int length, unsigned char* out) const;
    int Decode(const wchar_t* text, int length, unsigned char* out) const;
    // Text empty or padding only: 0, out untouched.
    int Decode(const CKW_WideStringC& text, CKW_ByteString& out) const;
    // The text is read as UTF-8 first.
    int Decode(const CKW_ByteStringC& text, CKW_ByteString& out) const;

private:
    KW_Base64DecodeFunc m_pDecoder;
    wchar_t m_Padding;
};

#endif // CKW_BASE64_H
