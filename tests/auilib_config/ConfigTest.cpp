// The library configuration: its start values, the paths it builds and what
// a language change sets. The test process starts in the C.UTF-8 locale.
#include "AUILibConfig.h"
#include "I18N.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

#include <cwchar>
#include <functional>
#include <map>
#include <string>

using namespace AUILib;

namespace {

std::wstring ToWide(const QString& text)
{
    const QVector<uint> ucs4 = text.toUcs4();
    return std::wstring(ucs4.begin(), ucs4.end());
}

} // namespace

// Declared first: it reads the values before any test changes them.
TEST(Config, StartsFromTheApplicationFolderAndTheStartLocale)
{
    EXPECT_EQ(GetWorkingDirPath(), ToWide(QCoreApplication::applicationDirPath()) + L"/");
    EXPECT_EQ(GetCurrentLanguage(), L"en-US");
    EXPECT_EQ(GetDefaultLanguage(), L"en-US");
    EXPECT_EQ(GetDecimalChar(), '.');
    EXPECT_FALSE(GetLayoutRTL());
    EXPECT_TRUE(ExpectsEncryptedLanguageFiles());
    EXPECT_EQ(GetComboboxRadius(), 0);
    EXPECT_EQ(GetCheckboxRadius(), 0);
    EXPECT_EQ(GetEditRadius(), 0);
    EXPECT_EQ(GetContextMenuRadius(), 10);
    EXPECT_EQ(QLocale().name(), QStringLiteral("en_US"));
    EXPECT_EQ(GetGlobalSkinMode(), SkinModeDefault);

    std::shared_ptr<logFont> font = GetFontInfo();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->height, 90);
    EXPECT_EQ(font->faceName, L"Tahoma");
    EXPECT_EQ(font->width, 0);
    EXPECT_EQ(font->weight, 0);
    EXPECT_EQ(font->charSet, 0);
}

TEST(Config, PathsFollowTheWorkingFolderLanguageAndCipherFlag)
{
    struct Row {
        const wchar_t* workingDir;
        const wchar_t* language;
        bool encrypted;
        const char* what;
        std::function<std::wstring()> build;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"/opt/app/", L"de_DE", true, "language folder", [] { return GetTranslationDirPath(false); },
         L"/opt/app/lang/de-DE/"},
        {L"/opt/app/", L"de_DE", true, "default-language folder", [] { return GetTranslationDirPath(true); },
         L"/opt/app/lang/en-US/"},
        {L"/opt/app/", L"de_DE", true, "translation file, no name", [] { return GetTranslationFilePath(L""); },
         L"/opt/app/lang/de-DE/de-DE.ts.kw"},
        {L"/opt/app/", L"de_DE", true, "translation file, named", [] { return GetTranslationFilePath(L"app"); },
         L"/opt/app/lang/de-DE/app_de-DE.ts.kw"},
        {L"/opt/app/", L"de_DE", true, "string table, default language",
         [] { return GetStringsFilePath(L"app", true); }, L"/opt/app/lang/en-US/app_strings_en-US.xml.kw"},
        {L"/opt/app/", L"de_DE", true, "string table, no name", [] { return GetStringsFilePath(L"", false); },
         L"/opt/app/lang/de-DE/strings_de-DE.xml.kw"},
        {L"/opt/app/", L"zh_Hans_CN", true, "only the first underscore", [] { return GetTranslationFilePath(L""); },
         L"/opt/app/lang/zh-Hans_CN/zh-Hans_CN.ts.kw"},
        {L"/opt/app/", L"zh_Hans_CN", true, "string table, three parts",
         [] { return GetStringsFilePath(L"ui", false); }, L"/opt/app/lang/zh-Hans_CN/ui_strings_zh-Hans_CN.xml.kw"},
        {L"/opt/app/", L"de_DE", false, "plain translation file", [] { return GetTranslationFilePath(L"app"); },
         L"/opt/app/lang/de-DE/app_de-DE.ts"},
        {L"/opt/app/", L"de_DE", false, "plain string table", [] { return GetStringsFilePath(L"app", true); },
         L"/opt/app/lang/en-US/app_strings_en-US.xml"},
        {L"/opt/app/", L"de-DE", true, "forms, no name", [] { return GetUiDirPath(L""); },
         L"/opt/app/auiresources/ui/"},
        {L"/opt/app/", L"de-DE", true, "forms, named", [] { return GetUiDirPath(L"setup"); },
         L"/opt/app/auiresources/setup/ui/"},
        {L"/opt/app/", L"de-DE", true, "images, named", [] { return GetImageDirPath(L"skin"); },
         L"/opt/app/auiresources/skin/img/"},
        {L"C:\\app\\", L"de_DE", true, "added separators are slashes", [] { return GetTranslationDirPath(false); },
         L"C:\\app\\lang/de-DE/"},
        {L"/opt/app", L"de_DE", true, "no separator is added", [] { return GetImageDirPath(L""); },
         L"/opt/appauiresources/img/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetWorkingDirPath(row.workingDir);
        SetCurrentLanguage(L"xx-first", row.encrypted);  // so the flag is stored whatever came before
        SetCurrentLanguage(row.language, row.encrypted);
        EXPECT_EQ(row.build(), row.expected);
    }
}

TEST(Config, ALanguageChangeSetsLocaleDecimalCharacterAndCipherFlag)
{
    struct Row {
        const wchar_t* language;
        bool encrypted;
        char forcedBefore;  // 0: none
        char decimal;
        QLocale::Language locale;
    };
    const Row rows[] = {
        {L"de-DE", false, 0, ',', QLocale::German},
        {L"en-US", true, 0, '.', QLocale::English},
        {L"es-MX", true, 0, '.', QLocale::Spanish},
        {L"es-419", true, 0, ',', QLocale::Spanish},
        {L"fr-FR", false, ';', ',', QLocale::French},
        {L"ja-JP", true, ',', '.', QLocale::Japanese},
        {L"pt-BR", true, 0, ',', QLocale::Portuguese},
        {L"de_DE", true, 0, '.', QLocale::German},  // comparisons are exact
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.language, row.language + std::wcslen(row.language)));
        if (row.forcedBefore)
            SetForcedDecimalChar(row.forcedBefore);
        SetCurrentLanguage(row.language, row.encrypted);
        EXPECT_EQ(GetCurrentLanguage(), row.language);
        EXPECT_EQ(GetDecimalChar(), row.decimal);
        EXPECT_EQ(ExpectsEncryptedLanguageFiles(), row.encrypted);
        EXPECT_EQ(QLocale().language(), row.locale);
        EXPECT_EQ(I18N::GetInstance()->GetLocaleName(), std::wstring(row.language) + L".UTF-8");
        EXPECT_EQ(I18N::GetInstance()->GetLanguage(), row.language);
        EXPECT_EQ(GetDefaultLanguage(), L"en-US");
    }
    SetCurrentLanguage(L"es-MX", true);
    EXPECT_EQ(QLocale().country(), QLocale(QLocale::Spanish, QLocale::AnyCountry).country());
}

TEST(Config, TheSameLanguageAgainOnlyStoresTheFlag)
{
    SetCurrentLanguage(L"de-DE", false);
    SetForcedDecimalChar('x');
    QLocale::setDefault(QLocale::c());

    SetCurrentLanguage(L"de-DE", true);
    EXPECT_TRUE(ExpectsEncryptedLanguageFiles());
    EXPECT_EQ(GetDecimalChar(), 'x');
    EXPECT_EQ(QLocale().language(), QLocale::C);

    SetCurrentLanguage(L"de-DE", true);
    EXPECT_TRUE(ExpectsEncryptedLanguageFiles());
    EXPECT_EQ(GetDecimalChar(), 'x');
    SetCurrentLanguage(L"de-DE", false);
    EXPECT_FALSE(ExpectsEncryptedLanguageFiles());
}

TEST(Config, SettersAndTheSharedFontRecord)
{
    GetFontInfo()->faceName = L"Arial";
    GetFontInfo()->height = 120;
    EXPECT_EQ(GetFontInfo()->faceName, L"Arial");
    EXPECT_EQ(GetFontInfo()->height, 120);

    SetComboboxRadius(4);
    SetCheckboxRadius(-2);  // stored as given
    SetEditRadius(6);
    SetContextMenuRadius(0);
    EXPECT_EQ(GetComboboxRadius(), 4);
    EXPECT_EQ(GetCheckboxRadius(), -2);
    EXPECT_EQ(GetEditRadius(), 6);
    EXPECT_EQ(GetContextMenuRadius(), 0);
    SetLayoutRTL(true);
    EXPECT_TRUE(GetLayoutRTL());
    SetLayoutRTL(false);

    EXPECT_TRUE(SetGlobalSkinMode(SkinModeDark));
    EXPECT_EQ(GetGlobalSkinMode(), SkinModeDark);
    EXPECT_FALSE(SetGlobalSkinMode(static_cast<SkinMode>(4)));
    EXPECT_EQ(GetGlobalSkinMode(), SkinModeDark);
    EXPECT_TRUE(SetGlobalSkinMode(SkinModeDefault));

    const std::map<std::wstring, unsigned int> colours{{L"Background", 0xFF102030u}, {L"Text", 0xFF405060u}};
    InitSkinColorByMap(SkinMapFirst, colours);
    SkinManager expected(SkinModeDefault);
    expected.InitSkinColorByMap(SkinMapFirst, colours);
    for (int slot = 0; slot < SkinManager::SlotCount; ++slot)
        EXPECT_EQ(GetXMLSkinManager()->GetColor(slot), expected.GetColor(slot)) << slot;
    EXPECT_NE(GetXMLSkinManager(), GetGlobalSkinManager());
}

TEST(Config, TheLocaleRecordDerivesItsLanguage)
{
    struct Row {
        const wchar_t* localeName;
        const wchar_t* startLanguage;  // as taken at process start
        const wchar_t* updated;        // after SetLocale
    };
    const Row rows[] = {
        {L"", L"en-US", L""},
        {L"C", L"en-US", L"C"},
        {L"C.UTF-8", L"en-US", L"C"},
        {L"POSIX", L"en-US", L"POSIX"},
        {L"de_DE.UTF-8", L"de_DE", L"de_DE"},
        {L"de_DE", L"de_DE", L"de_DE"},
        {L"zh_Hans_CN.GB18030", L"zh_Hans_CN", L"zh_Hans_CN"},
        {L"Cy_GB.UTF-8", L"Cy_GB", L"Cy_GB"},  // starts with C, is not C
    };
    I18N* record = I18N::GetInstance();
    const std::wstring savedName = record->GetLocaleName();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.localeName, row.localeName + std::wcslen(row.localeName)));
        EXPECT_EQ(I18N::LanguageOfLocale(row.localeName), row.startLanguage);
        EXPECT_TRUE(record->SetLocale(row.localeName));
        EXPECT_EQ(record->GetLocaleName(), row.localeName);
        EXPECT_EQ(record->GetLanguage(), row.updated);
    }
    EXPECT_TRUE(record->ChangeLanguage(L"fr-FR", L"UTF-8"));
    EXPECT_EQ(record->GetLocaleName(), L"fr-FR.UTF-8");
    EXPECT_EQ(record->GetLanguage(), L"fr-FR");
    record->SetLocale(savedName);
}
