#pragma once
// Strict UTF-8 conversion for the library's wide texts (one wchar_t per code
// point). Reading refuses overlong forms, encoded surrogates, truncated
// sequences and values above U+10FFFF rather than guessing.
#include <cstddef>
#include <string>

namespace AUILib {

// Decodes bytes into out; false (out unspecified) on any invalid sequence.
bool Utf8ToWide(const char* data, std::size_t length, std::wstring& out);

// Encodes text; false when it holds a surrogate or a value above U+10FFFF.
bool WideToUtf8(const std::wstring& text, std::string& out);

// Encodes text, writing U+FFFD for each character that has no UTF-8 form.
std::string WideToUtf8Lossy(const std::wstring& text);

} // namespace AUILib
