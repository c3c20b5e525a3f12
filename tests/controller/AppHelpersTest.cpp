// Small services of the controller: package type, language, version, MAC
// text, the reader window's centre and centring.
#include "CSetup_CommandLine.h"
#include "IsolatedEnv.h"
#include "ProcessRunner.h"
#include "UpdaterApp.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHostInfo>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

// Console user "reader" whose home is the given folder.
class FakeShell
{
public:
    explicit FakeShell(const QString& home)
    {
        Platform::setProcessRunner([home](const QString& program, const QStringList&, int) {
            Platform::ProcessResult result;
            result.started = result.finished = true;
            result.exitCode = 0;
            result.standardOutput = program.endsWith(QLatin1String("su")) ? home.toLocal8Bit() + "\n"
                                                                            : QByteArray("reader\n");
            return result;
        });
    }
    ~FakeShell() { Platform::setProcessRunner({}); }
};

} // namespace

TEST(PackageType, OwnBundleFirstThenTheEnclosingOne)
{
    struct Case {
        const char* own;         // packagetype.xml in the own bundle, null = absent
        const char* enclosing;   // in the enclosing bundle
        const char* expected;
    };
    const Case cases[] = {
        {"<packagetype name=\"zh-CN\"/>", "<packagetype name=\"ja-JP\"/>", "zh-CN"},
        {nullptr, "<packagetype name=\"ja-JP\"/>", "ja-JP"},
        {nullptr, nullptr, ""},
        {"<packagetype name=\"zh-CN\"", "<packagetype name=\"ja-JP\"/>", ""},   // unreadable XML
        {"<packagetype/>", nullptr, ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir tmp;
        // Reader.app/Contents/Updater.app/Contents/MacOS
        const QString outer = tmp.path() + QStringLiteral("/Reader.app/Contents");
        const QString inner = outer + QStringLiteral("/Updater.app/Contents");
        QDir().mkpath(inner + QStringLiteral("/MacOS"));
        QDir().mkpath(inner + QStringLiteral("/Resources"));
        if (c.own)
            writeFile(inner + QStringLiteral("/Resources/packagetype.xml"), c.own);
        if (c.enclosing)
            writeFile(outer + QStringLiteral("/Resources/packagetype.xml"), c.enclosing);
        EXPECT_EQ(UpdaterApp::GetPackageTypeFrom(inner + QStringLiteral("/MacOS")),
                  QString::fromUtf8(c.expected))
            << (c.own ? c.own : "-") << " / " << (c.enclosing ? c.enclosing : "-");
    }
}

TEST(Controller, LanguageFallsBackToEnglish)
{
    IsolatedEnv env;
    UpdaterApp app(nullptr);
    // The test executable has no packagetype.xml: the general table applies.
    ASSERT_TRUE(UpdaterApp::GetPackageType().isEmpty());
    const struct {
        int language;
        const char* locale;
    } cases[] = {{31, "en-US"}, {42, "de-DE"}, {111, "es-419"}, {66, "ko-KR"}, {0, "en-US"}, {999, "en-US"}};
    for (const auto& c : cases) {
        app.runUpdateVisible(c.language, 225);
        EXPECT_EQ(app.GetLang(), std::string(c.locale)) << c.language;
    }
    EXPECT_EQ(app.GetProductName(), std::string("Velto PDF Reader"));
}

TEST(Controller, BigVersionNeedsThreeParts)
{
    const struct {
        const char* version;
        const char* big;
    } cases[] = {{"12.1.0.1234", "12.1"}, {"12.1.0", "12.1"}, {"12.1", ""}, {"", ""}, {"12..3", "12."}};
    for (const auto& c : cases) {
        CSetup_CommandLine commandLine;
        commandLine.ProcessCmdLine(QStringLiteral("-version ") + QString::fromUtf8(c.version));
        UpdaterApp app(&commandLine);
        EXPECT_EQ(app.GetBigVersioin(), QString::fromUtf8(c.big)) << c.version;
    }
}

TEST(Controller, MacTextListsRealAddressesThenTheHostName)
{
    UpdaterApp app(nullptr);
    const QString text = QString::fromStdString(app.GetMacAddress());
    EXPECT_TRUE(text.endsWith(QHostInfo::localHostName())) << text.toStdString();
    const QStringList parts = text.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); ++i) {
        EXPECT_FALSE(parts[i].isEmpty());
        EXPECT_FALSE(parts[i].contains(QLatin1Char(':'))) << parts[i].toStdString();
        EXPECT_NE(parts[i], QStringLiteral("00-00-00-00-00-00"));
    }
}

TEST(Controller, ReaderWindowCentreFromItsPreferencesElseTheScreen)
{
    IsolatedEnv env;
    FakeShell shell(env.homeDir());
    UpdaterApp app(nullptr);
    const QString plist = QString::fromStdString(app.GetCurrentUserPlist());
    EXPECT_EQ(plist, env.homeDir() + QStringLiteral("/Library/Preferences/com.velto-software.Velto.PDF.Reader.plist"));

    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_EQ(UpdaterApp::GetMainAppCenterPos(), screenCentre);   // no preferences yet

    QDir().mkpath(QFileInfo(plist).absolutePath());
    {
        QSettings preferences(plist, QSettings::NativeFormat);
        preferences.setValue(QStringLiteral("Window Position"), QPoint(100, 200));
        preferences.setValue(QStringLiteral("Window Size"), QSize(400, 300));
    }
    EXPECT_EQ(UpdaterApp::GetMainAppCenterPos(), QRect(100, 200, 400, 300).center());

    {
        QSettings preferences(plist, QSettings::NativeFormat);
        preferences.setValue(QStringLiteral("Window Position"), QPoint(0, 0));
    }
    EXPECT_EQ(UpdaterApp::GetMainAppCenterPos(), screenCentre);
}

TEST(Controller, ResetPositionCentresInValidAreasOnly)
{
    QWidget widget;
    widget.setGeometry(5, 6, 100, 50);
    UpdaterApp::ResetPostion(QRect(), &widget);
    EXPECT_EQ(widget.pos(), QPoint(5, 6));
    UpdaterApp::ResetPostion(QRect(10, 20, 301, 201), &widget);
    EXPECT_EQ(widget.pos(), QPoint(10 + 150 - 50, 20 + 100 - 25));
}
