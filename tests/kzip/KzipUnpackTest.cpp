// Unpacking whole packages: round trips through the writer, damaged and
// hostile packages, and overwriting what an earlier unpack left.
#include "CKW_Kzip.h"
#include "KzipTestSupport.h"
#include "KzipUnpack.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <functional>
#include <map>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

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

TEST(KzipUnpack, TargetThatCannotBeOpenedGivesZeroAndRemovesTheTemporaryFiles)
{
    KzipSandbox box;
    QDir().mkpath(box.output() + "/blocked");   // a folder where the file should go
    // Left over from an earlier, bigger package.
    ASSERT_TRUE(writeBytes(box.uncompress() + "fileover_tmp", std::string(100000, 'x')));
    const std::string lzmaPart = kzip::encodeLzmaAlone("data");
    const std::string directory = kzip::directory({{"blocked", 4}});
    EXPECT_EQ(unzip2(box, kzip::assemble(lzmaPart, directory)), 0);
    EXPECT_TRUE(QDir(box.uncompress()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// A full disk, made with a file-size limit: the write that crosses it fails
// (EFBIG, with SIGXFSZ ignored) as on a disk without room. The failed unpack
// takes its temporary files with it, so the copy of the package does not keep
// the disk full.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_before;
        limited.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }
    bool isSet() const { return m_set; }

private:
    struct rlimit m_before {};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

struct FullDisk
{
    const char* label;
    rlim_t limit;
    int expected;
};

class KzipFullDisk : public ::testing::TestWithParam<FullDisk> {};

TEST_P(KzipFullDisk, FailsAndLeavesNothingInTheTemporaryFolder)
{
    KzipSandbox box;
    // 200 KB that do not compress, then 2 MB that do: the compressed part is
    // about 200 KB, the decoded data 2.2 MB.
    const std::string data = randomBytes(200000, 5) + std::string(2000000, 'z');
    const std::string bytes = kzip::assemble(kzip::encodeLzmaAlone(data), kzip::directory({{"f.bin", uint32_t(data.size())}}));
    ASSERT_TRUE(writeBytes(box.package(), bytes));
    QString package = box.package(), output = box.output();
    int result;
    {
        FileSizeLimit limit(GetParam().limit);
        ASSERT_TRUE(limit.isSet());
        result = CKW_Kzip().Unzip2(package, output);
    }
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(QDir(box.uncompress()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_FALSE(QFileInfo::exists(box.output() + "/f.bin"));
}

INSTANTIATE_TEST_SUITE_P(Limits, KzipFullDisk, ::testing::Values(
    FullDisk{"WhileCopyingThePackedPart", 64 * 1024, -4},
    FullDisk{"WhileDecoding", 1024 * 1024, -4}),
    [](const ::testing::TestParamInfo<FullDisk>& info) { return std::string(info.param.label); });

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

// A reader update packed with a 64 MiB dictionary: both the dictionary and
// the decoded size are far above what a small decoder limit would allow.
// (Packed with a 1 MiB window and the header raised to 64 MiB: a decoder
// with the larger dictionary gives the same output, and packing stays quick.)
TEST(KzipUnpack, SixtyFourMebibyteDictionaryUnpacks)
{
    KzipSandbox box;
    const std::string block = randomBytes(64 * 1024, 11);
    std::string data;
    data.reserve(72u << 20);
    while (data.size() < (72u << 20))
        data += block;
    std::string lzma = kzip::encodeLzmaAlone(data, {0, 1u << 20, true});
    for (int i = 0; i < 4; ++i)
        lzma[size_t(1 + i)] = char((64u << 20) >> (8 * i));
    ASSERT_EQ(unzip2(box, kzip::assemble(lzma, kzip::directory({{"big.bin", uint32_t(data.size())}}))), 1);
    EXPECT_TRUE(readBytes(box.output() + "/big.bin") == data);
}

TEST(KzipUnpack, DictionaryAboveTheCapIsRefusedWithItsSizeInTheLog)
{
    KzipSandbox box;
    std::string lzma = kzip::encodeLzmaAlone("contents", {6, 0, true});
    for (int i = 0; i < 4; ++i) {
        lzma[size_t(1 + i)] = char((300u << 20) >> (8 * i));   // 300 MiB dictionary
        lzma[size_t(5 + i)] = char((400u << 20) >> (8 * i));   // for 400 MiB of output
    }
    ASSERT_TRUE(writeBytes(box.package(), kzip::assemble(lzma, kzip::directory({{"f.txt", 8}}))));
    QStringList log;
    EXPECT_EQ(KzipUnpack::unpack(box.package(), box.output(), box.uncompress(), KzipUnpack::Form::Current,
                                 [&log](const QString& line) { log << line; }),
              -4);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.at(0).contains(QString::number(300u << 20))) << log.at(0).toStdString();
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
    // What a local user placed before the unpack (after the package was written).
    std::function<void(const KzipSandbox&)> arrange = nullptr;
};

class KzipDamaged : public ::testing::TestWithParam<Damaged> {};

TEST_P(KzipDamaged, FailsWithItsCodeAndWritesNoEntry)
{
    KzipSandbox box;
    ASSERT_TRUE(writeBytes(box.package(), GetParam().make()));
    if (GetParam().arrange)
        GetParam().arrange(box);
    const QStringList before = box.files();
    const bool outputBefore = QFileInfo::exists(box.output());
    QString package = box.package(), output = box.output();
    EXPECT_EQ(CKW_Kzip().Unzip2(package, output), GetParam().expected);
    // Only what stood there before may exist: the unpacker's temporary files
    // go with the failure, the half-decoded data among them.
    for (const QString& f : box.files())
        EXPECT_TRUE(before.contains(f)) << f.toStdString();
    EXPECT_EQ(QFileInfo::exists(box.output()), outputBefore);
}

// The output folder with "sub" in it: a link to a folder elsewhere in the sandbox.
void linkedSubfolder(const KzipSandbox& box)
{
    QDir().mkpath(box.output());
    QDir().mkpath(box.env.root() + "/elsewhere");
    ASSERT_TRUE(QFile::link(box.env.root() + "/elsewhere", box.output() + "/sub"));
}

void fifoAt(const QString& path)
{
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
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
        return kzip::assemble(lzma(), dir({{"folder\\", uint32_t(kData.size())}})); }, 0},
    Damaged{"FileThenFolderOfTheSameName", [] {
        return kzip::assemble(lzma(), dir({{"a", 10}, {"a/b", 10}})); }, 0},
    Damaged{"FolderEntryThenFileOfTheSameName", [] {
        return kzip::assemble(lzma(), dir({{"a\\", 0}, {"a", 10}})); }, 0},
    Damaged{"NestedUseBeforeTheFile", [] {
        return kzip::assemble(lzma(), dir({{"a\\b\\c", 10}, {"a\\b", 10}})); }, 0},
    Damaged{"LinkedSubfolder", [] {
        return kzip::assemble(lzma(), dir({{"sub/y.txt", uint32_t(kData.size())}})); }, 0, linkedSubfolder},
    Damaged{"LinkedSubfolderDeeper", [] {
        return kzip::assemble(lzma(), dir({{"sub\\", 0}, {"sub\\inner\\", 0}, {"sub\\inner\\y.txt", 10}})); },
        0, linkedSubfolder},
    Damaged{"PackageIsAFifo", [] { return good(); }, -3, [](const KzipSandbox& box) { fifoAt(box.package()); }},
    Damaged{"DictionaryAboveTheCap", [] {
        auto l = lzma();
        setLe32(l, 1, 512u << 20);   // capped to the decoded size, which claims 300 MiB
        setLe32(l, 5, 300u << 20);
        return kzip::assemble(l, dir({{"f.bin", uint32_t(kData.size())}})); }, -4}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.label); });

// ---- what a local user planted before the unpack --------------------------

// Everything the unpacker writes is made anew and its output folder is its
// own: what was planted at a name is removed as a name, the package unpacks
// whole, and the files and folders the plants led to keep their contents.
struct Planted
{
    const char* label;
    std::function<void(const KzipSandbox&, const QString& victim, const QString& elsewhere)> plant;
};

class KzipPlanted : public ::testing::TestWithParam<Planted> {};

TEST_P(KzipPlanted, IsReplacedAndWhatItLedToIsKept)
{
    KzipSandbox box;
    const QString victim = box.env.root() + "/victim";
    const QString elsewhere = box.env.root() + "/elsewhere";
    ASSERT_TRUE(writeBytes(victim, "keep me"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(writeBytes(elsewhere + "/keep.txt", "kept"));
    GetParam().plant(box, victim, elsewhere);

    EXPECT_EQ(unzip2(box, good()), 1);
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(box.output()).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(box.output() + "/f.bin").constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(readBytes(box.output() + "/f.bin"), kData);
    EXPECT_EQ(readBytes(victim), "keep me");
    EXPECT_EQ(tree(elsewhere), (Files{{"keep.txt", "kept"}}));
}

void plantLink(const QString& target, const QString& at)
{
    QDir().mkpath(QFileInfo(at).absolutePath());
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
}

void plantHardLink(const QString& target, const QString& at)
{
    QDir().mkpath(QFileInfo(at).absolutePath());
    ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, KzipPlanted, ::testing::Values(
    Planted{"EntryIsALink", [](const KzipSandbox& box, const QString& victim, const QString&) {
        plantLink(victim, box.output() + "/f.bin"); }},
    Planted{"EntryIsAHardLink", [](const KzipSandbox& box, const QString& victim, const QString&) {
        plantHardLink(victim, box.output() + "/f.bin"); }},
    Planted{"EntryIsAFifo", [](const KzipSandbox& box, const QString&, const QString&) {
        QDir().mkpath(box.output());
        fifoAt(box.output() + "/f.bin"); }},
    Planted{"CompressedPartIsAHardLink", [](const KzipSandbox& box, const QString& victim, const QString&) {
        plantHardLink(victim, box.uncompress() + "infile_tmp"); }},
    Planted{"DecodedDataIsAHardLink", [](const KzipSandbox& box, const QString& victim, const QString&) {
        plantHardLink(victim, box.uncompress() + "outfile_tmp"); }},
    Planted{"DirectoryIsALink", [](const KzipSandbox& box, const QString& victim, const QString&) {
        plantLink(victim, box.uncompress() + "fileover_tmp"); }},
    Planted{"OutputFolderIsALink", [](const KzipSandbox& box, const QString&, const QString& elsewhere) {
        plantLink(elsewhere, box.output()); }},
    Planted{"OutputFolderIsADanglingLink", [](const KzipSandbox& box, const QString&, const QString& elsewhere) {
        plantLink(elsewhere + "/not-yet", box.output()); }}),
    [](const ::testing::TestParamInfo<Planted>& info) { return std::string(info.param.label); });

} // namespace
