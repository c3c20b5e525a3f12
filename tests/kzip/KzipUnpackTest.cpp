// Unpacking whole packages: round trips through the writer, damaged and
// hostile packages, and overwriting what an earlier unpack left.
#include "CKW_Kzip.h"
#include "KzipTestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <functional>
#include <map>

namespace {

using Files = std::map<std::string, std::string>;   // relative path → contents

// Every file under `folder`, for comparing against what a package held.
Files tree(const QString& folder)
{
    Files out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out[QDir(folder).relativeFilePath(path).toStdString()] = readBytes(path);
    }
    return out;
}

int unzip2(const KzipSandbox& box, const std::string& bytes)
{
    EXPECT_TRUE(writeBytes(box.package(), bytes));
    QString package = box.package(), output = box.output();
    return CKW_Kzip().Unzip2(package, output);
}

const std::string kLongName(255, 'n');

kzip::Writer sampleWriter(kzip::LzmaOptions options)
{
    kzip::Writer w(options);
    w.addFolder("docs\\");
    w.addFile("docs\\readme.txt", "Read me first.\n");
    w.addFolder("docs\\sub\\");
    w.addFile("docs\\sub\\data.bin", randomBytes(300000, 7));
    w.addFile("docs/forward.txt", std::string(5000, 'f'));
    w.addFile("undeclared\\inner.txt", "the folder comes with the file");
    w.addFile(kLongName, "long");
    w.addFile(std::string("cut\0ignored", 11), "zero ends the name");
    w.addFile("empty.txt", "");
    w.addFolder("emptydir/");
    return w;
}

Files sampleTree()
{
    return {
        {"docs/readme.txt", "Read me first.\n"},
        {"docs/sub/data.bin", randomBytes(300000, 7)},
        {"docs/forward.txt", std::string(5000, 'f')},
        {"undeclared/inner.txt", "the folder comes with the file"},
        {kLongName, "long"},
        {"cut", "zero ends the name"},
        {"empty.txt", ""},
    };
}

struct RoundTrip
{
    const char* label;
    kzip::LzmaOptions options;
};

class KzipRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(KzipRoundTrip, UnpacksEveryEntryAndRemovesTheTemporaryFiles)
{
    KzipSandbox box;
    ASSERT_EQ(unzip2(box, sampleWriter(GetParam().options).package()), 1);
    EXPECT_EQ(tree(box.output()), sampleTree());
    EXPECT_TRUE(QFileInfo(box.output() + "/emptydir").isDir());
    EXPECT_TRUE(QDir(box.uncompress()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Streams, KzipRoundTrip, ::testing::Values(
    RoundTrip{"KnownSize", {6, 0, true}},
    RoundTrip{"UnknownSizeWithEndMarker", {6, 0, false}},
    RoundTrip{"SmallDictionary", {1, 4096, true}}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.label); });

TEST(KzipUnpack, EmptyPackageSucceedsWithoutWritingAnything)
{
    KzipSandbox box;
    EXPECT_EQ(unzip2(box, kzip::Writer().package()), 1);
    EXPECT_EQ(box.files(), QStringList{"pkg.kzip"});
}

TEST(KzipUnpack, OlderFormKeepsBackslashesInNames)
{
    KzipSandbox box;
    kzip::Writer w;
    w.addFile("plain.txt", "one");
    w.addFile("a\\b.txt", "two");
    ASSERT_TRUE(writeBytes(box.package(), w.package(kzip::Header::Legacy)));
    QString package = box.package(), output = box.output();
    ASSERT_EQ(CKW_Kzip().Unzip(package, output), 1);
    EXPECT_EQ(tree(box.output()), (Files{{"plain.txt", "one"}, {"a\\b.txt", "two"}}));

    // The current reader does not take the older header.
    EXPECT_LT(CKW_Kzip().Unzip2(package, output), 1);
}

TEST(KzipUnpack, LongerFileFromAnEarlierUnpackIsCutToTheEntry)
{
    KzipSandbox box;
    QDir().mkpath(box.output() + "/docs");
    ASSERT_TRUE(writeBytes(box.output() + "/docs/readme.txt", std::string(100000, 'x')));
    ASSERT_EQ(unzip2(box, sampleWriter({}).package()), 1);
    EXPECT_EQ(readBytes(box.output() + "/docs/readme.txt"), "Read me first.\n");
}

TEST(KzipUnpack, TargetThatCannotBeOpenedGivesZeroAndKeepsTheTemporaryFiles)
{
    KzipSandbox box;
    QDir().mkpath(box.output() + "/blocked");   // a folder where the file should go
    // Left over from an earlier, bigger package.
    ASSERT_TRUE(writeBytes(box.uncompress() + "fileover_tmp", std::string(100000, 'x')));
    const std::string lzmaPart = kzip::encodeLzmaAlone("data");
    const std::string directory = kzip::directory({{"blocked", 4}});
    EXPECT_EQ(unzip2(box, kzip::assemble(lzmaPart, directory)), 0);
    EXPECT_EQ(readBytes(box.uncompress() + "infile_tmp"), lzmaPart);
    EXPECT_EQ(readBytes(box.uncompress() + "outfile_tmp"), "data");
    EXPECT_EQ(readBytes(box.uncompress() + "fileover_tmp"), directory);
}

TEST(KzipUnpack, MissingTemporaryFolderGivesMinusFour)
{
    KzipSandbox box;
    QDir(box.uncompress()).removeRecursively();
    EXPECT_EQ(unzip2(box, sampleWriter({}).package()), -4);
    EXPECT_FALSE(QFileInfo::exists(box.output()));
}

TEST(KzipUnpack, MissingPackageGivesMinusThree)
{
    KzipSandbox box;
    QString package = box.package(), output = box.output();
    EXPECT_EQ(CKW_Kzip().Unzip2(package, output), -3);
}

TEST(KzipUnpack, OversizedDictionaryClaimIsNotNeededForASmallStream)
{
    KzipSandbox box;
    const std::string data = "small contents";
    for (bool known : {true, false}) {
        std::string lzma = kzip::encodeLzmaAlone(data, {6, 0, known});
        for (int i = 1; i <= 4; ++i)
            lzma[size_t(i)] = char(0xFF);   // a 4 GiB dictionary
        EXPECT_EQ(unzip2(box, kzip::assemble(lzma, kzip::directory({{"f.txt", uint32_t(data.size())}}))), 1)
            << "known size " << known;
        EXPECT_EQ(readBytes(box.output() + "/f.txt"), data);
    }
}

// ---- damaged and hostile packages -------------------------------------------

const std::string kData = std::string(4000, 'a') + randomBytes(2000, 3);

std::string lzma(bool known = true)
{
    return kzip::encodeLzmaAlone(kData, {6, 0, known});
}

std::string dir(std::vector<kzip::DirEntry> entries)
{
    return kzip::directory(entries);
}

std::string good()
{
    return kzip::assemble(lzma(), dir({{"f.bin", uint32_t(kData.size())}}));
}

void setLe32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + size_t(i)] = char(v >> (8 * i));
}

struct Damaged
{
    const char* label;
    std::function<std::string()> make;
    int expected;
};

class KzipDamaged : public ::testing::TestWithParam<Damaged> {};

TEST_P(KzipDamaged, FailsWithItsCodeAndWritesNoEntry)
{
    KzipSandbox box;
    EXPECT_EQ(unzip2(box, GetParam().make()), GetParam().expected);
    // Only the package and the unpacker's own temporary files may exist; the
    // half-decoded data is never among them.
    for (const QString& f : box.files()) {
        const bool allowed = f == "pkg.kzip" || f.endsWith("updater/uncompress/infile_tmp")
                             || f.endsWith("updater/uncompress/fileover_tmp");
        EXPECT_TRUE(allowed) << f.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(box.output()));
}

INSTANTIATE_TEST_SUITE_P(Packages, KzipDamaged, ::testing::Values(
    Damaged{"BadMagic", [] { auto p = good(); p[0] ^= 1; return p; }, -1},
    Damaged{"FlippedByteAfterHeader", [] { auto p = good(); p[28 + 40] ^= 0x10; return p; }, -2},
    Damaged{"FlippedByteInDirectory", [] { auto p = good(); p[p.size() - 1] ^= 0x01; return p; }, -2},
    Damaged{"HeaderOnly", [] { return kzip::assemble("", ""); }, -4},
    Damaged{"ShorterThanHeader", [] { return good().substr(0, 20); }, -3},
    Damaged{"LengthPastBody", [] {
        auto p = good();
        setLe32(p, 16, uint32_t(p.size() - 28 + 1));
        kzip::refreshChecksum(p);
        return p; }, -4},
    Damaged{"LengthShorterThanLzmaHeader", [] {
        auto p = good();
        setLe32(p, 16, 12);
        kzip::refreshChecksum(p);
        return p; }, -4},
    Damaged{"TruncatedLzmaStream", [] {
        const auto l = lzma();
        return kzip::assemble(l.substr(0, l.size() - 20), dir({{"f.bin", uint32_t(kData.size())}})); }, -4},
    Damaged{"SizeFieldAboveStream", [] {
        auto l = lzma();
        setLe32(l, 5, uint32_t(kData.size() + 100));
        return kzip::assemble(l, dir({{"f.bin", uint32_t(kData.size())}})); }, -4},
    Damaged{"FourGigabyteClaims", [] {
        auto l = lzma();
        setLe32(l, 1, 0xFFFFFFFFu);
        setLe32(l, 5, 0xFFFFFFFEu);
        return kzip::assemble(l, dir({{"f.bin", uint32_t(kData.size())}})); }, -4},
    Damaged{"UnknownSizeShortOfDirectory", [] {
        return kzip::assemble(lzma(false), dir({{"f.bin", uint32_t(kData.size() + 1)}})); }, -4},
    Damaged{"UnknownSizeBeyondDirectory", [] {
        return kzip::assemble(lzma(false), dir({{"f.bin", uint32_t(kData.size() - 1)}})); }, -4},
    Damaged{"DirectoryPastDecodedSize", [] {
        return kzip::assemble(lzma(), dir({{"f.bin", uint32_t(kData.size())}, {"g.bin", 1}})); }, -4},
    Damaged{"TruncatedDirectory", [] {
        const auto d = dir({{"f.bin", 10}, {"g.bin", 10}});
        return kzip::assemble(lzma(), d.substr(0, d.size() - 2)); }, -4},
    Damaged{"NoDirectory", [] { return kzip::assemble(lzma(), ""); }, -4},
    Damaged{"DotDotSlash", [] {
        return kzip::assemble(lzma(), dir({{"../evil", uint32_t(kData.size())}})); }, 0},
    Damaged{"DotDotBackslashDeep", [] {
        return kzip::assemble(lzma(), dir({{"a\\..\\..\\evil", uint32_t(kData.size())}})); }, 0},
    Damaged{"LeadingSeparator", [] {
        return kzip::assemble(lzma(), dir({{"\\evil", uint32_t(kData.size())}})); }, 0},
    Damaged{"GoodEntryBeforeEvilOne", [] {
        return kzip::assemble(lzma(), dir({{"good.bin", 10}, {"x/../../../evil", 10}})); }, 0},
    Damaged{"FileNamedLikeFolder", [] {
        return kzip::assemble(lzma(), dir({{"folder\\", uint32_t(kData.size())}})); }, 0}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.label); });

} // namespace
