// String tables ("strings_" + language + ".xml", enciphered or plain as the
// library configuration expects): texts by id, kept per file path, and the
// library font of the file's "Font" element.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

namespace AUILib {
namespace LanguageFileXml {
class ParsedText;
}
}

class TranslationStringTable {
public:
    using IdTable = std::unordered_map<std::wstring, std::wstring>;

    // Reads the file under its own path, once: a file that gives nothing is
    // not kept, so the next call tries it again.
    void LoadStringTable(const std::wstring& path);
    // Reads filePath into the table kept under keyPath, made (even empty)
    // when there is none.
    void AppendStringTable(const std::wstring& keyPath, const std::wstring& filePath);
    // Reads one file into table; ids already there keep their text. A
    // failure keeps the entries read before it.
    void AppendStringTable(const std::wstring& path, IdTable& table);
    // Adds the entries of a string-table file of the current or the default
    // language and applies its font; stops quietly at the first failure.
    void ParseDocAndSaveStringTable(const AUILib::LanguageFileXml::ParsedText& document, IdTable& table);

    std::optional<std::wstring> GetText(const std::wstring& path, const std::wstring& id) const;

    const std::unordered_map<std::wstring, IdTable>& GetTables() const { return tables_; }

private:
    std::unordered_map<std::wstring, IdTable> tables_;
};
