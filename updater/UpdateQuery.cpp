#include "UpdateQuery.h"

#include "CKW_Update_URLEncode.h"
#include "Platform.h"

#include <QDateTime>
#include <QUrl>

namespace UpdateQuery {

QString BuildQuery(const Params& params)
{
    CKW_Update_URLEncode encoder(nullptr);
    QString query = QStringLiteral("addon=") + encoder.URLEncode(params.addon);

    query += QStringLiteral("&product=");
    if (params.settingsEdition.compare(QLatin1String("Enterprise"), Qt::CaseInsensitive) == 0)
        query += QStringLiteral("Enterprise Brightleaf4Mac");
    else
        query += QStringLiteral("Brightleaf4Mac");

    if (!params.readerVersion.isEmpty()) {
        const QString& version = params.readerVersion;
        const int i1 = version.indexOf(QLatin1Char('.'));
        const int i2 = i1 < 0 ? -1 : version.indexOf(QLatin1Char('.'), i1 + 1);
        if (i2 < 0) {
            query += QStringLiteral("&version=") + version + QStringLiteral("&build=") + version;
        } else {
            query += QStringLiteral("&version=") + version.left(i2)
                   + QStringLiteral("&build=") + version.mid(i2 + 1);
        }
    }

    query += QStringLiteral("&platform=x64");
    if (!params.readerLang.isEmpty())
        query += QStringLiteral("&EmbededLanguage=") + params.readerLang;
    if (!params.edition.isEmpty())
        query += QStringLiteral("&edition=") + params.edition;
    if (!params.agentId.isEmpty())
        query += QStringLiteral("&AgentID=") + params.agentId;
    query += QStringLiteral("&PackageType=") + params.packageType;
    return query;
}

QString ServiceBase(const QString& packageType)
{
    if (packageType == QLatin1String("zh-CN"))
        return Platform::serviceBase(QLatin1String(kChinaAddonsHost)) + QStringLiteral("/check?");
    return Platform::serviceBase(QLatin1String(kGlobalAddonsHost))
         + QStringLiteral("/addons/get_addons.php?");
}

QString InternalSuffix(const InternalParams& params)
{
    QString suffix = params.utcOffsetHours == 8 ? QStringLiteral("&domain_area=cn")
                                                : QStringLiteral("&domain_area=us");
    suffix += QStringLiteral("&Mac=") + params.mac;
    suffix += QStringLiteral("&email=")
            + QString::fromLatin1(QUrl::toPercentEncoding(params.email));
    suffix += QStringLiteral("&updateType=")
            + (params.updaterType == QLatin1String("Auto Updater") ? QStringLiteral("0")
                                                                   : QStringLiteral("1"));
    return suffix;
}

int CurrentUtcOffsetHours()
{
    return QDateTime::currentDateTime().offsetFromUtc() / 3600;
}

} // namespace UpdateQuery
