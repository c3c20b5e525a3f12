#pragma once
// The language tables: the reader's language choice (a QLocale::Language
// number) mapped to the locale name that names translation folders and
// catalogues and the language sent to the update service. The installation's
// package type picks the table: "zh-CN" the China-region one, "ja-JP" the
// Japan-region one, anything else the general one.
#include <QString>
#include <vector>

struct _LocaleInfo
{
    int country;      // QLocale::Country number (no lookup compares it)
    int language;     // QLocale::Language number
    QString locale;   // e.g. "en-US"
};

extern const std::vector<_LocaleInfo> g_localeInfos;
extern const std::vector<_LocaleInfo> g_localeInfoszh;
extern const std::vector<_LocaleInfo> g_localeInfosjp;

// The table that applies to a package type.
const std::vector<_LocaleInfo>& LocaleTableForPackageType(const QString& packageType);
// The first row whose language equals the given number, or null.
const _LocaleInfo* FindLocaleInfo(const std::vector<_LocaleInfo>& table, int language);
