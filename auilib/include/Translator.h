// The library's translation service: string tables of the current and the
// default language, the merged translations of the loaded Qt translation
// files, and the rewriting of a form's texts for the current language. GUI
// thread only; the application loads, the library only looks up.
#pragma once

#include "TSTranslationUnit.h"
#include "TranslationStringTable.h"

#include <memory>
#include <set>
#include <string>

namespace AUILib {

class Translator {
public:
    static Translator& GetInstance();

    // The string tables of component name and of the library itself, and
    // the translation file of name (none for "en-US").
    void LoadStrings(const std::wstring& name);
    // The strings of appendedName under the tables of name, and the
    // translation file of appendedName, in every language.
    void AppendStrings(const std::wstring& name, const std::wstring& appendedName);

    // file is a component name (empty: the library's own table); the
    // language argument is not used. Empty when absent.
    std::wstring GetText(const std::wstring& file, const std::wstring& id, const std::wstring& language);
    std::wstring GetDefaultText(const std::wstring& file, const std::wstring& id);

    // The enciphered form at path with its texts rewritten for the current
    // language, or empty when no loaded translation names the form.
    std::wstring TranslateUIFile(const std::wstring& path);
    // The whole text of a language file; empty on any failure.
    std::wstring ReadTranslationFile(const std::wstring& path) const;
    // Forgets every table, translation and attempted file.
    void ResetStringsTable();

    const TSTranslationUnit& GetMergedUnit() const { return *unit_; }
    const std::set<std::wstring>& GetLoadedFiles() const { return loadedFiles_; }

    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

private:
    Translator();

    void LoadTranslationFile(const std::wstring& path);

    std::unique_ptr<TranslationStringTable> currentTable_;
    std::unique_ptr<TranslationStringTable> defaultTable_;
    std::unique_ptr<TSTranslationUnit> unit_;
    std::set<std::wstring> loadedFiles_;
};

// A translatable text, looked up once at construction: the current-language
// text, else the default-language text, else the literal. An empty text
// counts as absent.
class TrString {
public:
    TrString(const std::wstring& file, const std::wstring& id, const std::wstring& literal);

    operator std::wstring() const { return text_.empty() ? literal_ : text_; }

private:
    std::wstring text_;
    std::wstring literal_;
};

} // namespace AUILib
