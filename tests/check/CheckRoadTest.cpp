// The controller's visible-check roads with the check dialog and the update
// list plugged in: in this process, and as the real agent in a subprocess.
#include "AgentProcess.h"
#include "CheckTestSupport.h"
#include "DlgUpdatesTree.h"
#include "ModalAnswerer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

// Closes whatever modal window is still open after a while, so a test whose
// expectations fail ends instead of waiting for a user.
class ModalGuard
{
public:
    explicit ModalGuard(int ms = 30000)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "modal window left open: " << modal->metaObject()->className();
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->done(0);
            }
        });
        m_timer.start(ms);
    }
private:
    QTimer m_timer;
};

QStringList rowsOf(const QStandardItem* parent)
{
    QStringList rows;
    for (int row = 0; row < parent->rowCount(); ++row) {
        const QStandardItem* item = parent->child(row, 0);
        rows << item->text();
        for (const QString& child : rowsOf(item))
            rows << QStringLiteral("  ") + child;
    }
    return rows;
}

// Says one text of the check window in another language.
class CheckingInGerman : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QByteArray(source) == "Checking for updates..." ? QStringLiteral("Suche nach Updates...") : QString();
    }
};

} // namespace

class CheckRoad : public CheckRun {};

TEST_F(CheckRoad, RoadsByCommandAndReply)
{
    struct Case {
        const char* command;
        const char* reply;
        QStringList reports;
        bool listOpens;
        bool managerGone;
        bool closeList = false;   // the user leaves the list with Close and Yes
    };
    const Case cases[] = {
        {"-updater -type \"Update List\"", "reply_offers.xml", {"close"}, true, false},
        {"-updater -type \"Auto Updater\"", "reply_offers.xml", {}, true, false},
        // Close releases the manager while its own query signal is still being delivered.
        {"-updater -type \"Update List\"", "reply_offers.xml", {"close"}, true, true, true},
        {"-updater -type \"Update List\"", "reply_nothing.xml", {"update finished"}, false, true},
        // Only silent installs: the controller, not the dialog, tells the reader.
        {"-updater -type \"Update List\"", "reply_silent.xml", {"update finished"}, false, false},
        {"-updater -type \"Auto Updater\"", "reply_silent.xml", {}, false, false},
        // "run" has no type: the list-mode filters do not apply and nothing counts as offered.
        {"-run", "reply_offers.xml", {"update finished"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " / " + c.reply);
        IsolatedEnv world;
        world.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        FakeReader fakeReader;
        HttpTestServer::Reply reply = HttpTestServer::Reply::ok(fixture(QLatin1String(c.reply)));
        // Slow enough that the check dialog is seen before the answer is in.
        reply.throttleBytes = qMax(1, reply.body.size() / 8);
        reply.throttleIntervalMs = 40;
        server.setRoute(kServicePath, reply);

        CSetup_CommandLine commandLine;
        commandLine.ProcessCmdLine(QLatin1String(c.command) + QStringLiteral(" -version 11.0.0.0 -readerpath \"%1\"")
                                                                  .arg(fixtureReaderPath()));
        UpdaterApp controller(&commandLine);
        theApp = &controller;

        ModalGuard guard;
        ModalAnswerer answerer;
        ModalAnswerer::Seen check;
        answerer.answer([&](QWidget* w) { check = ModalAnswerer::describe(w); }, QStringLiteral("DlgUpdateChecking"));
        QStringList listRows;
        if (c.listOpens) {
            answerer.answer([&](QWidget* w) {
                listRows = rowsOf(static_cast<DlgUpdatesTree*>(w)->model()->invisibleRootItem());
                if (c.closeList)
                    w->findChild<QPushButton*>(QStringLiteral("button_cancel"))->click();
                else
                    static_cast<QDialog*>(w)->done(0);
            }, QStringLiteral("DlgUpdatesTree"));
            if (c.closeList)
                answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("QMessageBox"));
        }
        controller.runUpdateVisible(31, 225);

        EXPECT_TRUE(controller.bQuit);
        EXPECT_EQ(answerer.pending(), 0);
        EXPECT_EQ(check.title, QStringLiteral("Velto Updater"));
        EXPECT_TRUE(check.texts.contains(QStringLiteral("Checking for updates..."))) << check.texts.join('|').toStdString();
        EXPECT_EQ(fakeReader.messages(), c.reports);
        if (c.listOpens) {
            EXPECT_EQ(listRows, QStringList({"Velto PDF Reader Updates", "  Velto PDF Reader 11.1", "Add-ons",
                                             "  OCR", "    French OCR", "    German OCR", "  Stamps",
                                             "  Zoom Tools"}));   // a silent install is listed all the same
        }
        flushDeferredDeletes();
        EXPECT_EQ(controller.GetModuleManager() == nullptr, c.managerGone);
        delete controller.GetModuleManager();
        theApp = nullptr;
    }
}

TEST_F(CheckRoad, AgentShowsTheCheckThenTheList)
{
    server.setRoute(kServicePath, fixture(QStringLiteral("reply_offers.xml")));
    AgentProcess agent({QStringLiteral("-updater"), QStringLiteral("-type"), QStringLiteral("\"Update List\""),
                        QStringLiteral("-version"), QStringLiteral("11.0.0.0"), QStringLiteral("-readerpath"),
                        fixtureReaderPath()});
    ASSERT_TRUE(agent.waitForStarted());
    // "close" goes out just before the list opens.
    ASSERT_TRUE(reader->waitForMessages(1, 30000)) << agent.process().readAllStandardError().toStdString();
    EXPECT_EQ(reader->messages(), QStringList{QStringLiteral("close")});
    EXPECT_EQ(server.requestCount(kServicePath), 1);
    // The list now waits for the user: the agent stays.
    EXPECT_FALSE(agent.process().waitForFinished(500));
    EXPECT_EQ(agent.process().state(), QProcess::Running);
}

// The console-user lookup behind the language is slow: the check's window is
// made and the query sent before the language is taken, and the window then
// shows the language's texts all the same.
TEST_F(CheckRoad, LanguageIsTakenOnceTheWindowIsUpAndTheQueryIsOut)
{
    IsolatedEnv world;
    world.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
    FakeReader fakeReader;
    HttpTestServer::Reply reply = HttpTestServer::Reply::ok(fixture(QStringLiteral("reply_nothing.xml")));
    reply.throttleBytes = qMax(1, reply.body.size() / 8);
    reply.throttleIntervalMs = 40;
    server.setRoute(kServicePath, reply);

    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(QStringLiteral("-updater -type \"Update List\" -version 11.0.0.0 -readerpath \"%1\"")
                                   .arg(fixtureReaderPath()));
    UpdaterApp controller(&commandLine);
    theApp = &controller;

    CheckingInGerman german;
    bool windowMade = false;
    bool queryOut = false;
    int asked = 0;
    controller.SetLanguageSource([&] {
        ++asked;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->inherits("DlgUpdateChecking") && w->testAttribute(Qt::WA_WState_Created))
                windowMade = true;
        }
        const CReaderModuleManager* manager = controller.GetModuleManager();
        queryOut = manager && manager->IsQueryBusy();
        QCoreApplication::installTranslator(&german);
        LanguageChoice choice;
        choice.nChooseLan = 42;
        choice.nChooseCountry = 82;
        return choice;
    });

    ModalGuard guard;
    ModalAnswerer answerer;
    ModalAnswerer::Seen check;
    answerer.answer([&](QWidget* w) { check = ModalAnswerer::describe(w); }, QStringLiteral("DlgUpdateChecking"));
    controller.runUpdateVisible(31, 225);
    QCoreApplication::removeTranslator(&german);

    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(windowMade);
    EXPECT_TRUE(queryOut);
    EXPECT_TRUE(check.texts.contains(QStringLiteral("Suche nach Updates..."))) << check.texts.join('|').toStdString();
    EXPECT_EQ(controller.GetLanguage(), 42);
    EXPECT_EQ(controller.GetCountry(), 82);
    EXPECT_EQ(fakeReader.messages(), QStringList{QStringLiteral("update finished")});
    flushDeferredDeletes();
    delete controller.GetModuleManager();
    theApp = nullptr;
}
