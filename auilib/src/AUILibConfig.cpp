#include "AUILibConfig.h"

#include "I18N.h"
#include "Translator.h"
#include "WideQt.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QLocale>
#include <QString>

#include <stdexcept>

// Qt's switch for ampersand shortcuts in texts (off by default on macOS).
Q_GUI_EXPORT void qt_set_sequence_auto_mnemonic(bool enable);

namespace AUILib {

namespace {

// Destroyed at exit; never replaced while the process runs.
std::unique_ptr<AUILibConfig> g_config;

const wchar_t kDefaultLanguage[] = L"en-US";

// Folder names use "-" between language and region: en_US becomes en-US,
// zh_Hans_CN becomes zh-Hans_CN.
std::wstring PathLanguage(bool useDefaultLanguage)
{
    std::wstring language = useDefaultLanguage ? std::wstring(kDefaultLanguage) : GetAUILibConfig().currentLanguage;
    const size_t underscore = language.find(L'_');
    if (underscore != std::wstring::npos)
        language.replace(underscore, 1, L"-");
    return language;
}

bool UsesDecimalComma(const std::wstring& language)
{
    static const wchar_t* const kCommaLanguages[] = {L"es-419", L"pt-BR", L"nl-NL", L"pl-PL", L"de-DE", L"fr-FR",
                                                     L"ru-RU",  L"da-DK", L"fi-FI", L"sv-SE", L"nb-NO", L"it-IT"};
    for (const wchar_t* comma : kCommaLanguages) {
        if (language == comma)
            return true;
    }
    return false;
}

// Empties the translator's string tables and merged translations after a
// language change: the application loads the new language's files again.
void ResetTranslatorStringsTable() { Translator::GetInstance().ResetStringsTable(); }

} // namespace

AUILibConfig::AUILibConfig() : globalSkin(SkinModeDefault), xmlSkin(SkinModeDefault)
{
    RegisterAUILibControls();
    QString appDir = QCoreApplication::applicationDirPath();
    const wchar_t separator = appDir.contains(QLatin1Char('/')) ? L'/' : L'\\';
    workingDir = ToWide(appDir);
    QLocale::setDefault(QLocale(QStringLiteral("en-US")));
    qt_set_sequence_auto_mnemonic(true);
    workingDir += separator;
    currentLanguage = I18N::GetInstance()->GetLanguage();
    font = std::make_shared<logFont>();
    font->height = 90;
    font->faceName = L"Tahoma";
}

AUILibConfig& GetAUILibConfig()
{
    if (!g_config)
        g_config = std::make_unique<AUILibConfig>();
    return *g_config;
}

void SetWorkingDirPath(const std::wstring& path) { GetAUILibConfig().workingDir = path; }

std::wstring GetWorkingDirPath() { return GetAUILibConfig().workingDir; }

std::wstring GetTranslationDirPath(bool useDefaultLanguage)
{
    try {
        return GetAUILibConfig().workingDir + L"lang/" + PathLanguage(useDefaultLanguage) + L"/";
    } catch (const std::exception&) {
        return std::wstring();
    }
}

std::wstring GetCurrentLanguage() { return GetAUILibConfig().currentLanguage; }

std::wstring GetDefaultLanguage()
{
    GetAUILibConfig();
    return kDefaultLanguage;
}

std::wstring GetTranslationFilePath(const std::wstring& name)
{
    try {
        std::wstring path = GetTranslationDirPath(false);
        if (!name.empty())
            path += name + L"_";
        path += PathLanguage(false) + L".ts";
        if (GetAUILibConfig().encryptedLanguageFiles)
            path += L".kw";
        return path;
    } catch (const std::exception&) {
        return std::wstring();
    }
}

bool ExpectsEncryptedLanguageFiles() { return GetAUILibConfig().encryptedLanguageFiles; }

std::wstring GetStringsFilePath(const std::wstring& name, bool useDefaultLanguage)
{
    try {
        std::wstring path = GetTranslationDirPath(useDefaultLanguage);
        if (!name.empty())
            path += name + L"_";
        path += L"strings_" + PathLanguage(useDefaultLanguage) + L".xml";
        if (GetAUILibConfig().encryptedLanguageFiles)
            path += L".kw";
        return path;
    } catch (const std::exception&) {
        return std::wstring();
    }
}

std::wstring GetUiDirPath(const std::wstring& name)
{
    std::wstring path = GetAUILibConfig().workingDir + L"auiresources/";
    if (!name.empty())
        path += name + L"/";
    return path + L"ui/";
}

std::wstring GetImageDirPath(const std::wstring& name)
{
    std::wstring path = GetAUILibConfig().workingDir + L"auiresources/";
    if (!name.empty())
        path += name + L"/";
    return path + L"img/";
}

void SetCurrentLanguage(const std::wstring& language, bool encrypted)
{
    AUILibConfig& config = GetAUILibConfig();
    if (language == config.currentLanguage) {
        // Files of another format hold other tables: what was read from the
        // old ones must go, though the language stays.
        if (config.encryptedLanguageFiles != encrypted) {
            config.encryptedLanguageFiles = encrypted;
            ResetTranslatorStringsTable();
        }
        return;
    }
    config.currentLanguage = language;
    if (language == L"es-419" || language == L"es-MX")
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::AnyCountry));
    else
        QLocale::setDefault(QLocale(ToQString(language)));
    config.decimalChar = UsesDecimalComma(language) ? ',' : '.';
    config.encryptedLanguageFiles = encrypted;
    I18N::GetInstance()->ChangeLanguage(language, L"UTF-8");
    ResetTranslatorStringsTable();
}

void SetForcedDecimalChar(char c) { GetAUILibConfig().decimalChar = c; }
char GetDecimalChar() { return GetAUILibConfig().decimalChar; }
void SetLayoutRTL(bool rtl) { GetAUILibConfig().layoutRTL = rtl; }
bool GetLayoutRTL() { return GetAUILibConfig().layoutRTL; }

SkinMode GetGlobalSkinMode() { return static_cast<SkinMode>(GetAUILibConfig().globalSkin.GetSkinIndex()); }

bool SetGlobalSkinMode(SkinMode mode) { return GetAUILibConfig().globalSkin.LoadSkin(mode, true, false); }

bool SetGlobalCustomSkin(const SkinManager& skin) { return GetAUILibConfig().globalSkin.SetCustomSkin(skin); }

SkinManager* GetGlobalSkinManager() { return &GetAUILibConfig().globalSkin; }

SkinManager* GetXMLSkinManager() { return &GetAUILibConfig().xmlSkin; }

void InitSkinColorByMap(SkinMap map, const std::map<std::wstring, unsigned int>& colours)
{
    GetAUILibConfig().xmlSkin.InitSkinColorByMap(map, colours);
}

std::shared_ptr<logFont> GetFontInfo() { return GetAUILibConfig().font; }

void SetComboboxRadius(int radius) { GetAUILibConfig().comboboxRadius = radius; }
int GetComboboxRadius() { return GetAUILibConfig().comboboxRadius; }
void SetEditRadius(int radius) { GetAUILibConfig().editRadius = radius; }
int GetEditRadius() { return GetAUILibConfig().editRadius; }
void SetCheckboxRadius(int radius) { GetAUILibConfig().checkboxRadius = radius; }
int GetCheckboxRadius() { return GetAUILibConfig().checkboxRadius; }
void SetContextMenuRadius(int radius) { GetAUILibConfig().contextMenuRadius = radius; }
int GetContextMenuRadius() { return GetAUILibConfig().contextMenuRadius; }

} // namespace AUILib
