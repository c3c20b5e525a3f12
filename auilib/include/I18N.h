// The process's locale name (such as de_DE.UTF-8) and the language taken
// from it (the name up to its first '.'); the library configuration starts
// with this language and a language change is recorded here.
#pragma once

#include <string>

class I18N {
public:
    // Created on first use (safe against concurrent first calls), destroyed
    // at exit.
    static I18N* GetInstance();

    // Language = locale name up to its first '.'.
    void Update();
    bool SetLocale(const std::wstring& localeName);
    // Locale name = language "." encoding.
    bool ChangeLanguage(const std::wstring& language, const std::wstring& encoding);

    const std::wstring& GetLocaleName() const { return localeName_; }
    const std::wstring& GetLanguage() const { return language_; }

    // The user's default locale name as the C library resolves it for
    // messages: the standard library's name when it reports a single one,
    // else LC_ALL, LC_MESSAGES or LANG, the first that is set.
    static std::string EnvironmentLocaleName();
    // The language of a start locale: "en-US" for the empty name and for C
    // or POSIX with any suffix, else the name up to its first '.'.
    static std::wstring LanguageOfLocale(const std::wstring& localeName);

    I18N(const I18N&) = delete;
    I18N& operator=(const I18N&) = delete;

private:
    I18N();

    std::wstring localeName_;
    std::wstring language_;
};
