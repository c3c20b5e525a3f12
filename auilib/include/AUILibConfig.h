// The widget library's process-wide settings: working folder and the paths
// built on it, current language and decimal character, right-to-left
// layout, the library font, the global and the XML skin, whether language
// files are enciphered, and corner radii. Reached through the free functions
// below, each of which creates the one configuration on first use (which
// also fills the control factory). GUI thread only.
#pragma once

#include "SkinManager.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace AUILib {

// A font description in the field order of the Windows LOGFONT record.
struct logFont {
    int64_t height = 0;
    int64_t width = 0;
    int64_t escapement = 0;
    int64_t orientation = 0;
    int64_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::wstring faceName;
};

class AUILibConfig {
public:
    AUILibConfig();

    AUILibConfig(const AUILibConfig&) = delete;
    AUILibConfig& operator=(const AUILibConfig&) = delete;

    // The 28 form class names and their controls.
    static void RegisterAUILibControls();

    std::wstring workingDir;
    std::wstring currentLanguage;
    std::shared_ptr<logFont> font;
    char decimalChar = '.';
    bool layoutRTL = false;
    SkinManager globalSkin;
    SkinManager xmlSkin;
    bool encryptedLanguageFiles = true;
    int32_t comboboxRadius = 0;
    int32_t checkboxRadius = 0;
    int32_t editRadius = 0;
    int32_t contextMenuRadius = 10;
};

// The configuration, created on first use.
AUILibConfig& GetAUILibConfig();

void SetWorkingDirPath(const std::wstring& path);
std::wstring GetWorkingDirPath();
// W + "lang/" + language + "/", the language's first '_' written as '-'.
std::wstring GetTranslationDirPath(bool useDefaultLanguage);
std::wstring GetCurrentLanguage();
std::wstring GetDefaultLanguage();
std::wstring GetTranslationFilePath(const std::wstring& name);
bool ExpectsEncryptedLanguageFiles();
std::wstring GetStringsFilePath(const std::wstring& name, bool useDefaultLanguage);
std::wstring GetUiDirPath(const std::wstring& name);
std::wstring GetImageDirPath(const std::wstring& name);
// Sets Qt's default locale, the decimal character and the enciphered flag
// for the language and empties the translator's tables. The same language
// again only stores the flag (and empties the tables when it changed).
void SetCurrentLanguage(const std::wstring& language, bool encrypted);
void SetForcedDecimalChar(char c);
char GetDecimalChar();
void SetLayoutRTL(bool rtl);
bool GetLayoutRTL();
SkinMode GetGlobalSkinMode();
bool SetGlobalSkinMode(SkinMode mode);
bool SetGlobalCustomSkin(const SkinManager& skin);
SkinManager* GetGlobalSkinManager();
SkinManager* GetXMLSkinManager();
void InitSkinColorByMap(SkinMap map, const std::map<std::wstring, unsigned int>& colours);
// The configuration's own record: writes through it change the library font.
std::shared_ptr<logFont> GetFontInfo();
void SetComboboxRadius(int radius);
int GetComboboxRadius();
void SetEditRadius(int radius);
int GetEditRadius();
void SetCheckboxRadius(int radius);
int GetCheckboxRadius();
void SetContextMenuRadius(int radius);
int GetContextMenuRadius();

} // namespace AUILib
