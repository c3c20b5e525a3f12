#include "LanguageFiles.h"
#include "CRegister.h"
#include "CUP_Log.h"
#include "LocaleInfo.h"
#include "ProcessRunner.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDebug>

namespace {
const int kShellTimeoutMs = 30000;
}

QString GetUserPlitPath()
{
    QString result;
    const Platform::ProcessResult who = Platform::runProcess(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("who | cut -d' ' -f1 | sort | uniq")}, kShellTimeoutMs);
    const QString user = QString::fromLocal8Bit(who.standardOutput).trimmed();
    CUP_Log::PrintLog(QStringLiteral("login user: ") + user);
    const QString whoError = QString::fromLocal8Bit(who.standardError).trimmed();
    if (!whoError.isEmpty())
        CUP_Log::PrintLog(QStringLiteral("login user error: ") + whoError);

    const Platform::ProcessResult su = Platform::runProcess(
        QStringLiteral("/usr/bin/su"),
        {QStringLiteral("-"), user, QStringLiteral("-c"), QStringLiteral("echo ${HOME}")},
        kShellTimeoutMs);
    QString error = QString::fromLocal8Bit(su.standardError).trimmed();
    // A tool that could not run or was cut off gave no home folder either.
    if (error.isEmpty() && !su.started)
        error = QStringLiteral("cannot start /usr/bin/su");
    else if (error.isEmpty() && !su.finished)
        error = QStringLiteral("/usr/bin/su did not finish");
    if (error.isEmpty()) {
        const QString home = QString::fromLocal8Bit(su.standardOutput).trimmed();
        CUP_Log::PrintLog(QStringLiteral("login homePath: ") + home);
        result = home + QStringLiteral("/Library/Preferences/com.velto-software.%1.plist")
                            .arg(QStringLiteral("Velto.PDF.Reader"));
    } else {
        CUP_Log::PrintLog(QStringLiteral("login homePath error: ") + error);
    }
    CUP_Log::PrintLog(QStringLiteral("UserPlist path: ") + result);
    return result;
}

QString lanFilePathFor(const QString& exeDir, const QString& packageType, int nChooseLan)
{
    const QString base = exeDir + QStringLiteral("/../../..");
    const _LocaleInfo* row = FindLocaleInfo(LocaleTableForPackageType(packageType), nChooseLan);
    if (!row)
        return QString();
    const QString result = base + QStringLiteral("/lang/") + row->locale + QStringLiteral("/brightleaf_")
                           + row->locale + QStringLiteral(".qm");
    qDebug() << "qm path:" << result;
    CUP_Log::PrintLog(QStringLiteral("qm path: ") + result);
    return result;
}

QString gLanFilePathFor(const QString& folder, const QString& packageType, int nChooseLan)
{
    QString result = folder + QStringLiteral("/../../..");
    const _LocaleInfo* row = FindLocaleInfo(LocaleTableForPackageType(packageType), nChooseLan);
    if (row)
        result += QStringLiteral("/lang/") + row->locale + QStringLiteral("/qt_") + row->locale
                  + QStringLiteral(".qm");
    return result;
}

QString getLanFilePath(int nChooseLan, int /*nChooseCountry*/)
{
    return lanFilePathFor(QCoreApplication::applicationDirPath(), UpdaterApp::GetPackageType(),
                          nChooseLan);
}

QString getGLanFilePath(int nChooseLan, int /*nChooseCountry*/)
{
    QString folder = CRegister::regGetString(QStringLiteral("Brightleaf_UpdateOldPath"), QString());
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    return gLanFilePathFor(folder, UpdaterApp::GetPackageType(), nChooseLan);
}

LanguageChoice ReadLanguageChoice(const QString& plistPath)
{
    const auto read = [&](const char* name, int defaultValue) {
        const QString valueName = QStringLiteral("Preferences/Languages") + QLatin1Char('/')
                                  + QLatin1String(name);
        const QVariant value = CRegister::regGetVariant(valueName, defaultValue, plistPath,
                                                        QString(), QString());
        return value.toString().toInt(nullptr, 10);   // not a number → 0
    };
    LanguageChoice choice;
    choice.nChooseLanType = read("nChooseLanType", 1);
    choice.nChooseLan = read("nChooseLan", 31);
    choice.nChooseCountry = read("nChooseCountry", 225);
    return choice;
}
