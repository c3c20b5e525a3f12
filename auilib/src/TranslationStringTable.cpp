#include "TranslationStringTable.h"

#include "AUILibConfig.h"
#include "LanguageFileXml.h"

#include <memory>

using namespace AUILib::LanguageFileXml;

namespace {

bool IsTableLanguage(const std::wstring& language)
{
    return language == AUILib::GetCurrentLanguage() || language == AUILib::GetDefaultLanguage();
}

// Sets the library font from "PreFont"; an unreadable number ends it, with
// what was set before it kept.
void ApplyFont(const Node* font)
{
    const Node* preFont = font->first_node(L"PreFont");
    if (!preFont)
        return;
    std::shared_ptr<AUILib::logFont> record = AUILib::GetFontInfo();
    for (const Attribute* attribute = preFont->first_attribute(); attribute;
         attribute = attribute->next_attribute()) {
        const std::wstring name = Decode(attribute->name(), attribute->name_size());
        if (name == L"FaceName") {
            record->faceName = ValueOf(attribute);
        } else if (name == L"Height") {
            long long height = 0;
            if (!ReadInt64(ValueOf(attribute), height))
                return;
            record->height = height;
        } else if (name == L"Charset") {
            int charset = 0;
            if (!ReadInt32(ValueOf(attribute), charset))
                return;
            record->charSet = static_cast<uint8_t>(charset & 0xFF);
        }
    }
}

} // namespace

void TranslationStringTable::LoadStringTable(const std::wstring& path)
{
    if (tables_.count(path))
        return;
    IdTable table;
    AppendStringTable(path, table);
    if (!table.empty())
        tables_.emplace(path, std::move(table));
}

void TranslationStringTable::AppendStringTable(const std::wstring& keyPath, const std::wstring& filePath)
{
    auto found = tables_.find(keyPath);
    if (found != tables_.end()) {
        AppendStringTable(filePath, found->second);
        return;
    }
    IdTable table;
    AppendStringTable(filePath, table);
    tables_.emplace(keyPath, std::move(table));
}

void TranslationStringTable::AppendStringTable(const std::wstring& path, IdTable& table)
{
    try {
        const ParsedText document(ReadText(path));
        ParseDocAndSaveStringTable(document, table);
    } catch (...) {
        // Missing, damaged or malformed: the file adds what it gave so far.
    }
}

void TranslationStringTable::ParseDocAndSaveStringTable(const ParsedText& parsed, IdTable& table)
{
    try {
        const Node* root = parsed.GetDocument().first_node();
        if (!root)
            return;
        const Attribute* language = root->first_attribute(L"language");
        if (!language || !IsTableLanguage(ValueOf(language)))
            return;
        const Node* font = root->first_node(L"Font");
        const Node* strings = root->first_node(L"StringTable");
        if (!strings)
            return;
        for (const Node* entry = strings->first_node(L"string"); entry; entry = entry->next_sibling()) {
            const Attribute* id = entry->first_attribute(L"id");
            if (!id)
                continue;
            table.emplace(ValueOf(id), ValueOf(entry));
        }
        if (font)
            ApplyFont(font);
    } catch (...) {
        // Keeps the entries inserted so far.
    }
}

std::optional<std::wstring> TranslationStringTable::GetText(const std::wstring& path, const std::wstring& id) const
{
    const auto table = tables_.find(path);
    if (table == tables_.end())
        return std::nullopt;
    const auto text = table->second.find(id);
    if (text == table->second.end())
        return std::nullopt;
    return text->second;
}
