#include "LanguageFiles.h"
#include "CRegister.h"
#include "CUP_Log.h"
#include "ConsoleUser.h"
#include "LocaleInfo.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QTranslator>

QString GetUserPlitPath()
{
    const ConsoleUser console = GetConsoleUser();
    const QString result = console.error.isEmpty() ? ReaderPreferencesIn(console.home) : QString();
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

LanguageChoice InstallReaderLanguage()
{
    // The catalogues stay installed until the process ends.
    static bool installed = false;
    static LanguageChoice language;
    if (installed)
        return language;
    installed = true;

    const QString plistPath = GetUserPlitPath();
    language = ReadLanguageChoice(plistPath);
    CUP_Log::PrintLog(QStringLiteral("plist path and lang value: ") + QFileInfo(plistPath).fileName()
                      + QStringLiteral("\n") + QString::number(language.nChooseLan));

    static QTranslator readerTranslator;
    if (readerTranslator.load(getLanFilePath(language.nChooseLan, language.nChooseCountry)))
        QCoreApplication::installTranslator(&readerTranslator);
    static QTranslator qtTranslator;
    if (qtTranslator.load(getGLanFilePath(language.nChooseLan, language.nChooseCountry)))
        QCoreApplication::installTranslator(&qtTranslator);
    return language;
}
