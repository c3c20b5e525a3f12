#include "TSTranslationUnit.h"

void TSTranslationUnit::AddMessageFromTS(const std::wstring& file, int line, const std::wstring& text)
{
    const auto key = static_cast<std::uint64_t>(static_cast<std::int64_t>(line));
    files_[file].emplace(key, text);
}

void TSTranslationUnit::AppendTsTranslationUnit(const TSTranslationUnit& other)
{
    for (const auto& file : other.files_) {
        for (const auto& line : file.second)
            AddMessageFromTS(file.first, static_cast<int>(static_cast<std::int32_t>(line.first)), line.second);
    }
}
