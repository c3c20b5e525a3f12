#include "Translator.h"

#include "AUILibConfig.h"
#include "Encrypter.h"
#include "I18N.h"
#include "LanguageFileXml.h"
#include "QtTSLoader.h"

#include <vector>

namespace AUILib {

namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The key of a form in the translations: its file name without the last
// three characters (".kw" of an enciphered Designer file).
std::wstring FormKey(const std::wstring& path)
{
    const wchar_t separator = path.find(L'/') != std::wstring::npos ? L'/' : L'\\';
    const std::size_t last = path.rfind(separator);
    std::wstring name = last == std::wstring::npos ? path : path.substr(last + 1);
    if (name.size() >= 3)
        name.resize(name.size() - 3);
    return name;
}

bool Contains(const std::wstring& line, const wchar_t* what) { return line.find(what) != std::wstring::npos; }

} // namespace

Translator::Translator()
    : currentTable_(std::make_unique<TranslationStringTable>()),
      defaultTable_(std::make_unique<TranslationStringTable>()),
      unit_(std::make_unique<TSTranslationUnit>())
{
}

Translator& Translator::GetInstance()
{
    static Translator instance;
    return instance;
}

void Translator::LoadTranslationFile(const std::wstring& path)
{
    // Recorded before the attempt: a file that fails is not read again
    // until the next reset.
    if (!loadedFiles_.insert(path).second)
        return;
    QtTSLoader loader;
    if (std::unique_ptr<TSTranslationUnit> loaded = loader.LoadTranslationUnit(path))
        unit_->AppendTsTranslationUnit(*loaded);
}

void Translator::LoadStrings(const std::wstring& name)
{
    currentTable_->LoadStringTable(GetStringsFilePath(name, false));
    defaultTable_->LoadStringTable(GetStringsFilePath(name, true));
    currentTable_->LoadStringTable(GetStringsFilePath(std::wstring(), false));
    defaultTable_->LoadStringTable(GetStringsFilePath(std::wstring(), true));
    if (GetCurrentLanguage() == L"en-US")
        return;
    LoadTranslationFile(GetTranslationFilePath(name));
}

void Translator::AppendStrings(const std::wstring& name, const std::wstring& appendedName)
{
    currentTable_->AppendStringTable(GetStringsFilePath(name, false), GetStringsFilePath(appendedName, false));
    defaultTable_->AppendStringTable(GetStringsFilePath(name, true), GetStringsFilePath(appendedName, true));
    LoadTranslationFile(GetTranslationFilePath(appendedName));
}

std::wstring Translator::GetText(const std::wstring& file, const std::wstring& id, const std::wstring&)
{
    return currentTable_->GetText(GetStringsFilePath(file, false), id).value_or(std::wstring());
}

std::wstring Translator::GetDefaultText(const std::wstring& file, const std::wstring& id)
{
    return defaultTable_->GetText(GetStringsFilePath(file, true), id).value_or(std::wstring());
}

std::wstring Translator::TranslateUIFile(const std::wstring& path)
{
    try {
        const std::wstring text = Encrypter::ReadAndDecryptFile(path);
        std::vector<std::wstring> lines = SplitLines(text);
        const auto entry = unit_->GetFiles().find(FormKey(path));
        if (entry == unit_->GetFiles().end() || lines.empty())
            return std::wstring();

        for (const auto& pair : entry->second) {
            // Lines count from 1; a number below that (0, or a negative one,
            // which sorts last) ends the rewriting like one past the end.
            const std::uint64_t number = pair.first;
            if (number < 1 || number > lines.size() || number > 0x7FFFFFFFull)
                break;
            std::size_t index = static_cast<std::size_t>(number - 1);
            if (!Contains(lines[index], L"<string"))
                break;
            while (!Contains(lines[index], L"</string")) {
                lines[index].clear();
                if (index + 1 >= lines.size())
                    break;
                ++index;
            }
            if (!pair.second.empty())
                lines[index] = L"<string>" + pair.second + L"</string>";
        }

        // Lines are joined with the line feeds they were split at, so what
        // is not rewritten comes back unchanged, multi-line texts included.
        std::wstring out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i)
                out += L'\n';
            out += lines[i];
        }
        if (text.back() == L'\n')
            out += L'\n';
        return out;
    } catch (const std::exception&) {
        return std::wstring();
    }
}

std::wstring Translator::ReadTranslationFile(const std::wstring& path) const
{
    return LanguageFileXml::ReadText(path);
}

void Translator::ResetStringsTable()
{
    currentTable_ = std::make_unique<TranslationStringTable>();
    defaultTable_ = std::make_unique<TranslationStringTable>();
    unit_ = std::make_unique<TSTranslationUnit>();
    loadedFiles_.clear();
}

TrString::TrString(const std::wstring& file, const std::wstring& id, const std::wstring& literal) : literal_(literal)
{
    Translator& translator = Translator::GetInstance();
    text_ = translator.GetText(file, id, I18N::GetInstance()->GetLanguage());
    if (text_.empty())
        text_ = translator.GetDefaultText(file, id);
}

} // namespace AUILib
