// Memory-mapped file over real files: growth at creation, windows that move
// and grow the file, accesses across a window's end, and a growth the system
// refuses.
#include "CKW_MMapedFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::wstring Wide(const std::string& path)
{
    return std::wstring(path.begin(), path.end());
}

int64_t FileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

struct Mapped {
    CKW_MMapedFile* file;
    Mapped(const std::string& path, int64_t offset, size_t size)
        : file(CKW_MMapedFile::Create(CKW_WideStringC(Wide(path).c_str()), offset, size)) {}
    ~Mapped()
    {
        if (file)
            file->Release();
    }
    CKW_MMapedFile* operator->() const { return file; }
};

const int64_t kPage = sysconf(_SC_PAGESIZE);

// A mapped file made while static objects are built, before this library's
// own initialisers may have run.
struct EarlyMapping {
    int64_t sizeMade = -1;
    EarlyMapping()
    {
        TempFolder dir;
        if (!dir.IsValid())
            return;
        CKW_MMapedFile* file = CKW_MMapedFile::Create(CKW_WideStringC(Wide(dir.Path("early")).c_str()), 0, 16);
        if (file) {
            sizeMade = file->GetSize();
            file->Release();
        }
    }
} g_EarlyMapping;

} // namespace

TEST(MMapedFile, CreationGrowsToWholePages)
{
    EXPECT_EQ(KW_GetDefaultMMapSize(), kPage);
    EXPECT_EQ(KW_DEFAULT_MMAP_SIZE, kPage);
    EXPECT_EQ(g_EarlyMapping.sizeMade, kPage) << "the page size was still unknown at static initialisation";

    TempFolder dir;
    ASSERT_TRUE(dir.IsValid());
    struct Case {
        const char* what;
        int64_t before; // -1: missing
        int64_t after;
    } cases[] = {
        {"missing", -1, kPage},
        {"empty", 0, kPage},
        {"one page", kPage, kPage},
        {"one page and 904 bytes", kPage + 904, 2 * kPage},
        {"two pages", 2 * kPage, 2 * kPage},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string path = dir.Path("file" + std::to_string(n++));
        std::string content = c.before < 0 ? std::string() : PatternBytes(static_cast<size_t>(c.before), 3);
        if (c.before >= 0)
            dir.Write(path.substr(path.rfind('/') + 1), content);
        {
            Mapped file(path, 0, static_cast<size_t>(kPage));
            ASSERT_NE(file.file, nullptr);
            EXPECT_TRUE(file->IsValid()) << c.what;
            EXPECT_EQ(file->GetSize(), c.after) << c.what;
            EXPECT_FALSE(file->IsEOF());
            EXPECT_EQ(file->Retain(), nullptr);
        }
        std::string now = TempFolder::Read(path);
        EXPECT_EQ(static_cast<int64_t>(now.size()), c.after) << c.what;
        EXPECT_EQ(now.substr(0, content.size()), content) << c.what << ": existing content kept";
        EXPECT_EQ(now.substr(content.size()), std::string(now.size() - content.size(), '\0')) << c.what;
    }
}

TEST(MMapedFile, WindowsMoveAndGrowTheFile)
{
    TempFolder dir;
    std::string path = dir.Write("data", PatternBytes(static_cast<size_t>(kPage), 1));
    Mapped file(path, 0, static_cast<size_t>(kPage));
    ASSERT_TRUE(file->IsValid());

    char buffer[32];
    ASSERT_EQ(file->ReadBlock(buffer, 8), 8u);
    EXPECT_EQ(std::string(buffer, 8), PatternBytes(8, 1));
    EXPECT_EQ(file->GetPosition(), 8);

    ASSERT_TRUE(file->WriteBlock("0123456789", int64_t(70000), 10));
    EXPECT_EQ(file->GetSize(), 131072);
    EXPECT_EQ(FileSize(path), 131072);
    EXPECT_EQ(file->GetWindowOffset(), 65536);
    EXPECT_EQ(file->GetWindowLength(), 65536u);
    EXPECT_EQ(file->GetPosition(), 70010);

    // A read that starts 10 bytes before the window's end: the last 10 bytes
    // come through the next window.
    ASSERT_TRUE(file->WriteBlock("abcdefghij", int64_t(131062), 10));
    ASSERT_TRUE(file->WriteBlock("klm", int64_t(131072), 3));
    EXPECT_EQ(file->GetSize(), 196608);
    ASSERT_TRUE(file->ReadBlock(buffer, int64_t(70000), 1));   // window (65536, 65536) again
    ASSERT_TRUE(file->ReadBlock(buffer, int64_t(131062), 20));
    EXPECT_EQ(std::string(buffer, 20), std::string("abcdefghijklm") + std::string(7, '\0'));

    // Going back below the window maps the start again.
    ASSERT_TRUE(file->ReadBlock(buffer, int64_t(0), 8));
    EXPECT_EQ(std::string(buffer, 8), PatternBytes(8, 1));
    ASSERT_TRUE(file->ReadBlock(buffer, int64_t(70000), 10));
    EXPECT_EQ(std::string(buffer, 10), "0123456789");

    // Refused: negative offsets, empty and overflowing requests.
    EXPECT_FALSE(file->ReadBlock(buffer, int64_t(-1), 4));
    EXPECT_FALSE(file->WriteBlock(buffer, int64_t(-5), 4));
    EXPECT_FALSE(file->ReadBlock(buffer, INT64_MAX - 2, 4));
    EXPECT_FALSE(file->ReMap(-1, 4));
    EXPECT_FALSE(file->ReMap(INT64_MAX - 2, 4));
    EXPECT_TRUE(file->Flush());
    file->Release();
    file.file = nullptr;
    std::string bytes = TempFolder::Read(path);
    EXPECT_EQ(bytes.substr(70000, 10), "0123456789");
}

TEST(MMapedFile, LargeRequestedWindowIsClampedToTheFile)
{
    TempFolder dir;
    std::string path = dir.Path("new");
    Mapped file(path, 0, 1 << 20);
    ASSERT_TRUE(file->IsValid());
    EXPECT_EQ(file->GetSize(), kPage);
    EXPECT_EQ(file->GetWindowLength(), static_cast<uint64_t>(kPage)) << "a window past the end would fault";
    char buffer[16] = {};
    EXPECT_FALSE(file->ReadBlock(buffer, int64_t(100 * 1024), sizeof buffer));
    EXPECT_EQ(FileSize(path), kPage);
    ASSERT_TRUE(file->WriteBlock(buffer, int64_t(100 * 1024), sizeof buffer));
    EXPECT_GE(FileSize(path), 100 * 1024 + 16);
}

// Reads only read: one that runs past the end, however far, fails and leaves
// the file, its size and the position as they were.
TEST(MMapedFile, ReadPastTheEndFailsAndChangesNothing)
{
    TempFolder dir;
    std::string path = dir.Write("small", PatternBytes(static_cast<size_t>(kPage), 5));
    Mapped file(path, 0, static_cast<size_t>(kPage));
    ASSERT_TRUE(file->IsValid());
    char buffer[64];
    ASSERT_EQ(file->ReadBlock(buffer, 16), 16u);
    struct Case {
        int64_t offset;
        size_t size;
    } cases[] = {
        {kPage - 4, 8},      // starts inside, runs past the end
        {kPage, 1},          // starts at the end
        {int64_t(1) << 30, 4},
        {INT64_MAX / 2, 64},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(file->ReadBlock(buffer, c.offset, c.size)) << c.offset;
        EXPECT_EQ(file->GetSize(), kPage) << c.offset;
        EXPECT_EQ(FileSize(path), kPage) << c.offset;
        EXPECT_EQ(file->GetPosition(), 16) << c.offset;
    }
    ASSERT_TRUE(file->ReadBlock(buffer, kPage - 8, 8));
    EXPECT_EQ(file->ReadBlock(buffer, 8), 0u);   // at the end: nothing more
    EXPECT_EQ(file->GetPosition(), kPage);

    // Bytes someone else appended are readable.
    std::string more = PatternBytes(100, 7);
    FILE* f = fopen(path.c_str(), "ab");
    ASSERT_NE(f, nullptr);
    fwrite(more.data(), 1, more.size(), f);
    fclose(f);
    ASSERT_TRUE(file->ReadBlock(buffer, kPage + 36, 64));
    EXPECT_EQ(std::string(buffer, 64), more.substr(36));
}

TEST(MMapedFile, RandomAccessAgainstShadow)
{
    TempFolder dir;
    std::string path = dir.Path("random");
    Mapped file(path, 0, static_cast<size_t>(kPage));
    ASSERT_TRUE(file->IsValid());
    std::string shadow(static_cast<size_t>(kPage), '\0');
    std::mt19937 random(99);
    std::string buffer(70000, '\0');
    for (int i = 0; i < 300; ++i) {
        size_t size = 1 + random() % (i % 10 == 0 ? 70000 : 300);
        size_t at = random() % 400000;
        if (random() % 2) {
            for (size_t k = 0; k < size; ++k)
                buffer[k] = static_cast<char>(random());
            ASSERT_TRUE(file->WriteBlock(buffer.data(), static_cast<int64_t>(at), size));
            if (shadow.size() < at + size)
                shadow.resize(at + size, '\0');
            shadow.replace(at, size, buffer.data(), size);
        } else {
            const int64_t sizeBefore = file->GetSize();
            if (static_cast<int64_t>(at + size) > sizeBefore) {
                ASSERT_FALSE(file->ReadBlock(&buffer[0], static_cast<int64_t>(at), size));
                ASSERT_EQ(file->GetSize(), sizeBefore);
                continue;
            }
            ASSERT_TRUE(file->ReadBlock(&buffer[0], static_cast<int64_t>(at), size));
            std::string expected = shadow.size() > at ? shadow.substr(at, size) : std::string();
            expected.resize(size, '\0');
            ASSERT_EQ(buffer.compare(0, size, expected), 0) << "at " << at << " size " << size;
        }
        ASSERT_GE(file->GetSize(), static_cast<int64_t>(shadow.size()));
    }
    file->Release();
    file.file = nullptr;
    std::string bytes = TempFolder::Read(path);
    ASSERT_GE(bytes.size(), shadow.size());
    EXPECT_EQ(bytes.substr(0, shadow.size()), shadow);
    EXPECT_EQ(bytes.size() % 65536, 0u);
}

// Runs in a child process: the file size limit must not reach the parent.
// The signal the limit raises is ignored so that the failed growth comes back
// as an error.
void GrowBeyondTheLimit(const std::string& path)
{
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &limit);
    CKW_MMapedFile* file = CKW_MMapedFile::Create(CKW_WideStringC(Wide(path).c_str()), 0, 4096);
    bool valid = file->IsValid();
    bool remapped = file->ReMap(4 << 20, 16);
    bool noWindow = !file->IsValid() && file->GetMemory() == nullptr;
    char byte = 'x';
    bool wrote = file->WriteBlock(&byte, int64_t(8 << 20), 1);
    bool sizeKept = file->GetSize() == kPage;
    file->Release();
    _exit(valid && !remapped && noWindow && !wrote && sizeKept ? 0 : 1);
}

// Runs in a child process under a file-size limit, with SIGXFSZ left to end
// the process: a read far past the end and a write past the limit fail
// without raising it, and a write inside the limit grows the file by its
// length alone.
void GrowSparselyUnderTheLimit(const std::string& path, int64_t sizeLimit)
{
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = sizeLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
    CKW_MMapedFile* file = CKW_MMapedFile::Create(CKW_WideStringC(Wide(path).c_str()), 0, 4096);
    char bytes[4] = {1, 2, 3, 4};
    bool ok = file->IsValid();
    ok = ok && !file->ReadBlock(bytes, int64_t(1) << 30, 4) && file->GetSize() == kPage;
    ok = ok && file->WriteBlock(bytes, sizeLimit - 4, 4) && file->GetSize() == sizeLimit;
    ok = ok && !file->WriteBlock(bytes, sizeLimit, 4) && file->GetSize() == sizeLimit;
    ok = ok && file->Flush();
    file->Release();
    struct stat st;
    // The file holds one written page (and maybe the file system's few
    // blocks of bookkeeping), not the zeros before it.
    ok = ok && stat(path.c_str(), &st) == 0 && st.st_size == sizeLimit && st.st_blocks * 512 < (1 << 20);
    _exit(ok ? 0 : 1);
}

TEST(MMapedFile, WritesGrowSparselyAndReadsNeverGrowUnderTheLimit)
{
    // A whole number of growth units, and one that ends inside a unit: the
    // last bytes below it are written all the same.
    const int64_t limits[] = {64 << 20, (64 << 20) + 4096};
    for (int64_t limit : limits) {
        SCOPED_TRACE(limit);
        TempFolder dir;
        std::string path = dir.Path("sparse");
        EXPECT_EXIT(GrowSparselyUnderTheLimit(path, limit), testing::ExitedWithCode(0), "");
        EXPECT_EQ(FileSize(path), limit);
    }
}

TEST(MMapedFile, FailedGrowthLeavesNoWindow)
{
    TempFolder dir;
    std::string path = dir.Path("limited");
    EXPECT_EXIT(GrowBeyondTheLimit(path), testing::ExitedWithCode(0), "");
    EXPECT_EQ(FileSize(path), kPage);
}

TEST(MMapedFile, UnopenableFileIsInvalid)
{
    TempFolder dir;
    Mapped file(dir.Path("no/such/folder/file"), 0, 4096);
    ASSERT_NE(file.file, nullptr);
    EXPECT_FALSE(file->IsValid());
    char buffer[4];
    EXPECT_FALSE(file->ReadBlock(buffer, int64_t(0), 4));
    EXPECT_EQ(file->ReadBlock(buffer, 4), 0u);
    EXPECT_FALSE(file->Flush());
    EXPECT_TRUE(file->GetName() == Wide(dir.Path("no/such/folder/file")).c_str());
}
