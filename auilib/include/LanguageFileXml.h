// Reading the library's language files (translation files, string tables)
// into RapidXML documents of wide characters; the plug-in version file is
// parsed the same way.
//
// RapidXML classifies a wide character by its low byte only, so U+0122 in an
// attribute value would end the value like '"' and U+013C would open a tag.
// The parser therefore never sees a character above U+007F: each is stood in
// for by a character whose low byte is a plain letter and which carries the
// real code point above it; Decode() gives the real text back. Numeric
// references above U+007F are replaced by their character before parsing,
// since RapidXML would store them as UTF-8 bytes, one character per byte.
#pragma once

#include <rapidxml/rapidxml.hpp>

#include <string>
#include <vector>

namespace AUILib {
namespace LanguageFileXml {

using Document = rapidxml::xml_document<wchar_t>;
using Node = rapidxml::xml_node<wchar_t>;
using Attribute = rapidxml::xml_attribute<wchar_t>;

// The whole text of a language file: enciphered or plain as the library
// configuration expects. Empty on any failure; a plain file holding a byte
// sequence that is not UTF-8 gives the text before it.
std::wstring ReadText(const std::wstring& path);

// A parsed language file. The document points into the object's own
// buffer, so it lives as long as the object.
class ParsedText {
public:
    // Throws rapidxml::parse_error for text that is not well-formed (and
    // for a numeric reference to no character).
    explicit ParsedText(const std::wstring& text);

    ParsedText(const ParsedText&) = delete;
    ParsedText& operator=(const ParsedText&) = delete;

    const Document& GetDocument() const { return document_; }

private:
    std::vector<wchar_t> buffer_;
    Document document_;
};

// The real text of a parsed value.
std::wstring Decode(const wchar_t* text, std::size_t size);
std::wstring ValueOf(const Node* node);
std::wstring ValueOf(const Attribute* attribute);

// Base-10 integers read like the standard string-to-number calls: leading
// blanks and a sign accepted, reading stops at the first non-digit. False
// when there is no digit or the value is out of range.
bool ReadInt32(const std::wstring& text, int& value);
bool ReadInt64(const std::wstring& text, long long& value);

} // namespace LanguageFileXml
} // namespace AUILib
