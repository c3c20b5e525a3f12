// The download-and-install list driven through the module manager's relay
// signals: rows, the Download / Pause / Continue / OK states, install steps
// and their icons, and when closing asks first.
#include "E2eSupport.h"

#include "Appearance.h"
#include "DlgDownload.h"
#include "HttpTestServer.h"
#include "ModalAnswerer.h"
#include "Screenshot.h"
#include "WidgetLooks.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

namespace {

// A catalogue for the list's own words, to show that pausing and continuing
// recognise an install step in any language.
class GermanList : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override
    {
        if (qstrcmp(context, "dlgfound") != 0)
            return QString();
        const QString text = QString::fromUtf8(source);
        if (text == QLatin1String("Install"))
            return QStringLiteral("Installieren");
        if (text == QLatin1String("Install "))
            return QStringLiteral("Installieren ");
        if (text == QLatin1String("Downloading"))
            return QStringLiteral("Wird geladen");
        if (text == QLatin1String("Suspended"))
            return QStringLiteral("Angehalten");
        return QString();
    }
};

} // namespace

class DownloadList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        // Packages are never answered: the hidden window waits on the first
        // module, and everything the list shows comes from the relays the
        // test sends.
        server.setFallback([](const HttpTestServer::Request&) {
            HttpTestServer::Reply reply;
            reply.neverAnswer = true;
            return reply;
        });
        run.start(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1"));
    }

    void TearDown() override
    {
        // The window and its waiting transfer go before the isolated folders do.
        if (run.manager)
            delete run.manager->GetDownloadWindow();
        QCoreApplication::processEvents();
    }

    void selectThree()
    {
        a = keptRecord("Alpha", "Alpha Tools", "10485760", url("Alpha"), "Alpha description");
        b = keptRecord("Beta", "Beta Pack", "524288B", url("Beta"), "Beta description");
        c = keptRecord("Gamma", "Gamma OCR", "3221225472", url("Gamma"), "Gamma description");
        for (MODULEINFO* m : {a, b, c})
            run.manager->AddSelModule(m);
    }

    std::string url(const char* name) const
    {
        return (server.baseUrl() + QStringLiteral("/packages/%1.kzip").arg(QLatin1String(name))).toStdString();
    }

    std::unique_ptr<dlgfound> openList()
    {
        auto list = std::make_unique<dlgfound>("Update List", true, false, false, false, run.manager.get());
        return list;
    }

    // The hidden window has asked for the first package.
    void waitForFirstRequest()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestCount() >= 1; }, 10000));
    }

    void download(MODULEINFO* m, double percent) { run.manager->getDownProgress(QString::fromStdString(m->title), percent); }
    void install(MODULEINFO* m, int step) { run.manager->setInstallProgress(QString::fromStdString(m->title), step); }

    HttpTestServer server;
    AgentRunInProcess run;
    MODULEINFO* a = nullptr;
    MODULEINFO* b = nullptr;
    MODULEINFO* c = nullptr;
};

TEST_F(DownloadList, OpensWithOneRowPerSelectedModuleAndStartsAtOnce)
{
    selectThree();
    auto list = openList();
    ListView view(list.get());

    EXPECT_EQ(view.column(0), QStringList({"Alpha Tools", "Beta Pack", "Gamma OCR"}));
    // Sizes are megabytes of the byte count; 3 GiB is read as the 64-bit number it is.
    EXPECT_EQ(view.column(1), QStringList({"10.00MB", "0.50MB", "3072.00MB"}));
    EXPECT_EQ(view.column(2), QStringList({"Downloading", "Waiting", "Waiting"}));
    EXPECT_EQ(view.download()->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(view.download()->isEnabled());
    EXPECT_EQ(view.close()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
    EXPECT_EQ(run.manager->GetCurDownloadModule(), a);
    EXPECT_EQ(list->size(), QSize(680, 571));
    EXPECT_EQ(list->windowTitle(), QString());
    EXPECT_EQ(list->findChild<QLabel*>(QStringLiteral("lbl_version"))->text(), QStringLiteral("Version: 12.1.0.1"));
    // The hidden window was handed the selection and asked for the first package.
    waitForFirstRequest();
    EXPECT_EQ(server.requests().at(0).path, QByteArray("/packages/Alpha.kzip"));
}

TEST_F(DownloadList, StateTableThroughTheRelays)
{
    selectThree();
    auto list = openList();
    list->show();
    ListView view(list.get());
    waitForFirstRequest();
    run.manager->SetCurDownloadModuleInfo(a);

    download(a, 35.9);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Download 35%"));

    view.download()->click();   // Pause
    EXPECT_EQ(list->downloadState(), dlgfound::StateSuspended);
    EXPECT_EQ(view.download()->text(), QStringLiteral("Continue"));
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Suspended"));

    view.download()->click();   // Continue
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
    EXPECT_EQ(view.download()->text(), QStringLiteral("Pause"));
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Downloading"));

    // The keyboard does the same: Space on the focused button.
    view.download()->setFocus();
    QTest::keyClick(view.download(), Qt::Key_Space);   // Pause
    EXPECT_EQ(list->downloadState(), dlgfound::StateSuspended);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Suspended"));
    QTest::keyClick(view.download(), Qt::Key_Space);   // Continue
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Downloading"));

    // Install steps shut the download button; any download progress opens it.
    struct Step {
        MODULEINFO* module;
        bool isDownload;
        double value;
        int row;
        const char* text;
        bool buttonEnabled;
    };
    const Step steps[] = {
        {a, false, 0, 0, "Install 0%", false},
        {a, false, 20, 0, "Install 20%", false},
        {b, true, 42.5, 1, "Download 42%", true},
        {a, false, 90, 0, "Install 90%", false},
        {a, false, 100, 0, "", false},
        {b, true, 100, 1, "Download 100%", true},
        {b, false, -1, 1, "", false},
    };
    for (const Step& s : steps) {
        if (s.isDownload)
            download(s.module, s.value);
        else
            install(s.module, static_cast<int>(s.value));
        EXPECT_EQ(view.cell(s.row, 2), QString::fromLatin1(s.text)) << s.module->title << " " << s.value;
        EXPECT_EQ(view.download()->isEnabled(), s.buttonEnabled) << s.module->title << " " << s.value;
    }
    EXPECT_EQ(view.icon(0), QStringLiteral("success"));
    EXPECT_EQ(view.icon(1), QStringLiteral("warning"));
    EXPECT_EQ(view.icon(2), QString());
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
    // A row is still busy: the close button still reads Cancel.
    EXPECT_EQ(view.close()->text(), QStringLiteral("Cancel"));

    // A title that has no row changes nothing.
    download(keptRecord("Stray", "Stray", "1", ""), 50);
    install(keptRecord("Stray2", "Stray2", "1", ""), 100);
    EXPECT_EQ(view.column(2), QStringList({"", "", "Waiting"}));

    install(c, 100);
    EXPECT_EQ(view.icon(2), QStringLiteral("success"));
    EXPECT_EQ(view.download()->text(), QStringLiteral("Pause"));
    EXPECT_FALSE(view.download()->isEnabled());
    EXPECT_EQ(view.close()->text(), QStringLiteral("Close"));

    // Every module has ended: Close closes without asking.
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
    view.close()->click();
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->result(), QDialog::Rejected);
    EXPECT_TRUE(answerer.seen().isEmpty());
}

TEST_F(DownloadList, PauseAndContinueLeaveAnInstallStepAloneInAnyLanguage)
{
    GermanList german;
    QCoreApplication::installTranslator(&german);
    selectThree();
    auto list = openList();
    ListView view(list.get());
    waitForFirstRequest();
    run.manager->SetCurDownloadModuleInfo(a);

    install(a, 20);
    ASSERT_EQ(view.cell(0, 2), QStringLiteral("Installieren 20%"));
    list->downloadInstall();   // Pause
    EXPECT_EQ(list->downloadState(), dlgfound::StateSuspended);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Installieren 20%"));
    list->downloadInstall();   // Continue: nothing to resume, only the state moves on
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Installieren 20%"));

    download(a, 10);
    list->downloadInstall();
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Angehalten"));
    list->downloadInstall();
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Wird geladen"));
    QCoreApplication::removeTranslator(&german);
}

TEST_F(DownloadList, EmptySelectionOffersOnlyOk)
{
    auto list = openList();
    list->show();
    ListView view(list.get());
    EXPECT_EQ(view.rows(), 0);
    EXPECT_EQ(list->downloadState(), dlgfound::StateFinished);
    EXPECT_EQ(view.download()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(view.download()->isEnabled());
    EXPECT_FALSE(view.close()->isEnabled());
    EXPECT_EQ(server.requestCount(), 0);

    view.download()->click();
    EXPECT_FALSE(list->isVisible());
}

TEST_F(DownloadList, EscapeAlwaysAsksTheCloseButtonOnlyWhileBusy)
{
    selectThree();
    auto list = openList();
    list->show();
    ListView view(list.get());
    waitForFirstRequest();

    ModalAnswerer answerer;
    // Busy: the close button asks; No keeps the list open.
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
    view.close()->click();
    EXPECT_TRUE(list->isVisible());
    // So does the window's own close.
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
    list->close();
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_EQ(answerer.seen().at(0).title, QStringLiteral("Velto PDF Reader Updater"));
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(QStringLiteral(
        "Velto PDF Reader is downloading the latest Velto PDF Reader version now, are you sure you want to quit?")))
        << answerer.seen().at(0).texts.join('|').toStdString();

    for (MODULEINFO* m : {a, b, c})
        install(m, 100);
    ASSERT_FALSE(view.download()->isEnabled());

    // Everything has ended, yet Escape still asks.
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
    QTest::keyClick(list.get(), Qt::Key_Escape);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(answerer.seen().size(), 3);
    answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("QMessageBox"));
    QTest::keyClick(list.get(), Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(answerer.seen().size(), 4);
    EXPECT_EQ(answerer.pending(), 0);
}

TEST_F(DownloadList, TitleClickShowsItsDescriptionOtherCellsDoNot)
{
    selectThree();
    auto list = openList();
    ListView view(list.get());
    EXPECT_EQ(view.description(), QStringLiteral("Gamma description"));   // the last row filled
    list->OnTreeViewClicked(view.model()->index(1, 0));
    EXPECT_EQ(view.description(), QStringLiteral("Beta description"));
    list->OnTreeViewClicked(view.model()->index(0, 1));
    list->OnTreeViewClicked(view.model()->index(0, 2));
    EXPECT_EQ(view.description(), QStringLiteral("Beta description"));
}

TEST_F(DownloadList, ForcedUpgradeListsOnlyForcedModules)
{
    selectThree();
    b->forcedUpgrade = true;
    run.app->bForceUpgrade = true;
    auto list = openList();
    ListView view(list.get());
    EXPECT_EQ(view.column(0), QStringList({"Beta Pack"}));
    b->forcedUpgrade = false;
}

TEST_F(DownloadList, SizesThatDoNotReadShowZero)
{
    const struct {
        const char* size;
        const char* shown;
    } cases[] = {{"", "0.00MB"}, {"abc", "0.00MB"}, {"1048576B", "1.00MB"}, {"1572864", "1.50MB"},
                 {"10 MB", "0.00MB"}, {"2147483648", "2048.00MB"}};
    for (const auto& c : cases)
        run.manager->AddSelModule(keptRecord(c.size, std::string("size ") + c.size, c.size, url("Size")));
    auto list = openList();
    ListView view(list.get());
    waitForFirstRequest();
    QStringList expected;
    for (const auto& c : cases)
        expected << QString::fromLatin1(c.shown);
    EXPECT_EQ(view.column(1), expected);
}

TEST_F(DownloadList, SecondFillSkipsModulesAlreadyListed)
{
    selectThree();
    auto list = openList();
    ListView view(list.get());
    list->OnDownloadQueryResult(QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(view.rows(), 3);
    EXPECT_EQ(list->downloadState(), dlgfound::StateDownloading);
}

// With the agent's look, light and dark: the list keeps its fixed size with
// nothing sticking out, and once every module has ended the disabled "Pause"
// reads as disabled beside the enabled "Close".
TEST_F(DownloadList, ScreenshotsMidDownloadAndFinishedLightAndDark)
{
    AgentLook look;
    selectThree();
    for (const char* appearance : {"light", "dark"}) {
        SCOPED_TRACE(appearance);
        const bool dark = QLatin1String(appearance) == QLatin1String("dark");
        run.env.set("UPDATER_APPEARANCE", dark ? "dark" : "");
        Appearance::applySystemAppearance();
        auto list = openList();
        list->show();
        ListView view(list.get());
        waitForFirstRequest();
        EXPECT_EQ(list->size(), QSize(680, 571));
        EXPECT_EQ(childrenOutside(list.get()), QStringList());
        EXPECT_EQ(view.download()->height(), 32);
        EXPECT_EQ(list->palette().color(QPalette::Window).lightness() < 100, dark);
        EXPECT_EQ(view.close()->palette().color(QPalette::ButtonText),
                  dark ? QColor(222, 222, 222) : QColor(26, 26, 26));

        install(a, 100);
        download(b, 42.7);
        ASSERT_EQ(view.column(2), QStringList({"", "Download 42%", "Waiting"}));
        ASSERT_EQ(view.icon(0), QStringLiteral("success"));
        EXPECT_FALSE(saveScreenshot(list.get(), QStringLiteral("download_list_%1").arg(appearance)).isEmpty());

        install(b, 100);
        install(c, -1);
        ASSERT_EQ(view.close()->text(), QStringLiteral("Close"));
        ASSERT_FALSE(view.download()->isEnabled());
        const int disabledContrast = textContrast(view.download());
        const int enabledContrast = textContrast(view.close());
        EXPECT_LT(disabledContrast + 60, enabledContrast) << disabledContrast << " " << enabledContrast;
        EXPECT_FALSE(saveScreenshot(list.get(), QStringLiteral("download_list_finished_%1").arg(appearance)).isEmpty());
        list.reset();
        delete run.manager->GetDownloadWindow();
        run.start(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1"));
        server.clearRequests();
        for (MODULEINFO* m : {a, b, c})
            run.manager->AddSelModule(m);
    }
    run.env.set("UPDATER_APPEARANCE", "");
    Appearance::applySystemAppearance();
}

// A list open while the system switches follows it; one opened in dark mode
// starts dark.
TEST_F(DownloadList, FollowsTheSystemWhileOpen)
{
    selectThree();
    auto list = openList();
    list->show();
    ListView view(list.get());
    const auto closeText = [&] { return view.close()->palette().color(QPalette::ButtonText); };
    EXPECT_EQ(closeText(), QColor(26, 26, 26));

    run.env.set("UPDATER_APPEARANCE", "dark");
    Appearance::postAppearanceChangedNotification();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closeText() == QColor(222, 222, 222); }, 5000));
    EXPECT_LT(list->palette().color(QPalette::Window).lightness(), 100);

    auto second = openList();
    second->show();
    EXPECT_EQ(ListView(second.get()).close()->palette().color(QPalette::ButtonText), QColor(222, 222, 222));
    second.reset();

    run.env.set("UPDATER_APPEARANCE", "");
    Appearance::postAppearanceChangedNotification();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closeText() == QColor(26, 26, 26); }, 5000));
}

// The modes and helpers that no run of the agent reaches.
TEST_F(DownloadList, AutoUpdaterModeFillsAndStartsLikeTheListMode)
{
    selectThree();
    dlgfound list("Auto Updater", true, false, false, false, run.manager.get());
    ListView view(&list);
    EXPECT_EQ(view.column(2), QStringList({"Downloading", "Waiting", "Waiting"}));
    EXPECT_EQ(list.downloadState(), dlgfound::StateDownloading);
}

TEST_F(DownloadList, OtherModeWithoutSelectionQueriesOnTheGuiThread)
{
    const QByteArray reply = "<addons><addon name=\"OCR_de_de\" title=\"OCR German\" version=\"2.0\" result=\"true\""
                             " module_type=\"service\" url=\"http://127.0.0.1:9/OCR.kzip\"/></addons>";
    server.setRoute("/addons/get_addons.php", reply);
    run.env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
    ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());

    CReaderModuleManager* own = nullptr;
    {
        // No manager given: the list makes one of its mode and keeps it.
        dlgfound list("OCR_de_de", true, false, false, false, nullptr);
        own = list.moduleManager();
        ASSERT_NE(own, nullptr);
        ASSERT_NE(own, run.manager.get());
        ListView view(&list);
        EXPECT_EQ(view.rows(), 0);
        EXPECT_FALSE(view.download()->isEnabled());
        EXPECT_EQ(list.downloadState(), dlgfound::StateNone);
        list.downloadInstall();   // nothing to act on yet
        EXPECT_EQ(list.downloadState(), dlgfound::StateNone);

        QSignalSpy finished(own, &CReaderModuleManager::sQueryModuleInfoFinish);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(own->CountAvailableModule(), 1);
        ASSERT_EQ(server.requests("/addons/get_addons.php").size(), 1);
        EXPECT_TRUE(server.requests("/addons/get_addons.php").at(0).query.startsWith("addon=OCR_de_de&"));
    }
    // The list left its manager alive; what the list made is gone with it.
    EXPECT_EQ(own->CountAvailableModule(), 1);
    delete own->GetDownloadWindow();
    delete own;
}

TEST_F(DownloadList, AddModuleToDownloadListAddsEachSelectedModuleOnce)
{
    MODULEINFO* updater = keptRecord("ReaderUpdate", "Reader 12.2", "1", url("ReaderUpdate"));
    updater->module_type = "updater";
    MODULEINFO* addon = keptRecord("Stamps", "Stamps", "1", url("Stamps"));
    run.manager->AddSelModule(updater);
    run.manager->AddSelModule(addon);
    auto list = openList();
    ASSERT_EQ(ListView(list.get()).column(0), QStringList({"Reader 12.2", "Stamps"}));

    EXPECT_FALSE(list->AddModuleToDownloadList("NotSelected"));
    // The updater already has its row.
    EXPECT_FALSE(list->AddModuleToDownloadList("ReaderUpdate"));
    EXPECT_EQ(run.manager->CountSelModules(), 2);
    // A selected add-on not yet chosen is chosen and selected again; once chosen, never again.
    EXPECT_TRUE(list->AddModuleToDownloadList("Stamps"));
    EXPECT_TRUE(addon->bChosen);
    EXPECT_EQ(run.manager->CountSelModules(), 3);
    EXPECT_FALSE(list->AddModuleToDownloadList("Stamps"));
    EXPECT_EQ(run.manager->CountSelModules(), 3);

    EXPECT_FALSE(list->CanFindAppointItem(nullptr));
    EXPECT_TRUE(list->CanFindAppointItem(addon));
    EXPECT_FALSE(list->CanFindAppointItem(keptRecord("Other", "Other", "1", "")));
}
