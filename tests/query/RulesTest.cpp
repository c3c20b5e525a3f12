// Version comparison, availability rules, query strings and URL encoding.
#include "CKW_Update_URLEncode.h"
#include "HMac.h"
#include "ModuleRules.h"
#include "UpdateQuery.h"
#include "IsolatedEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ModuleRules;

TEST(CompareVersion, Table)
{
    struct Case { const char* a; const char* b; int expected; };
    const Case cases[] = {
        {"11.2", "11.2.0.0", 1},          // "11.2" repeats its last field: 11.2.2.2
        {"11.2.3.4", "11.2.3.4", 0},
        {"10.9", "11", -1},
        {"a.b", "0", 0},                  // unreadable pieces count 0
        {"11.2a.3", "11.0.3.3", 0},       // 11, 0, 3, 3
        {"1 1.2", "0.2", 0},              // a blank inside a piece makes it 0
        {"11.2.3.457", "11.2.3.456", 1},
        {"11.2.3.4.5", "11.2.3.0", 0},    // the fourth piece "4.5" is not a number
        {"", "0.0.0.0", 0},
        {"2", "10", -1},                  // numbers, not text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersion(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.expected)
            << c.a << " vs " << c.b;
        EXPECT_EQ(CompareVersion(QString::fromLatin1(c.b), QString::fromLatin1(c.a)), -c.expected)
            << c.b << " vs " << c.a;
    }
}

namespace {

MODULEINFO module(const char* name, const char* version, const char* type = "")
{
    MODULEINFO m;
    m.name = name;
    m.version = version;
    m.module_type = type;
    return m;
}

} // namespace

TEST(Availability, AgainstLocalList)
{
    _UpdaterInfo ocr{"OCR_fr", " 11. 2", {}};
    _UpdaterInfo spell{"Spell", "3.0", {}};
    const QVector<_UpdaterInfo*> local{&ocr, &spell};
    const QVector<_UpdaterInfo*> none;

    struct Case {
        MODULEINFO m; bool common; const QVector<_UpdaterInfo*>* list;
        bool available; bool autoAvailable; bool forced;
    };
    const Case cases[] = {
        // not installed: offered in list mode, not needed for automatic updates
        {module("Stamp", "1.0"), false, &local, false, true, true},
        {module("Stamp", "1.0"), false, &none, false, true, true},
        {module("Stamp", "1.0"), true, &none, true, true, true},       // common modules never offered
        // installed and as new (blanks removed before comparing)
        {module("OCR_fr", "11.2"), false, &local, true, true, false},
        {module("OCR_fr", "11.1.9"), false, &local, true, true, false},
        // installed and older than the offer
        {module("OCR_fr", "11.3"), false, &local, false, false, true},
        {module("Spell", "3.0.0.1"), false, &local, false, false, true},
        // names match exactly
        {module("ocr_fr", "11.3"), false, &local, false, true, true},
    };
    for (const Case& c : cases) {
        MODULEINFO m = c.m;
        m.iscommon = c.common;
        EXPECT_EQ(CheckModuleAvailable(&m, *c.list, "11.0"), c.available) << m.name << " " << m.version;
        EXPECT_EQ(CheckAutoupdateModuleAvailable(&m, *c.list), c.autoAvailable) << m.name << " " << m.version;
        EXPECT_EQ(CheckForcedUpgradeVersion(&m, *c.list), c.forced) << m.name << " " << m.version;
    }
}

TEST(Availability, UpdaterModuleAgainstReaderVersion)
{
    MODULEINFO updater = module("Updater", "11.2.0.1", "updater");
    const QVector<_UpdaterInfo*> none;
    EXPECT_FALSE(CheckModuleAvailable(&updater, none, "11.2.0.0"));   // newer than the reader: offered
    EXPECT_TRUE(CheckModuleAvailable(&updater, none, "11.2.0.1"));    // same as the reader
    updater.is_push = true;
    EXPECT_FALSE(CheckModuleAvailable(&updater, none, "11.2.0.1"));   // pushed: always offered
    MODULEINFO other = module("Stamp", "99");
    EXPECT_TRUE(CheckUpdaterAvailable(&other, "1"));
}

TEST(Availability, ForcedUpgradeNeedsEveryInstalledPath)
{
    QTemporaryDir dir;
    const QString present = dir.path() + "/present.plugin";
    QFile(present).open(QIODevice::WriteOnly);
    _UpdaterInfo entry{"Stamp", "2.0", {present}};
    const QVector<_UpdaterInfo*> local{&entry};

    MODULEINFO same = module("Stamp", "2.0");
    EXPECT_FALSE(CheckForcedUpgradeVersion(&same, local));
    entry.paths << dir.path() + "/missing.plugin";
    EXPECT_TRUE(CheckForcedUpgradeVersion(&same, local));             // a missing file forces it

    MODULEINFO updater = module("Updater", "1.0", "updater");
    updater.forcedUpgrade = true;
    EXPECT_TRUE(CheckForcedUpgradeVersion(&updater, local));
}

TEST(Availability, RejectedForcedUpgradeAndMajorVersion)
{
    MODULEINFO m = module("Stamp", "2.1");
    _HasRejectForceUpdaterInfo rejected{"Stamp", "2.1", ""};
    QVector<_HasRejectForceUpdaterInfo*> list;
    EXPECT_FALSE(CheckHasRejectForcedUpgrade(&m, list));
    list << &rejected;
    EXPECT_TRUE(CheckHasRejectForcedUpgrade(&m, list));
    m.version = "2.2";
    EXPECT_FALSE(CheckHasRejectForcedUpgrade(&m, list));

    EXPECT_TRUE(CheckMajorVersionUpgrade("12.0.0.1", "11.9.9.9"));
    EXPECT_FALSE(CheckMajorVersionUpgrade("11.9", "11.0"));
    EXPECT_TRUE(CheckMajorVersionUpgrade("12", "x.1"));                // a non-number counts 0
    EXPECT_FALSE(CheckMajorVersionUpgrade("", ""));
}

TEST(UrlEncode, Table)
{
    CKW_Update_URLEncode encoder(nullptr);
    struct Case { QString in; QString out; };
    const Case cases[] = {
        {"OCR_fr_fr,Spell Check", "OCR%5ffr%5ffr%2cSpell%20Check"},
        {"Update List", "Update%20List"},
        {"az09AZ", "az09AZ"},
        {QString::fromUtf8("é"), "%e9"},                                 // Latin-1 keeps its own code
        {QString::fromUtf8("中"), "%e4%b8%ad"},                          // above Latin-1: UTF-8 bytes
        {QString::fromUtf8("a😀b"), "a%f0%9f%98%80b"},                   // a surrogate pair is one character
        {"~-.", "%7e%2d%2e"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encoder.URLEncode(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(encoder.URLEncodeAll("a1"), "%61%31");
    EXPECT_FALSE(encoder.IsUnsafe(QChar('z')));
    EXPECT_TRUE(encoder.IsUnsafe(QChar(0x4e2d)));
}

TEST(HttpQuery, ServiceRoadTable)
{
    using UpdateQuery::Params;
    struct Case { Params p; QString expected; };
    const Case cases[] = {
        {{"Update List", "Enterprise", "11.2.3.456", "en-US", "", "", "zh-CN"},
         "addon=Update%20List&product=Enterprise Brightleaf4Mac&version=11.2&build=3.456"
         "&platform=x64&EmbededLanguage=en-US&PackageType=zh-CN"},
        {{"Update List", "eNTERPRISE", "11", "", "", "", ""},
         "addon=Update%20List&product=Enterprise Brightleaf4Mac&version=11&build=11&platform=x64&PackageType="},
        {{"Auto Updater", "Enterprise2", "11.2", "", "", "", ""},
         "addon=Auto%20Updater&product=Brightleaf4Mac&version=11.2&build=11.2&platform=x64&PackageType="},
        {{"OCR_fr", "", "11.2.3", "fr-FR", "Business", "A-7", "ja-JP"},
         "addon=OCR%5ffr&product=Brightleaf4Mac&version=11.2&build=3&platform=x64&EmbededLanguage=fr-FR"
         "&edition=Business&AgentID=A-7&PackageType=ja-JP"},
        {{"", "", "", "", "", "", ""}, "addon=&product=Brightleaf4Mac&platform=x64&PackageType="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpdateQuery::BuildQuery(c.p), c.expected);
}

TEST(HttpQuery, ServiceBaseFollowsPackageTypeAndEnvironment)
{
    IsolatedEnv env;
    EXPECT_EQ(UpdateQuery::ServiceBase("zh-CN"), "https://addons.velto-cn.example/check?");
    EXPECT_EQ(UpdateQuery::ServiceBase("ja-JP"), "https://addons.velto.example/addons/get_addons.php?");
    EXPECT_EQ(UpdateQuery::ServiceBase(""), "https://addons.velto.example/addons/get_addons.php?");
    env.set("UPDATER_SERVICE_BASE", "http://127.0.0.1:8080/");
    EXPECT_EQ(UpdateQuery::ServiceBase("zh-CN"), "http://127.0.0.1:8080/check?");
    EXPECT_EQ(UpdateQuery::ServiceBase("en-US"), "http://127.0.0.1:8080/addons/get_addons.php?");
}

TEST(HttpQuery, InternalRoadSuffixTable)
{
    using UpdateQuery::InternalParams;
    struct Case { InternalParams p; QString expected; };
    const Case cases[] = {
        {{8, "aa-bb|host", "a+b&c@x.example", "Auto Updater"},
         "&domain_area=cn&Mac=aa-bb|host&email=a%2Bb%26c%40x.example&updateType=0"},
        {{-8, "host", "", "Update List"}, "&domain_area=us&Mac=host&email=&updateType=1"},
        {{0, "", "", "auto updater"}, "&domain_area=us&Mac=&email=&updateType=1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpdateQuery::InternalSuffix(c.p), c.expected);
}

TEST(HttpQuery, UtcOffsetHoursFollowTimeZone)
{
    IsolatedEnv env;
    const QByteArray saved = qgetenv("TZ");
    struct Case { const char* tz; int hours; };
    // POSIX zone strings: the sign is inverted against UTC offsets.
    for (const Case& c : {Case{"XST-8", 8}, Case{"XST-8:30", 8}, Case{"XST8", -8}, Case{"UTC0", 0}}) {
        qputenv("TZ", c.tz);
        tzset();
        EXPECT_EQ(UpdateQuery::CurrentUtcOffsetHours(), c.hours) << c.tz;
    }
    if (saved.isEmpty()) qunsetenv("TZ"); else qputenv("TZ", saved);
    tzset();
}

TEST(HMac, Rfc2202Vectors)
{
    struct Case { QByteArray key; QByteArray data; const char* digest; };
    const Case cases[] = {
        {QByteArray(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
        {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
        {QByteArray(16, '\xaa'), QByteArray(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
        {QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"), QByteArray(50, '\xcd'),
         "697eaf0aca3a3aea3a75164746ffaa79"},
        {QByteArray(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
        {QByteArray(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
        {QByteArray(80, '\xaa'), "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "6f630fad67cda0ee1fb1f562db3aa53e"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HmacMd5Hex(c.key, c.data), QLatin1String(c.digest));
}
