#include "LocaleInfo.h"

const std::vector<_LocaleInfo> g_localeInfos = {
    {225, 31, QStringLiteral("en-US")},
    {44, 25, QStringLiteral("zh-CN")},
    {82, 42, QStringLiteral("de-DE")},
    // Spanish is shipped as the Latin-American catalogue.
    {197, 111, QStringLiteral("es-419")},
    {106, 58, QStringLiteral("it-IT")},
    {74, 37, QStringLiteral("fr-FR")},
    {108, 59, QStringLiteral("ja-JP")},
    {114, 66, QStringLiteral("ko-KR")},
};

const std::vector<_LocaleInfo> g_localeInfoszh = {
    {225, 31, QStringLiteral("en-US")},
    {44, 25, QStringLiteral("zh-CN")},
};

const std::vector<_LocaleInfo> g_localeInfosjp = {
    {225, 31, QStringLiteral("en-US")},
    {108, 59, QStringLiteral("ja-JP")},
};

const std::vector<_LocaleInfo>& LocaleTableForPackageType(const QString& packageType)
{
    if (packageType == QLatin1String("zh-CN"))
        return g_localeInfoszh;
    if (packageType == QLatin1String("ja-JP"))
        return g_localeInfosjp;
    return g_localeInfos;
}

const _LocaleInfo* FindLocaleInfo(const std::vector<_LocaleInfo>& table, int language)
{
    for (const _LocaleInfo& row : table) {
        if (row.language == language)
            return &row;
    }
    return nullptr;
}
