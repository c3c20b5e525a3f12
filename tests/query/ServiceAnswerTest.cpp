// What the query makes of bodies that reach it through the loopback service:
// only the service's own document is an answer. Pages of captive portals and
// proxies, other XML and replies cut before their first module ended are
// failed queries (never "nothing new"); a cut drops only the module it falls
// in; an empty body still means "nothing new".
#include "QueryFixture.h"

#include "HttpTestServer.h"
#include "ModalAnswerer.h"

#include <QSignalSpy>
#include <vector>

namespace {

const char* const kServicePath = "/addons/get_addons.php";

const QByteArray kModuleA = "<addon name=\"A\" title=\"Stamps\" version=\"2.0\" result=\"true\" module_type=\"basic\""
                            " url=\"http://x/pk/A.kzip\"/>";
const QByteArray kModuleB = "<addon name=\"B\" title=\"Spell\" version=\"3.0\" result=\"true\" module_type=\"basic\""
                            " url=\"http://x/pk/B.kzip\"/>";

} // namespace

class ServiceAnswer : public QueryRun
{
protected:
    HttpTestServer server;
};

TEST_F(ServiceAnswer, OnlyTheServiceDocumentIsAnAnswer)
{
    ASSERT_TRUE(server.isListening());
    env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());

    struct Case
    {
        const char* name;
        QByteArray body;
        bool success;          // false: the check's failed-query road
        QStringList offered;
    };
    const std::vector<Case> cases = {
        // Pages and documents of others.
        {"HTML without an html element", "<!DOCTYPE html><head><title>Login</title></head><body>" + kModuleA + "</body>",
         false, {}},
        {"bare 502 body", "<body><h1>502 Bad Gateway</h1></body>", false, {}},
        {"captive portal XML", "<?xml version=\"1.0\"?><WISPAccessGatewayParam><Redirect><LoginURL>http://portal/"
                               "</LoginURL></Redirect></WISPAccessGatewayParam>", false, {}},
        {"error document", "<?xml version=\"1.0\"?><Error><Code>AccessDenied</Code>" + kModuleA + "</Error>", false, {}},
        {"feed", "<rss version=\"2.0\"><channel><item><title>News</title></item></channel></rss>", false, {}},
        {"the name under a prefix", "<s:addons xmlns:s=\"urn:x\">" + kModuleA + "</s:addons>", false, {}},
        {"the name in another case", "<Addons>" + kModuleA + "</Addons>", false, {}},
        // Cut replies.
        {"cut inside its only module", "<addons>" + kModuleA.left(40), false, {}},
        {"cut inside the root's start tag", "<addons rollback=\"fal", false, {}},
        {"cut after the root's start tag", "<addons>\n  ", false, {}},
        {"lone '<' after a complete module", "<addons>" + kModuleA + "<", true, {"A"}},
        {"cut in a name after a complete module", "<addons>" + kModuleA + "<add", true, {"A"}},
        {"cut inside the second module", "<addons>" + kModuleA + kModuleB.left(50), true, {"A"}},
        {"root left open after two modules", "<addons>" + kModuleA + kModuleB, true, {"A", "B"}},
        // The service's own answers.
        {"whole document", "<?xml version=\"1.0\"?>\n<addons>" + kModuleA + kModuleB + "</addons>", true, {"A", "B"}},
        {"nothing offered", "<addons rollback=\"false\"/>", true, {}},
        {"empty body", "", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.setRoute(kServicePath, c.body);
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        ModalAnswerer answerer;   // a connection warning would fail the row below
        QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
        QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
        ASSERT_EQ(manager->QueryModuleInfo(nullptr, false), 0);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(failed.count(), 0);
        EXPECT_TRUE(answerer.seen().isEmpty());
        const QueryResultInfo result = manager->GetQueryResultInfo();
        EXPECT_EQ(result.bSuccess, c.success);
        EXPECT_EQ(availableNames(), c.offered);
        EXPECT_EQ(result.bHasUpdate, !c.offered.isEmpty());
        for (int i = 0; i < manager->CountAvailableModule(); ++i)
            EXPECT_TRUE(QString::fromStdString(manager->GetAvailabletModule(i)->url).endsWith(".kzip"));
    }
}
