#include "QtTSLoader.h"

#include "AUILibConfig.h"
#include "LanguageFileXml.h"

#include <stdexcept>
#include <utility>
#include <vector>

using namespace AUILib::LanguageFileXml;

namespace {

// The form file name of a location: what follows the last '/'.
std::wstring FormFileName(const std::wstring& fileName)
{
    const std::size_t slash = fileName.rfind(L'/');
    return slash == std::wstring::npos ? fileName : fileName.substr(slash + 1);
}

// Translations are written into forms as element text: '&' first, so the
// other two are not escaped twice; quotes need no escape there.
std::wstring EscapeForElementText(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

std::unique_ptr<TSTranslationUnit> QtTSLoader::LoadTranslationUnit(const std::wstring& path)
{
    try {
        const ParsedText document(ReadText(path));
        return ParseDoc(document);
    } catch (...) {
        // Unreadable, malformed or partly unreadable: the file gives nothing.
        return nullptr;
    }
}

std::unique_ptr<TSTranslationUnit> QtTSLoader::ParseDoc(const ParsedText& parsed)
{
    const Node* ts = parsed.GetDocument().first_node(L"TS");
    if (!ts)
        return nullptr;
    const Attribute* language = ts->first_attribute(L"language");
    if (!language || ValueOf(language) != AUILib::GetCurrentLanguage())
        return nullptr;

    auto unit = std::make_unique<TSTranslationUnit>();
    for (const Node* context = ts->first_node(L"context"); context; context = context->next_sibling()) {
        for (const Node* message = context->first_node(L"message"); message; message = message->next_sibling()) {
            std::vector<std::pair<int, std::wstring>> locations;
            for (const Node* location = message->first_node(L"location"); location;
                 location = location->next_sibling(L"location")) {
                const Attribute* fileName = location->first_attribute(L"filename");
                const Attribute* line = location->first_attribute(L"line");
                if (!fileName || !line)
                    continue;
                int number = 0;
                if (!ReadInt32(ValueOf(line), number))
                    throw std::invalid_argument("unreadable line number");
                locations.emplace_back(number, FormFileName(ValueOf(fileName)));
            }
            std::wstring translation;
            for (const Node* node = message->first_node(L"translation"); node;
                 node = node->next_sibling(L"translation"))
                translation = ValueOf(node);
            translation = EscapeForElementText(translation);
            for (const auto& location : locations)
                unit->AddMessageFromTS(location.second, location.first, translation);
        }
    }
    return unit;
}
