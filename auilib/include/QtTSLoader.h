// Reads a Qt translation file (".ts", enciphered or plain as the library
// configuration expects) of the current language into a translation unit.
#pragma once

#include "TSTranslationUnit.h"

#include <memory>
#include <string>

namespace AUILib {
namespace LanguageFileXml {
class ParsedText;
}
}

class QtTSLoader {
public:
    // Nothing on any failure: unreadable or malformed file, another
    // language, or one unreadable line number anywhere in it.
    std::unique_ptr<TSTranslationUnit> LoadTranslationUnit(const std::wstring& path);
    // Nothing when the document is not a translation file for the current
    // language; throws std::invalid_argument for an unreadable line number.
    std::unique_ptr<TSTranslationUnit> ParseDoc(const AUILib::LanguageFileXml::ParsedText& document);
};
