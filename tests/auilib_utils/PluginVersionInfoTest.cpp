// Plug-in version files: which attributes are read, when the record is
// replaced, and the files that leave it untouched.
#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

const AUILib::PluginVersionInfo kUntouched{L"old-version", L"old-language", L"old-des", L"old-leg"};

struct VersionFileCase
{
    const char* name;
    std::string content;
    bool found;
    AUILib::PluginVersionInfo info;   // expected record (kUntouched when not found)
};

void ExpectRecord(const AUILib::PluginVersionInfo& actual, const AUILib::PluginVersionInfo& expected, const char* name)
{
    EXPECT_EQ(actual.version, expected.version) << name;
    EXPECT_EQ(actual.language, expected.language) << name;
    EXPECT_EQ(actual.verDes, expected.verDes) << name;
    EXPECT_EQ(actual.verLeg, expected.verLeg) << name;
}

TEST(PluginVersionInfo, FilesAndTheRecordTheyGive)
{
    const VersionFileCase kCases[] = {
        {"whole",
         "<Reader language=\"en\" version=\"12.1.0\">\n"
         " <Version>\n  <VerDes name=\"d\" value=\"Release\"/>\n  <VerLeg name=\"l\" value=\"(c) 2026\"/>\n </Version>\n"
         "</Reader>\n",
         true, {L"12.1.0", L"en", L"Release", L"(c) 2026"}},
        {"language only", "<Reader language=\"de\"/>", true, {L"", L"de", L"", L""}},
        {"empty value counts", "<Reader version=\"\"/>", true, {L"", L"", L"", L""}},
        {"untrimmed, non-ASCII",
         "<Reader version=\" 1.0 \" language=\"fran\xC3\xA7" "ais\"><Version><VerLeg value=\"x\" name=\"n\" "
         "value=\"\xE6\x97\xA5\"/></Version></Reader>",
         true, {L" 1.0 ", L"fran\u00E7ais", L"", L"\u65E5"}},
        {"characters whose low byte is markup, numeric reference",
         "<Reader language=\"\xC4\xA2\xC4\xBC\" version=\"&#233;&#x41;\"/>", true,
         {L"\u00E9A", L"\u0122\u013C", L"", L""}},
        {"value before name only", "<Reader><Version><VerDes value=\"v\" name=\"n\"/></Version></Reader>", false,
         kUntouched},
        {"VerLeg without VerDes",
         "<Reader><Version><VerDes value=\"v\" name=\"n\"/><VerLeg name=\"n\" other=\"o\" value=\"leg\"/></Version></Reader>",
         true, {L"", L"", L"", L"leg"}},
        {"first Reader wins", "<Reader/><Reader language=\"it\"/>", false, kUntouched},
        {"Reader not at the top", "<Other><Reader language=\"fr\"/></Other>", false, kUntouched},
        {"case matters", "<reader language=\"es\"/>", false, kUntouched},
        {"byte-order mark", "\xEF\xBB\xBF<Reader language=\"nl\"/>", true, {L"", L"nl", L"", L""}},
        {"malformed", "<Reader language=\"en\"><Version>", false, kUntouched},
        {"not XML", "version 1.0", false, kUntouched},
        {"empty", "", false, kUntouched},
        {"invalid UTF-8", "<Reader language=\"\xC0\xAF\"/>", false, kUntouched},
    };
    QTemporaryDir dir;
    for (const VersionFileCase& c : kCases) {
        const QString path = dir.filePath(QStringLiteral("version.xml"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content.data(), static_cast<qint64>(c.content.size()));
        file.close();

        AUILib::PluginVersionInfo info = kUntouched;
        EXPECT_EQ(AUILibUtils::GetPluginVersionInfo(path.toStdWString(), info), c.found) << c.name;
        ExpectRecord(info, c.found ? c.info : kUntouched, c.name);
    }
}

TEST(PluginVersionInfo, UnreadablePathsLeaveTheRecord)
{
    QTemporaryDir dir;
    AUILib::PluginVersionInfo info = kUntouched;
    EXPECT_FALSE(AUILibUtils::GetPluginVersionInfo(dir.filePath(QStringLiteral("missing.xml")).toStdWString(), info));
    EXPECT_FALSE(AUILibUtils::GetPluginVersionInfo(dir.path().toStdWString(), info));
    std::wstring surrogate = dir.filePath(QStringLiteral("x.xml")).toStdWString();
    surrogate.push_back(static_cast<wchar_t>(0xDC00));
    EXPECT_FALSE(AUILibUtils::GetPluginVersionInfo(surrogate, info));
    ExpectRecord(info, kUntouched, "unreadable");
}

} // namespace
