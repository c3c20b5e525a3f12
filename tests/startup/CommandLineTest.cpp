#include "CSetup_CommandLine.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

// Every readable field of a parsed command line, as text.
std::map<std::string, std::string> snapshot(const CSetup_CommandLine& c)
{
    std::string paths;
    for (const std::string& p : c.GetVecKzipPath())
        paths += "[" + p + "]";
    const auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
    return {
        {"updater", flag(c.IsUpdater())},
        {"install", flag(c.IsInsatll())},
        {"insForceUpdate", flag(c.IsInsForceUpdate())},
        {"run", flag(c.IsRun())},
        {"bInternalService", flag(c.IsInternalService())},
        {"rollback", flag(c.IsRollBack())},
        {"SessionID", c.GetSessionID()},
        {"readerpath", c.GetReaderPath()},
        {"type", c.GetUpdaterType()},
        {"regpath", c.GetRegPath()},
        {"version", c.GetReaderVersion()},
        {"readerlang", c.GetReaderLang()},
        {"specialName", c.GetSpecialName()},
        {"UpdateMode", c.GetAutoUpdateMode()},
        {"PackageType", c.GetPackageType()},
        {"hwnd", std::to_string(c.GetReaderFrameWnd())},
        {"userdata", std::to_string(c.GetUserData())},
        {"fatlfile", c.getfatlfile().toStdString()},
        {"eutlfile", c.geteutlfile().toStdString()},
        {"certfatlurl", c.getfatlcerturl().toStdString()},
        {"certeutlurl", c.geteutlcerturl().toStdString()},
        {"downtype", c.getdowntype().toStdString()},
        {"kzip", paths},
        {"InternalUpdateURL", c.GetInternalUpdateURL()},
        {"RollBackURL", c.GetRollBackURL()},
        {"UserEmail", c.GetUserEmail()},
        {"fourth", c.GetKzipFourthPart()},
        {"Edition", c.GetEdition()},
    };
}

struct Case
{
    const char* text;
    bool accepted;
    std::map<std::string, std::string> changed;   // fields that differ from a fresh command line
};

const Case kCases[] = {
    {"", true, {}},
    // A quoted path with blanks starting with "/" is one value word, not a keyword.
    {"-readerpath \"/Applications/Velto PDF Reader.app\" -version 12.1.0.1",
     true, {{"readerpath", "/Applications/Velto PDF Reader.app"}, {"version", "12.1.0.1"}}},
    // The earliest pending field in consumption order takes the value.
    {"-readerpath -version 12.1", true, {{"readerpath", "12.1"}}},
    {"-version -readerpath 12.1 /p", true, {{"readerpath", "12.1"}, {"version", "/p"}}},
    // "type" only counts after "updater"; before it, it is a plain word that ends parsing.
    {"-type \"Update List\" -updater", false, {}},
    {"-updater -type \"Auto Updater\" -run", true, {{"updater", "1"}, {"type", "Auto Updater"}, {"run", "1"}}},
    {"-updater\t-UpdateMode 7 -version 3", true, {{"updater", "1"}, {"version", "3"}}},
    {"-UpdateMode 2", true, {{"UpdateMode", "2"}}},
    // An empty quoted word fills nothing: "pro" goes to the still pending
    // UpdateMode (earlier in consumption order than Edition) and is dropped.
    {"-UpdateMode 0 -UpdateMode \"\" -Edition pro", true, {{"UpdateMode", "0"}}},
    // "install" never overrides an updater run.
    {"-updater -install", true, {{"updater", "1"}}},
    {"-install -updater", true, {{"updater", "1"}}},
    {"-install -KzipPath \"/a b.kzip||/c.kzip|\"", true, {{"install", "1"}, {"kzip", "[/a b.kzip][/c.kzip]"}}},
    {"-KzipPath \"/a.kzip;;me@mail.example;tail\"",
     true, {{"kzip", "[/a.kzip]"}, {"rollback", "1"}, {"UserEmail", "me@mail.example"}, {"fourth", "tail"}}},
    {"-KzipPath \"/a.kzip;http://roll.example\"", true, {{"kzip", "[/a.kzip]"}, {"rollback", "1"}}},
    {"-KzipPath \"/a.kzip;http://roll.example;\"",
     true, {{"kzip", "[/a.kzip]"}, {"rollback", "1"}, {"RollBackURL", "http://roll.example"}}},
    {"-KzipPath /a.kzip;", true, {{"kzip", "[/a.kzip]"}}},
    // A lone "-" or "/" is refused and ends parsing.
    {"-run - -updater", false, {{"run", "1"}}},
    {"-run / -updater", false, {{"run", "1"}}},
    // A plain word with nothing pending ends parsing.
    {"hello -run", false, {}},
    // Characters glued to the front of a quoted run are dropped.
    {"-readerpath abc\"/x y\" -run", true, {{"readerpath", "/x y"}, {"run", "1"}}},
    // An unterminated quote still yields its word.
    {"-readerpath \"/x y", true, {{"readerpath", "/x y"}}},
    // Unknown keywords are values; dropped values consume their word.
    {"-version -12 -hwnd 1234 -userhanderdata 99 -readerlang de", true, {{"version", "-12"}, {"readerlang", "de"}}},
    {"-bInternalService -InternalUpdateURL http://in.example -SessionID s1 -UserEmail u@x -RollBackURL r "
     "-regpath rp -specialName sn -PackageType zh-CN -insForceUpdate",
     true, {{"bInternalService", "1"}, {"InternalUpdateURL", "http://in.example"}, {"SessionID", "s1"},
            {"UserEmail", "u@x"}, {"RollBackURL", "r"}, {"regpath", "rp"}, {"specialName", "sn"},
            {"PackageType", "zh-CN"}, {"insForceUpdate", "1"}}},
    {" -certeutlurl http://e.example/l.xml -eutlfile /t/e.xml -fatlfile /t/f.xml "
     "-certfatlurl http://f.example/l.xml -downtype 2",
     true, {{"certeutlurl", "http://e.example/l.xml"}, {"eutlfile", "/t/e.xml"}, {"fatlfile", "/t/f.xml"},
            {"certfatlurl", "http://f.example/l.xml"}, {"downtype", "2"}}},
    // Keywords are case-sensitive.
    {"-Run", false, {}},
};

} // namespace

TEST(CommandLine, ParsesTheTrickyCases)
{
    const std::map<std::string, std::string> fresh = snapshot(CSetup_CommandLine());
    EXPECT_EQ(fresh.at("UpdateMode"), "1");
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        CSetup_CommandLine commandLine;
        EXPECT_EQ(commandLine.ProcessCmdLine(QString::fromUtf8(c.text)), c.accepted);
        std::map<std::string, std::string> expected = fresh;
        for (const auto& change : c.changed)
            expected[change.first] = change.second;
        EXPECT_EQ(snapshot(commandLine), expected);
    }
}

TEST(CommandLine, MainFrameRectIsEmpty)
{
    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(QStringLiteral("-hwnd 77"));
    EXPECT_TRUE(commandLine.GetMainFrameRect().isEmpty());
}
