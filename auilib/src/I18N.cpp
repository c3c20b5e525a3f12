#include "I18N.h"

#include <cstdlib>
#include <locale>
#include <stdexcept>

namespace {

std::wstring UpToFirstPoint(const std::wstring& name) { return name.substr(0, name.find(L'.')); }

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsPortableLocale(const std::wstring& name)
{
    for (const wchar_t* base : {L"C", L"POSIX"}) {
        const std::wstring b(base);
        if (name == b || StartsWith(name, b + L".") || StartsWith(name, b + L"@") || StartsWith(name, b + L"_"))
            return true;
    }
    return false;
}

} // namespace

std::string I18N::EnvironmentLocaleName()
{
    try {
        const std::string name = std::locale("").name();
        // A mixed environment gives "LC_CTYPE=...;LC_NUMERIC=..." instead.
        if (name.find('=') == std::string::npos)
            return name;
    } catch (const std::runtime_error&) {
        // The environment names a locale that is not installed.
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return std::string();
}

std::wstring I18N::LanguageOfLocale(const std::wstring& localeName)
{
    if (localeName.empty() || IsPortableLocale(localeName))
        return L"en-US";
    return UpToFirstPoint(localeName);
}

I18N::I18N()
{
    const std::string name = EnvironmentLocaleName();
    for (unsigned char byte : name)
        localeName_ += static_cast<wchar_t>(byte);
    language_ = LanguageOfLocale(localeName_);
}

I18N* I18N::GetInstance()
{
    static I18N instance;
    return &instance;
}

void I18N::Update() { language_ = UpToFirstPoint(localeName_); }

bool I18N::SetLocale(const std::wstring& localeName)
{
    localeName_ = localeName;
    Update();
    return true;
}

bool I18N::ChangeLanguage(const std::wstring& language, const std::wstring& encoding)
{
    localeName_ = language + L"." + encoding;
    Update();
    return true;
}
