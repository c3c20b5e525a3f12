// The prompts that no run of the agent opens (major upgrade, forced update,
// administrator update, new-update offer), driven as a user would: buttons
// clicked through QTest, so a form whose object names do not match the slots
// connected by name fails here.
#include "Appearance.h"
#include "CDlg_MajorUpdate.h"
#include "CReaderModuleManager.h"
#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "DlgAutoUpdate.h"
#include "IsolatedEnv.h"
#include "MODULEINFO.h"
#include "MajorUpgradeRecord.h"
#include "PackageTypeFile.h"
#include "PicturePixels.h"
#include "Screenshot.h"
#include "UpdaterApp.h"
#include "dlgAcCertain.h"
#include "dlgForceAutoUpdate.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Catches what a prompt hands to the system's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~UrlCatcher() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

namespace {

QPushButton* button(QWidget* dialog, const char* name)
{
    auto* b = dialog->findChild<QPushButton*>(QLatin1String(name));
    EXPECT_TRUE(b) << name;
    return b;
}

// Runs the dialog modally; `act` runs once it is shown. Returns exec()'s value.
int runModal(QDialog& dialog, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dialog, act);
    return dialog.exec();
}

// Clicks a button and, when the dialog is still open afterwards, closes it
// through its close control so that exec() returns.
void clickThenClose(QDialog& dialog, const char* name, bool* stillOpen = nullptr)
{
    QTest::mouseClick(button(&dialog, name), Qt::LeftButton);
    if (stillOpen)
        *stillOpen = dialog.isVisible();
    if (dialog.isVisible())
        dialog.close();
}

QString settingsText(const char* name)
{
    return CRegister::regGetString(MajorUpgradeRecord::key(), QLatin1String(name));
}

bool settingsHas(const char* name)
{
    return !settingsText(name).isEmpty();
}

} // namespace

class Prompts : public ::testing::Test
{
protected:
    Prompts() { env.set("UPDATER_SERVICE_BASE", "http://127.0.0.1:9"); }
    ~Prompts() override
    {
        if (app)
            app->SetModuleManager(nullptr);
        manager.reset();
        theApp = nullptr;
        app.reset();
        cmd.reset();
    }

    // A controller for a reader version; optionally a manager whose selection
    // holds a major reader update.
    void start(const QString& version = QStringLiteral("11.0.2.1234"), int language = 31)
    {
        cmd = std::make_unique<CSetup_CommandLine>();
        cmd->ProcessCmdLine(QStringLiteral("-updater -type \"Update List\" -version %1").arg(version));
        app = std::make_unique<UpdaterApp>(cmd.get());
        app->SetRunLanguage(language, 0);
        theApp = app.get();
    }
    void select(bool majorReaderUpdate)
    {
        manager = std::make_unique<CReaderModuleManager>(QStringLiteral("Update List"));
        MODULEINFO* addon = manager->AddModule(QStringLiteral("Stamps"));
        addon->module_type = "basic";
        addon->version = "2.0.0.0";
        manager->AddSelModule(addon);
        MODULEINFO* reader = manager->AddModule(QStringLiteral("Reader"));
        reader->module_type = "updater";
        reader->version = "12.0.0.5";
        reader->bMajorUpgrade = majorReaderUpdate;
        manager->AddSelModule(reader);
        app->SetModuleManager(manager.get());
    }

    IsolatedEnv env;
    std::unique_ptr<CSetup_CommandLine> cmd;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<CReaderModuleManager> manager;
};

TEST_F(Prompts, MajorUpgradeLeftWithoutMoreInfoMovesTheCounterRoundAndRecordsTheVersion)
{
    start();
    select(true);
    EXPECT_FALSE(settingsHas("MajorUpdateChecked"));
    const char* ways[] = {"pushButton_2", "close", "escape", "pushButton_2"};
    const quint32 expected[] = {1, 2, 3, 1};
    for (int i = 0; i < 4; ++i) {
        {
            CDlg_MajorUpdate prompt;
            const int result = runModal(prompt, [&] {
                if (qstrcmp(ways[i], "close") == 0)
                    prompt.close();
                else if (qstrcmp(ways[i], "escape") == 0)
                    QTest::keyClick(&prompt, Qt::Key_Escape);
                else
                    QTest::mouseClick(button(&prompt, ways[i]), Qt::LeftButton);
            });
            EXPECT_EQ(result, QDialog::Rejected) << ways[i];
        }
        EXPECT_EQ(MajorUpgradeRecord::checkedCount(), expected[i]) << "prompt " << i + 1;
        EXPECT_EQ(settingsText("UpdateRejectVersion"), QStringLiteral("12.0.0.5"));
    }
}

TEST_F(Prompts, MajorUpgradeWithoutAMajorReaderUpdateOnlyMovesTheCounter)
{
    struct Case {
        const char* what;
        bool withManager;
    };
    for (const Case& c : {Case{"selection without a major reader update", true}, Case{"no module manager", false}}) {
        IsolatedEnv fresh;
        start();
        if (c.withManager)
            select(false);
        {
            CDlg_MajorUpdate prompt;
            runModal(prompt, [&] { QTest::mouseClick(button(&prompt, "pushButton_2"), Qt::LeftButton); });
        }
        EXPECT_FALSE(settingsHas("UpdateRejectVersion")) << c.what;
        EXPECT_EQ(MajorUpgradeRecord::checkedCount(), 1u) << c.what;
        if (app)
            app->SetModuleManager(nullptr);
        manager.reset();
    }
}

TEST_F(Prompts, MoreInfoRecordsTheAnswerOpensTheUpgradePageAndAccepts)
{
    struct Case {
        const char* what;
        const char* version;
        int language;
        const char* packageType;   // null: none beside the executable
        bool majorReaderUpdate;
        const char* link;
    };
    const char* const query = "/go.php?do=redirect&title=glacier4mac-upgrade&product=Velto GlacierPDF for mac"
                              "&language=%1&version=%2&edition=Business";
    const Case cases[] = {
        {"build number cut", "11.0.2.1234", 42, nullptr, true, "http://127.0.0.1:9"},
        {"version without a dot", "11", 31, nullptr, false, "http://127.0.0.1:9"},
        {"China-region package", "12.1.0.7", 25, "zh-CN", true, "https://go.velto-cn.example"},
    };
    for (const Case& c : cases) {
        IsolatedEnv fresh;
        std::unique_ptr<PackageTypeFile> packageType;
        if (c.packageType) {
            fresh.set("UPDATER_SERVICE_BASE", QByteArray());
            packageType = std::make_unique<PackageTypeFile>(QLatin1String(c.packageType));
            if (!packageType->created()) {
                ADD_FAILURE() << "a packagetype.xml already stands beside the test executable";
                continue;
            }
        } else {
            fresh.set("UPDATER_SERVICE_BASE", "http://127.0.0.1:9");
        }
        start(QLatin1String(c.version), c.language);
        select(c.majorReaderUpdate);
        UrlCatcher browser;
        int result = -1;
        {
            CDlg_MajorUpdate prompt;
            result = runModal(prompt, [&] { QTest::mouseClick(button(&prompt, "btn_info"), Qt::LeftButton); });
            // Destroying an answered prompt writes nothing more.
            CRegister::regSetDword(MajorUpgradeRecord::key(), QStringLiteral("MajorUpdateChecked"), 7);
        }
        EXPECT_EQ(result, QDialog::Accepted) << c.what;
        EXPECT_EQ(MajorUpgradeRecord::checkedCount(), 7u) << c.what;
        CRegister::regSetDword(MajorUpgradeRecord::key(), QStringLiteral("MajorUpdateChecked"), 0);

        const QString version = QString::fromLatin1(c.version);
        const QString language = QString::fromStdString(app->GetLang());
        const QString expected = QLatin1String(c.link)
            + QString::fromLatin1(query).arg(language, version.contains(QLatin1Char('.'))
                                                            ? version.left(version.lastIndexOf(QLatin1Char('.')))
                                                            : version);
        ASSERT_EQ(browser.opened.size(), 1) << c.what;
        EXPECT_EQ(browser.opened.at(0), QUrl(expected)) << c.what << ": " << browser.opened.at(0).toString().toStdString();
        if (c.majorReaderUpdate)
            EXPECT_EQ(settingsText("UpdateRejectVersion"), QStringLiteral("12.0.0.5")) << c.what;
        else
            EXPECT_FALSE(settingsHas("UpdateRejectVersion")) << c.what;
        app->SetModuleManager(nullptr);
        manager.reset();
    }
}

TEST_F(Prompts, MoreInfoLinkLanguagesFollowThePackageTable)
{
    // The language parameter is the controller's locale name: German in the
    // global table, English where the table lacks the language.
    start(QStringLiteral("11.0.2.1234"), 42);
    EXPECT_TRUE(CDlg_MajorUpdate::upgradeLink(app.get()).contains(QLatin1String("&language=de-DE&")));
    app->SetRunLanguage(9999, 0);
    EXPECT_TRUE(CDlg_MajorUpdate::upgradeLink(app.get()).contains(QLatin1String("&language=en-US&")));
}

// A catalogue whose title holds conversions of its own.
class HostileTitleTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "CDlg_MajorUpdate") == 0 && QByteArray(source).startsWith("A major upgrade"))
            return QStringLiteral("%d %s %s");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

TEST_F(Prompts, MajorUpgradeTitleTextsAndWindowFlags)
{
    start();
    {
        CDlg_MajorUpdate prompt;
        auto* title = prompt.findChild<QLabel*>(QStringLiteral("lb_title"));
        EXPECT_EQ(title->text(), QStringLiteral("A major upgrade for Velto PDF Reader is available. "));
        EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Velto Updater"));
        EXPECT_TRUE(prompt.windowFlags() & Qt::CustomizeWindowHint);
        EXPECT_FALSE(prompt.windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(button(&prompt, "pushButton_2")->isDefault());
        EXPECT_TRUE(prompt.findChild<QLabel*>(QStringLiteral("lb_des"))->text().contains(QLatin1String("More Info")));
    }
    {
        HostileTitleTranslator translator;
        QCoreApplication::installTranslator(&translator);
        CDlg_MajorUpdate prompt;
        QCoreApplication::removeTranslator(&translator);
        EXPECT_EQ(prompt.findChild<QLabel*>(QStringLiteral("lb_title"))->text(), QStringLiteral("%d Velto PDF Reader %s"));
    }
    struct Case {
        const char* title;
        const char* content;
        const char* button;
    };
    for (const Case& c : {Case{"New title", "New words", "Read more"}, Case{"", "Only words", ""}}) {
        app->m_strMajorTitle = QString::fromUtf8(c.title);
        app->m_strMajorContent = QString::fromUtf8(c.content);
        app->m_strMajorButtonText = QString::fromUtf8(c.button);
        CDlg_MajorUpdate prompt;
        const QString title = prompt.findChild<QLabel*>(QStringLiteral("lb_title"))->text();
        const QString info = button(&prompt, "btn_info")->text();
        EXPECT_EQ(title, *c.title ? QString::fromUtf8(c.title)
                                  : QStringLiteral("A major upgrade for Velto PDF Reader is available. "));
        EXPECT_EQ(prompt.findChild<QLabel*>(QStringLiteral("lb_des"))->text(), QString::fromUtf8(c.content));
        EXPECT_EQ(info, *c.button ? QString::fromUtf8(c.button) : QStringLiteral("More Info"));
    }
}

TEST_F(Prompts, ForcedUpdateInstallLeavesItOpenAndItsResultStaysOne)
{
    start();
    dlgForceAutoUpdate prompt(nullptr);
    EXPECT_EQ(prompt.size(), QSize(552, 294));
    EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Dialog"));
    EXPECT_EQ(prompt.findChild<QLabel*>(QStringLiteral("lbl_detail"))->text(),
              QStringLiteral("Your IT administrator has required a Velto PDF Reader update. Velto PDF Reader must be "
                             "closed to proceed with the installation. Please close Velto PDF Reader and then click "
                             "Retry to continue."));
    // The sentence is longer than its label is wide: it wraps rather than being cut.
    EXPECT_TRUE(prompt.findChild<QLabel*>(QStringLiteral("lbl_detail"))->wordWrap());
    EXPECT_EQ(prompt.findChild<QComboBox*>(QStringLiteral("cb_Remind"))->count(), 0);
    bool stillOpen = false;
    const int exec = runModal(prompt, [&] { clickThenClose(prompt, "btn_Install", &stillOpen); });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(exec, QDialog::Rejected);
    EXPECT_EQ(prompt.result, 1);
}

TEST_F(Prompts, AdministratorPromptButtonsLeaveItOpenAndClosingGivesZero)
{
    dlgAcCertain prompt;
    EXPECT_EQ(prompt.size(), QSize(406, 235));
    for (const char* name : {"btn_now", "btn_nexttime"}) {
        bool stillOpen = false;
        const int exec = runModal(prompt, [&] { clickThenClose(prompt, name, &stillOpen); });
        EXPECT_TRUE(stillOpen) << name;
        EXPECT_EQ(exec, 0) << name;
    }
}

TEST_F(Prompts, NewUpdateOfferBuildsAndCloses)
{
    DlgAutoUpdate offer;
    EXPECT_EQ(offer.size(), QSize(588, 450));
    for (const char* name : {"btn_skip", "btn_remind"}) {
        bool stillOpen = false;
        const int exec = runModal(offer, [&] { clickThenClose(offer, name, &stillOpen); });
        EXPECT_TRUE(stillOpen) << name;
        EXPECT_EQ(exec, 0) << name;
    }
}

// Pictures of the four prompts, light and dark. They have no appearance
// observer of their own: in dark, the system (here its stand-in) paints them.
TEST_F(Prompts, Screenshots)
{
    start();
    for (const char* appearance : {"light", "dark"}) {
        env.set("UPDATER_APPEARANCE", qstrcmp(appearance, "dark") == 0 ? "dark" : "");
        Appearance::postAppearanceChangedNotification();
        CDlg_MajorUpdate major;
        dlgForceAutoUpdate forced(nullptr);
        dlgAcCertain administrator;
        DlgAutoUpdate offer;
        const std::pair<QDialog*, const char*> prompts[] = {
            {&major, "prompt-major-upgrade"},
            {&forced, "prompt-forced-update"},
            {&administrator, "prompt-administrator-update"},
            {&offer, "prompt-new-update-offer"},
        };
        for (const auto& p : prompts) {
            p.first->show();
            QTest::qWait(20);
            const QString shot = saveScreenshot(p.first, QStringLiteral("%1-%2").arg(QLatin1String(p.second),
                                                                                     QLatin1String(appearance)));
            EXPECT_GT(QFileInfo(shot).size(), 0) << p.second << " " << appearance;
            // Painted in the appearance: a dark background in dark, a light one in light.
            const int background = DominantColour(p.first->grab().toImage()).lightness();
            if (qstrcmp(appearance, "dark") == 0)
                EXPECT_LT(background, 100) << p.second;
            else
                EXPECT_GT(background, 150) << p.second;
            p.first->close();
        }
    }
    env.set("UPDATER_APPEARANCE", "");
    Appearance::postAppearanceChangedNotification();
}

#include "PromptsTest.moc"
