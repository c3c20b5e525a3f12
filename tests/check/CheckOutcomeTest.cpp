// The check dialog against the loopback service: every outcome of a check,
// for a list the user asked for and for the automatic check.
#include "CheckTestSupport.h"
#include "DlgUpdateChecking.h"
#include "DlgUpdatesTree.h"
#include "ModalAnswerer.h"
#include "RefusingPort.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>

namespace {

enum class Setup {
    FailedQuery,     // the query finished but the manager calls it failed
    NothingOffered,
    AllSilent,
    ListShown,
    PartialReply,    // the reply's transfer ends without a usable body
    Refused,         // nothing listens on the service port
    NoAnswer,        // the service never answers: the time-out decides
    Cancel,
    CancelByKeyboard  // Space on the focused Cancel button
};

struct Outcome
{
    const char* name;
    Setup setup;
    int result;
    bool handled;
    QStringList listReports;   // to the reader for "Update List"
    QStringList autoReports;   // to the reader for "Auto Updater"
    bool released;             // the dialog gave the manager up for deletion
};

} // namespace

class CheckOutcome : public CheckRun {};

TEST_F(CheckOutcome, EveryOutcomeByType)
{
    const QStringList none;
    const QStringList errornetwork{QStringLiteral("errornetwork")};
    const Outcome outcomes[] = {
        {"failed query", Setup::FailedQuery, -1, true, errornetwork, none, true},
        {"nothing offered", Setup::NothingOffered, 1, true, {QStringLiteral("update finished")}, none, true},
        {"all silent", Setup::AllSilent, 1, false, none, none, false},
        {"list shown", Setup::ListShown, 1, true, {QStringLiteral("close")}, none, false},
        {"partial reply", Setup::PartialReply, -1, true, errornetwork, none, false},
        {"refused connection", Setup::Refused, -1, true, errornetwork, none, false},
        {"no answer", Setup::NoAnswer, -1, true, errornetwork, errornetwork, false},
        {"cancel", Setup::Cancel, 0, false, none, none, false},
        {"cancel by keyboard", Setup::CancelByKeyboard, 0, false, none, none, false},
    };

    for (const Outcome& o : outcomes) {
        for (const QString& type : QStringList{QStringLiteral("Update List"), QStringLiteral("Auto Updater")}) {
            SCOPED_TRACE(std::string(o.name) + " / " + type.toStdString());
            IsolatedEnv world;   // fresh settings, sockets and data per run
            const RefusingPort refused;
            world.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
            FakeReader fakeReader;
            ASSERT_TRUE(fakeReader.isListening());
            start(type);
            server.clearRequests();

            HttpTestServer::Reply reply = HttpTestServer::Reply::ok(fixture(QStringLiteral("reply_offers.xml")));
            switch (o.setup) {
            case Setup::NothingOffered:
                reply.body = fixture(QStringLiteral("reply_nothing.xml"));
                break;
            case Setup::AllSilent:
                reply.body = fixture(QStringLiteral("reply_silent.xml"));
                break;
            case Setup::PartialReply:
                // Partial content from an offset nobody asked for.
                reply.status = 206;
                reply.body = reply.body.mid(5);
                reply.headers.append(qMakePair(QByteArray("Content-Range"), QByteArray("bytes 5-9/10")));
                break;
            case Setup::NoAnswer:
                world.set("UPDATER_TIME_SCALE", "0.005");   // the minute becomes 300 ms
                reply.neverAnswer = true;
                break;
            case Setup::Cancel:
            case Setup::CancelByKeyboard:
                reply.neverAnswer = true;
                break;
            case Setup::Refused:
                world.set("UPDATER_SERVICE_BASE", refused.baseUrl());
                break;
            default:
                break;
            }
            server.setRoute(kServicePath, reply);

            QPointer<CReaderModuleManager> mgr = makeManager();
            DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
            ModalAnswerer answerer;
            QStringList listRows;
            if (o.setup == Setup::ListShown) {
                answerer.answer([&](QWidget* w) {
                    auto* list = qobject_cast<DlgUpdatesTree*>(w);
                    ASSERT_TRUE(list);
                    for (int row = 0; row < list->model()->rowCount(); ++row)
                        listRows << list->model()->item(row)->text();
                    list->done(0);
                }, QStringLiteral("DlgUpdatesTree"));
            } else if (o.setup == Setup::PartialReply || o.setup == Setup::Refused
                       || o.setup == Setup::FailedQuery) {
                // The manager's own warning after a failed transfer, and the
                // same words from the dialog after a failed query.
                answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
            } else if (o.setup == Setup::Cancel || o.setup == Setup::CancelByKeyboard) {
                // Cancelled once the query has reached the service, so that
                // no request of this case arrives during the next one.
                const bool byKeyboard = o.setup == Setup::CancelByKeyboard;
                answerer.answer([this, byKeyboard](QWidget* w) {
                    server.waitForRequests(1);
                    auto* cancel = w->findChild<QPushButton*>(QStringLiteral("cancelButton"));
                    if (byKeyboard) {
                        cancel->setFocus();
                        QTest::keyClick(cancel, Qt::Key_Space);
                    } else {
                        cancel->click();
                    }
                }, QStringLiteral("DlgUpdateChecking"));
            }

            dlg.showMinimized();
            dlg.hide();
            dlg.setModuleManager(mgr);
            if (o.setup == Setup::FailedQuery) {
                QueryResultInfo failed;
                failed.bSuccess = false;
                dlg.nResult = 1;   // as after the query-finished signal
                dlg.OnUpdateQueryResult(failed);
            } else {
                dlg.startUpdateCheck();
                dlg.exec();
            }

            EXPECT_EQ(dlg.nResult, o.result);
            EXPECT_EQ(theApp->bCheckHandled, o.handled);
            const QStringList expected = type == QLatin1String("Auto Updater") ? o.autoReports : o.listReports;
            EXPECT_EQ(fakeReader.messages(), expected);
            EXPECT_EQ(listRows.isEmpty(), o.setup != Setup::ListShown) << listRows.join(',').toStdString();
            if (o.setup == Setup::ListShown) {
                EXPECT_EQ(listRows, QStringList({"Velto PDF Reader Updates", "Add-ons"}));
            }
            if (o.setup != Setup::FailedQuery && o.setup != Setup::Refused) {
                EXPECT_EQ(server.requestCount(kServicePath), 1);
            }

            flushDeferredDeletes();
            EXPECT_EQ(mgr.isNull(), o.released);
            if (mgr) {
                // Still usable: the list's choices and the controller may read it.
                EXPECT_GE(mgr->CountAvailableModule(), 0);
            }
            delete mgr.data();   // also cuts off a transfer that is still running
            theApp = nullptr;
            app.reset();
            cmd.reset();
        }
    }
}

TEST_F(CheckOutcome, WithoutManagerNothingStarts)
{
    start(QStringLiteral("Update List"));
    DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
    dlg.startUpdateCheck();
    EXPECT_EQ(dlg.findChildren<QTimer*>().size(), 0);
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_EQ(dlg.nResult, -1);
}

TEST_F(CheckOutcome, LateReplyAfterTimeOutOpensNothing)
{
    // The time-out ends the check; the reply that arrives afterwards must not
    // bring up the list or report a second time.
    env.set("UPDATER_TIME_SCALE", "0.005");
    start(QStringLiteral("Update List"));
    HttpTestServer::Reply slow = HttpTestServer::Reply::ok(fixture(QStringLiteral("reply_offers.xml")));
    slow.throttleBytes = 64;
    slow.throttleIntervalMs = 40;   // well over the 300 ms time-out in all
    server.setRoute(kServicePath, slow);

    QPointer<CReaderModuleManager> mgr = makeManager();
    QSignalSpy finished(mgr.data(), &CReaderModuleManager::sQueryModuleInfoFinish);
    DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
    ModalAnswerer answerer;
    bool listOpened = false;
    answerer.answer([&](QWidget* w) {
        listOpened = true;
        static_cast<QDialog*>(w)->done(0);
    }, QStringLiteral("DlgUpdatesTree"));
    dlg.setModuleManager(mgr);
    dlg.startUpdateCheck();
    dlg.exec();
    EXPECT_EQ(dlg.nResult, -1);
    EXPECT_TRUE(finished.wait(20000));   // the dialog is still alive here
    QTest::qWait(100);
    EXPECT_FALSE(listOpened);
    EXPECT_EQ(dlg.nResult, -1);
    EXPECT_EQ(reader->messages(), QStringList{QStringLiteral("errornetwork")});
}

TEST(CheckVersion, NewerThanTheReader)
{
    struct Case { const char* reader; const char* offered; bool newer; };
    const Case cases[] = {
        {"12.0.1.99", "12.0.1.100", true},
        {"12.0.1.100", "12.0.1.100", false},
        {"11.9.9.9", "12", true},          // "12" stands for every component
        {"12.0.1.100", "12.0.1.99", false},
        {"12.0.0.0", "11.99.0.0", false},
        {"12.0.0.0", "x.1", false},        // not a number counts as 0
    };
    for (const Case& c : cases) {
        IsolatedEnv env;
        CSetup_CommandLine cmd;
        cmd.ProcessCmdLine(QStringLiteral("-updater -type \"Update List\" -version ") + QLatin1String(c.reader));
        UpdaterApp app(&cmd);
        theApp = &app;
        DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
        EXPECT_EQ(dlg.CheckMajorVersionUpgrade(c.offered), c.newer) << c.reader << " vs " << c.offered;
        theApp = nullptr;
    }
}
