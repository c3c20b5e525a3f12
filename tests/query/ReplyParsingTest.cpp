// The reply parser's pipeline over crafted replies: records, drops, offers,
// the roll-back exemption, the reader's own record, rejections in both
// settings layouts and the schedule file of the internal road.
#include "QueryFixture.h"

#include "CXML_Element.h"

#include <vector>

namespace {
const QString kUpdaterKey = QStringLiteral("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");
}

class ReplyParsing : public QueryRun
{
protected:
    void parse(const QByteArray& reply)
    {
        manager->OnPaserModuleInfo(writeFile(QStringLiteral("reply.xml"), reply));
    }
};

TEST_F(ReplyParsing, RecordFieldsFromAttributes)
{
    start(QStringLiteral("-updater -type \"Update List\" -version 11.0"));
    parse("<addons><m name=\"A\" title=\"T\" version=\"1.2\" size=\"77\" description=\"D\" url=\"u\" regkey=\"K\""
          " level=\"3\" result=\"TRUE\" module_type=\"service\" parent=\"P\" plugin=\"True\" isnew=\"true\""
          " iscommon=\"yes\" update_mode=\"2x\" isInternalService=\"TRUE\" GlacierPDFStandard=\"\""
          " forcedUpgrade=\"true\" SilentInstall=\"tRuE\" releaseDate=\"2024\" md5=\"ff\" is_push=\"1\""
          " upgTipBtn=\"b\" upgTipTitle=\"t\" upgTipContent=\"c\" autoCheck=\"1\" pushUpdateTip=\"TRUE\""
          " Name=\"ignored\" x:name=\"ns\"/></addons>");
    // x:name matches "name" by its local name and comes last, so it wins.
    ASSERT_EQ(manager->CountAvailableModule(), 1);
    const MODULEINFO& m = *manager->GetAvailabletModule(0);
    EXPECT_EQ(m.name, "ns");
    EXPECT_EQ(m.title, "T");
    EXPECT_EQ(m.version, "1.2");
    EXPECT_EQ(m.size, "77");
    EXPECT_EQ(m.description, "D");
    EXPECT_EQ(m.url, "u");
    EXPECT_EQ(m.regkey, "K");
    EXPECT_EQ(m.level, "3");
    EXPECT_TRUE(m.result);
    EXPECT_EQ(m.module_type, "service");
    EXPECT_EQ(m.parent, "P");
    EXPECT_TRUE(m.plugin);
    EXPECT_TRUE(m.isnew);
    EXPECT_FALSE(m.iscommon);
    EXPECT_EQ(m.update_mode, 0);
    EXPECT_EQ(m.isInternalService, "TRUE");
    EXPECT_EQ(m.hasGlacierPDFStandard, "TRUE");
    EXPECT_EQ(m.GlacierPDFStandard, "");
    EXPECT_TRUE(m.forcedUpgrade);
    EXPECT_TRUE(m.SilentInstall);
    EXPECT_EQ(m.releaseDate, "2024");
    EXPECT_EQ(m.md5, "ff");
    EXPECT_TRUE(m.is_push);
    EXPECT_EQ(m.upgTipBtn, "b");
    EXPECT_EQ(m.upgTipTitle, "t");
    EXPECT_EQ(m.upgTipContent, "c");
    EXPECT_FALSE(m.autoCheck);
    EXPECT_TRUE(m.pushUpdateTip);
}

TEST_F(ReplyParsing, RepeatedAttributesAndNonAsciiText)
{
    start(QStringLiteral("-updater -type \"Update List\""));
    // A repeated attribute counts with its later value.
    parse(QStringLiteral("<addons><m name=\"a\" version=\"1\" name=\"Été 中\" result=\"true\" result=\"false\"/>"
                         "<m name=\"b\" version=\"1\" result=\"false\" result=\"true\"/></addons>")
              .toUtf8());
    ASSERT_EQ(availableNames(), QStringList({"b"}));
    parse(QStringLiteral("<addons><m name=\"Été 中\" version=\"1\" result=\"true\"/></addons>").toUtf8());
    EXPECT_EQ(manager->GetAvailabletModule(0)->name, std::string("\xc3\x89t\xc3\xa9 \xe4\xb8\xad"));
}

TEST_F(ReplyParsing, AutoUpdaterOffersAndChoosesAgainstTheLocalList)
{
    writeUpdaterInfo(fixture("updater_info.xml"));
    start(QStringLiteral("-updater -type \"Auto Updater\" -version 11.2 -readerpath \"%1\"").arg(readerPath()));
    parse("<addons><m name=\"Stamp\" version=\"1\" result=\"true\"/>"                       // not installed: not needed
          "<m name=\"Stamp\" version=\"1\" result=\"true\" autoCheck=\"TRUE\"/>"        // autoCheck: offered, chosen
          "<m name=\"OCR_fr_fr\" version=\"11.5\" result=\"true\"/>"                    // installed and older: offered
          "<m name=\"Spell\" version=\"3.0\" result=\"true\"/>"                         // as new: dropped
          "<m name=\"Auto Updater\" version=\"1\" result=\"true\" autoCheck=\"TRUE\"/>" // named like the type
          "</addons>");
    EXPECT_EQ(availableNames(), QStringList({"Stamp", "OCR_fr_fr", "Auto Updater"}));
    EXPECT_TRUE(manager->GetAvailabletModule(0)->bChosen);
    EXPECT_TRUE(manager->GetAvailabletModule(1)->bChosen);
    EXPECT_TRUE(manager->GetAvailabletModule(2)->bChosen);
    EXPECT_TRUE(manager->GetQueryResultInfo().bHasUpdate);
    EXPECT_EQ(manager->GetLastLocalVersion(), QStringLiteral("11.1"));
}

TEST_F(ReplyParsing, ComponentTypeMarksOnlyTheNamedModule)
{
    start(QStringLiteral("-updater -type OCR_fr"), QStringLiteral("OCR_fr"));
    parse("<addons><m name=\"OCR_fr\" version=\"1\" result=\"true\"/><m name=\"OCR_de\" version=\"1\" result=\"true\"/></addons>");
    EXPECT_EQ(availableNames(), QStringList({"OCR_fr", "OCR_de"}));
    EXPECT_TRUE(manager->GetAvailabletModule(0)->bChosen);
    EXPECT_FALSE(manager->GetAvailabletModule(1)->bChosen);
    EXPECT_FALSE(manager->GetQueryResultInfo().bHasUpdate);
}

TEST_F(ReplyParsing, ReadersOwnRecordHidesTheSameVersion)
{
    // (A module without a version matches an absent record: it is hidden too.)
    start(QStringLiteral("-updater -type \"Update List\" -version 11.0"));
    ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, "Stamp", "2.0"));
    ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, "Updater", "12.0"));
    parse("<addons><m name=\"Stamp\" version=\"2.0\" result=\"true\"/><m name=\"Stamp\" version=\"2.1\" result=\"true\"/>"
          "<m name=\"Updater\" version=\"12.0\" result=\"true\" module_type=\"updater\"/>"
          "<m name=\"NoVersion\" result=\"true\"/></addons>");
    EXPECT_EQ(availableNames(), QStringList({"Stamp", "Updater"}));
    EXPECT_EQ(manager->GetAvailabletModule(0)->version, "2.1");
    EXPECT_TRUE(manager->GetAvailabletModule(1)->bMajorUpgrade);
}

TEST_F(ReplyParsing, RollBackKeepsOnlyTheUpdaterOnTheInternalRoad)
{
    ScheduleFileGuard schedule(CReaderModuleManager(QString()).GetScheduleTimePath());
    start(QStringLiteral("-updater -type \"Update List\" -version 11.0 -InternalUpdateURL http://x.example/u"));
    parse(fixture("rollback_reply.xml"));            // not on the internal road yet: rollback ignored
    EXPECT_TRUE(availableNames().isEmpty());
    EXPECT_FALSE(theApp->bRollBack);
    theApp->bInternalUpdate = true;
    parse(fixture("rollback_reply.xml"));
    EXPECT_TRUE(theApp->bRollBack);
    EXPECT_EQ(availableNames(), QStringList({"Updater"}));
}

TEST_F(ReplyParsing, InternalRoadKeepsTheUrlPathAndResolvesItAgainstTheInternalAddress)
{
    ScheduleFileGuard schedule(CReaderModuleManager(QString()).GetScheduleTimePath());
    start(QStringLiteral("-updater -type \"Update List\" -InternalUpdateURL https://intra.example:8443/upd/check"));
    theApp->bInternalUpdate = true;
    parse("<addons><m name=\"A\" version=\"1\" result=\"true\" url=\"https://cdn.example/pkg/My%20Pack.kzip?sig=9\"/></addons>");
    ASSERT_EQ(manager->CountAvailableModule(), 1);
    EXPECT_EQ(manager->GetAvailabletModule(0)->url, "/pkg/My Pack.kzip");
    EXPECT_EQ(CReaderModuleManager::ResolvePackageUrl(manager->GetAvailabletModule(0)->url).toString(QUrl::FullyEncoded),
              QStringLiteral("https://intra.example:8443/pkg/My%20Pack.kzip"));
    EXPECT_EQ(CReaderModuleManager::ResolvePackageUrl("https://cdn.example/a.kzip").toString(),
              QStringLiteral("https://cdn.example/a.kzip"));
}

TEST_F(ReplyParsing, ScheduleSequenceOnTheInternalRoad)
{
    ScheduleFileGuard schedule(CReaderModuleManager(QString()).GetScheduleTimePath());
    start(QStringLiteral("-updater -type \"Update List\" -InternalUpdateURL http://x.example/u"));
    theApp->bInternalUpdate = true;
    parse(fixture("schedule_5.xml"));                    // a new schedule: recorded, nothing offered
    EXPECT_EQ(schedule.read(), QStringLiteral("5"));
    EXPECT_TRUE(availableNames().isEmpty());
    EXPECT_TRUE(theApp->bReplyParsed);
    parse(fixture("schedule_5.xml"));                    // the same schedule: parsed
    EXPECT_EQ(availableNames(), QStringList({"Stamp"}));
    parse(fixture("schedule_none.xml"));                 // no schedule: file removed, parsed
    EXPECT_EQ(schedule.read(), QStringLiteral("<none>"));
    EXPECT_EQ(availableNames(), QStringList({"Stamp"}));
}

TEST_F(ReplyParsing, UnwritableScheduleDoesNotHoldBackEveryReply)
{
    const QString path = CReaderModuleManager(QString()).GetScheduleTimePath();
    ScheduleFileGuard schedule(path);
    ASSERT_TRUE(QDir().mkdir(path));                     // a folder where the file should be
    start(QStringLiteral("-updater -type \"Update List\" -InternalUpdateURL http://x.example/u"));
    theApp->bInternalUpdate = true;
    parse(fixture("schedule_5.xml"));
    EXPECT_EQ(availableNames(), QStringList({"Stamp"}));
}

TEST_F(ReplyParsing, RepliesThatAreNotCompleteUpdateDocuments)
{
    const QByteArray moduleA = "<m name=\"A\" version=\"1\" result=\"true\" url=\"http://x/pk/A.kzip\"/>";
    QByteArray huge("<addons>" + moduleA);
    huge.append(QByteArray(CReaderModuleManager::kMaxXmlFileSize, ' '));
    huge.append("</addons>");
    QByteArray utf16("\xff\xfe", 2);
    for (char c : QByteArray("<addons>" + moduleA + "</addons>")) {
        utf16 += c;
        utf16 += '\0';
    }
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 97 + 13) & 0xff);

    // What becomes of the controller's reply-parsed flag.
    enum Flag { Cleared, Set, Untouched };
    struct Case
    {
        const char* name;
        QByteArray reply;
        bool success;       // false: the check's failed-query road
        Flag parsed;
        QStringList offered;
    };
    const std::vector<Case> cases = {
        {"empty", "", true, Cleared, {}},
        {"not XML", "this is not XML <<<", false, Set, {}},
        {"binary bytes", binary, false, Set, {}},
        {"UTF-16", utf16, false, Set, {}},
        {"over the bound", huge, false, Untouched, {}},
        {"captive portal page", "<!DOCTYPE html><HTML><head><title>Sign in</title></head><body>"
                                "<m name=\"A\" version=\"1\" result=\"true\"/></body></HTML>", false, Set, {}},
        {"XHTML error page", "<?xml version=\"1.0\"?><x:html xmlns:x=\"http://www.w3.org/1999/xhtml\"><body/></x:html>",
         false, Set, {}},
        {"document without modules", "<addons/>", true, Set, {}},
        {"complete", "<addons>" + moduleA + "<m name=\"B\" version=\"1\" result=\"true\"/></addons>", true, Set, {"A", "B"}},
        {"root left open", "<addons>" + moduleA + "<m name=\"B\" version=\"1\" result=\"true\"/>", true, Set, {"A", "B"}},
        {"cut in a value", "<addons>" + moduleA + "<m name=\"B\" version=\"1\" result=\"true\" url=\"http://x/pk/B.", true,
         Set, {"A"}},
        {"cut in a start tag", "<addons>" + moduleA + "<m name=\"B\" result=\"true\" ", true, Set, {"A"}},
        {"cut in a module's content", "<addons>" + moduleA + "<m name=\"B\" version=\"1\" result=\"true\"><x/>", true, Set,
         {"A"}},
        {"cut in an end tag", "<addons>" + moduleA + "<m name=\"B\" version=\"1\" result=\"true\"></m", true, Set, {"A"}},
        {"cut in a comment between modules", "<addons>" + moduleA + "<!-- more to co", true, Set, {"A"}},
    };
    start(QStringLiteral("-updater -type \"Update List\""));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        theApp->bReplyParsed = c.parsed != Set;
        parse(c.reply);
        EXPECT_EQ(manager->GetQueryResultInfo().bSuccess, c.success);
        EXPECT_EQ(theApp->bReplyParsed, c.parsed != Cleared);
        EXPECT_EQ(availableNames(), c.offered);
        EXPECT_EQ(manager->GetQueryResultInfo().bHasUpdate, !c.offered.isEmpty());
        for (int i = 0; i < manager->CountAvailableModule(); ++i)
            EXPECT_FALSE(QString::fromStdString(manager->GetAvailabletModule(i)->url).endsWith("."));
    }

    theApp->bReplyParsed = false;
    manager->OnPaserModuleInfo(env.root() + QStringLiteral("/missing.xml"));
    EXPECT_FALSE(theApp->bReplyParsed);
    EXPECT_TRUE(manager->GetQueryResultInfo().bSuccess);
}

TEST_F(ReplyParsing, RejectedAutomaticUpdatesInBothLayouts)
{
    for (bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "Classic" : "continuous");
        if (classic)
            useClassicLayout();
        start(QStringLiteral("-updater -type \"Auto Updater\" -version 11.2"));
        const QByteArray reply = "<addons><m name=\"Stamp\" version=\"2.0\" result=\"true\" autoCheck=\"TRUE\"/>"
                                 "<m name=\"Spell\" version=\"3.0\" result=\"true\" autoCheck=\"TRUE\"/></addons>";
        parse(reply);
        ASSERT_EQ(availableNames(), QStringList({"Stamp", "Spell"}));
        manager->WriteRejectAutoUpdateInfo({manager->GetAvailabletModule(0)});
        EXPECT_EQ(CRegister::regGetString("AutoUpdate_Stamp", QString()), QStringLiteral("2.0"));
        EXPECT_EQ(CRegister::regGetString("currentVersion", QString()), QStringLiteral("11.2"));
        EXPECT_EQ(CheckIsContinue(), !classic);

        parse(reply);
        EXPECT_EQ(availableNames(), QStringList({"Spell"}));
        EXPECT_FALSE(manager->ParseRejectAutoUpdateInfo("Stamp", ""));
        EXPECT_FALSE(manager->ParseRejectAutoUpdateInfo("Stamp", "2.1"));   // another version is offered again

        start(QStringLiteral("-updater -type \"Auto Updater\" -version 11.3"));  // the reader changed
        parse(reply);
        EXPECT_EQ(availableNames(), QStringList({"Stamp", "Spell"}));
    }
}

TEST_F(ReplyParsing, LocalListReadsEntriesAndPaths)
{
    writeUpdaterInfo("<root><x name=\"a updater_info\" version=\"1.0\"><f path=\"/p1\"/><f other=\"q\"/><f path=\"/p2\"/>"
                     "</x>text<y version=\"2\" name=\"b\"/></root>");
    start(QStringLiteral("-updater -type \"Update List\" -readerpath \"%1\"").arg(readerPath()));
    QVector<_UpdaterInfo*> local;
    manager->ParseUpdaterInfo(local);
    ASSERT_EQ(local.size(), 2);
    EXPECT_EQ(local[0]->name, "a updater_info");
    EXPECT_EQ(local[0]->paths, QStringList({"/p1", "/p2"}));
    EXPECT_EQ(local[1]->name, "b");
    EXPECT_EQ(manager->GetLastLocalVersion(), QStringLiteral("2"));
    manager->ReleaseUpdaterInfoList(local);
    EXPECT_TRUE(local.isEmpty());

    writeUpdaterInfo("<root><x name=\"a\" version=\"1\"/></root>");   // no "updater_info" anywhere
    manager->ParseUpdaterInfo(local);
    EXPECT_TRUE(local.isEmpty());
}

TEST_F(ReplyParsing, LargeReplyAgainstALargeLocalList)
{
    QByteArray info = "<modules>";
    for (int i = 0; i < 200; ++i)
        info += QStringLiteral("<updater_info name=\"M%1\" version=\"1.%1\"/>").arg(i).toUtf8();
    info += "</modules>";
    writeUpdaterInfo(info);
    QByteArray reply = "<addons>";
    for (int i = 0; i < 2000; ++i)
        reply += QStringLiteral("<m name=\"M%1\" version=\"1.%2\" result=\"true\" url=\"https://cdn.example/%1.kzip\"/>")
                     .arg(i).arg(i % 2 ? i : i + 1).toUtf8();
    reply += "</addons>";
    start(QStringLiteral("-updater -type \"Update List\" -readerpath \"%1\"").arg(readerPath()));
    parse(reply);
    // Of the 200 installed modules, those with an even number are offered a newer version.
    EXPECT_EQ(manager->CountAvailableModule(), 1900);
}
