// The translations of Qt translation files: per form file name, the
// translated text of each form line, already escaped for XML element text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

class TSTranslationUnit {
public:
    // Line numbers are the signed numbers of the file, sign-extended: a
    // negative one sorts after every positive one.
    using Lines = std::map<std::uint64_t, std::wstring>;
    using Files = std::unordered_map<std::wstring, Lines>;

    TSTranslationUnit() { files_.max_load_factor(1.0f); }

    // An existing (file, line) keeps its text.
    void AddMessageFromTS(const std::wstring& file, int line, const std::wstring& text);
    // Adds every pair of other; pairs already here keep their text.
    void AppendTsTranslationUnit(const TSTranslationUnit& other);

    const Files& GetFiles() const { return files_; }

private:
    Files files_;
};
