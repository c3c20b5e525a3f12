// File streams over real files: open modes, the window of SetRange, positioned
// transfers and failures that must reach the caller.
#include "CKW_CRTFileStream.h"
#include "CKW_MMapedFile.h"
#include "CountingAllocator.h"
#include "KW_FileAccess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct StreamHolder {
    IKW_FileStream* stream;
    explicit StreamHolder(IKW_FileStream* s) : stream(s) {}
    ~StreamHolder()
    {
        if (stream)
            stream->Release();
    }
    IKW_FileStream* operator->() const { return stream; }
};

IKW_FileStream* Open(const std::string& path, uint32_t mode)
{
    return KW_CreateFileStream(path.c_str(), mode, nullptr);
}

} // namespace

TEST(FileStream, OpenModes)
{
    TempFolder dir;
    ASSERT_TRUE(dir.IsValid());
    EXPECT_EQ(KW_CreateFileRead(dir.Path("missing").c_str(), nullptr), nullptr);
    EXPECT_EQ(KW_CreateFileStream(static_cast<const char*>(nullptr), 0, nullptr), nullptr);

    IKW_FileWrite* created = KW_CreateFileWrite(dir.Path("new").c_str(), nullptr);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetSize(), 0);
    EXPECT_TRUE(created->WriteBlock("abc", 3));
    EXPECT_TRUE(created->WriteBlock("de", 2)); // sequential writes append
    created->Release();
    EXPECT_EQ(TempFolder::Read(dir.Path("new")), "abcde");

    {
        StreamHolder keep(Open(dir.Path("new"), KW_FILEMODE_ReadWrite));
        ASSERT_NE(keep.stream, nullptr);
        EXPECT_EQ(keep->GetSize(), 5);
        EXPECT_TRUE(keep->WriteBlock("X", int64_t(1), 1));
    }
    EXPECT_EQ(TempFolder::Read(dir.Path("new")), "aXcde");

    {
        StreamHolder readOnly(KW_CreateFileStream(dir.Path("new").c_str(), KW_FILEMODE_ReadOnly, nullptr));
        ASSERT_NE(readOnly.stream, nullptr);
        EXPECT_FALSE(readOnly->WriteBlock("Y", int64_t(0), 1));
        char buffer[5];
        EXPECT_EQ(readOnly->ReadBlock(buffer, sizeof buffer), 5u);
        EXPECT_TRUE(readOnly->IsEOF());
        EXPECT_EQ(readOnly->ReadBlock(buffer, sizeof buffer), 0u);
    }

    IKW_FileWrite* emptied = KW_CreateFileWrite(dir.Path("new").c_str(), nullptr);
    ASSERT_NE(emptied, nullptr);
    emptied->Release();
    EXPECT_EQ(TempFolder::Read(dir.Path("new")), "");
}

TEST(FileStream, WidePathsAreUtf8)
{
    TempFolder dir;
    std::string path = dir.Write("\xC3\xA9t\xC3\xA9.txt", "summer");
    std::wstring wide = std::wstring(dir.Path().begin(), dir.Path().end()) + L"/\u00E9t\u00E9.txt";
    StreamHolder stream(KW_CreateFileStream(wide.c_str(), KW_FILEMODE_ReadOnly, nullptr));
    ASSERT_NE(stream.stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 6);

    _KW_HFILE handle = KW_File_Open(CKW_WideStringC(wide.c_str()), KW_FILEMODE_ReadOnly, nullptr);
    ASSERT_NE(handle, nullptr);
    char buffer[6];
    EXPECT_EQ(KW_File_ReadPos(handle, buffer, 3, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "mer");
    KW_File_Close(handle, nullptr);
}

// A path with a zero byte inside (a "&#0;" read from a document, say) would
// reach the system cut at it: every path function that takes a length
// refuses it, and nothing is opened or created under the cut name.
TEST(FileStream, PathsHoldingAZeroAreRefused)
{
    struct Case {
        const char* what;
        bool (*opens)(const std::string& path);   // the path holds its zero
    } cases[] = {
        {"KW_File_Open", [](const std::string& path) {
             _KW_HFILE file = KW_File_Open(CKW_ByteStringC(path.data(), static_cast<int>(path.size())),
                                           KW_FILEMODE_ReadWrite, nullptr);
             KW_File_Close(file, nullptr);
             return file != nullptr;
         }},
        {"KW_File_Open, wide", [](const std::string& path) {
             const std::wstring wide(path.begin(), path.end());
             _KW_HFILE file = KW_File_Open(CKW_WideStringC(wide.data(), static_cast<int>(wide.size())),
                                           KW_FILEMODE_ReadWrite, nullptr);
             KW_File_Close(file, nullptr);
             return file != nullptr;
         }},
        {"KW_CreateDefaultFileAccess", [](const std::string& path) {
             const std::wstring wide(path.begin(), path.end());
             IKW_FileAccess* access =
                 KW_CreateDefaultFileAccess(CKW_WideStringC(wide.data(), static_cast<int>(wide.size())), nullptr);
             IKW_FileStream* stream = access ? access->CreateFileStream(KW_FILEMODE_ReadWrite) : nullptr;
             if (stream)
                 stream->Release();
             if (access)
                 access->Release();
             return access != nullptr;
         }},
        {"CKW_MMapedFile", [](const std::string& path) {
             const std::wstring wide(path.begin(), path.end());
             CKW_MMapedFile* file =
                 CKW_MMapedFile::Create(CKW_WideStringC(wide.data(), static_cast<int>(wide.size())), 0, 4096);
             const bool valid = file->IsValid();
             file->Release();
             return valid;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        const std::string cut = dir.Path("a");
        const std::string path = cut + std::string(1, '\0') + ".pkg";
        EXPECT_FALSE(c.opens(path));
        struct stat st;
        EXPECT_NE(stat(cut.c_str(), &st), 0) << "nothing made under the name up to the zero";
        dir.Write("a", "kept");
        EXPECT_FALSE(c.opens(path)) << "nor is a file of that name opened";
        EXPECT_EQ(TempFolder::Read(cut), "kept");
    }
}

TEST(FileStream, RangeTable)
{
    TempFolder dir;
    std::string bytes = PatternBytes(100);
    std::string path = dir.Write("data", bytes);
    StreamHolder stream(Open(path, KW_FILEMODE_ReadWrite));
    ASSERT_NE(stream.stream, nullptr);

    EXPECT_FALSE(stream->SetRange(90, 20));
    EXPECT_FALSE(stream->SetRange(-1, 5));
    EXPECT_FALSE(stream->SetRange(10, -1));
    EXPECT_EQ(stream->GetSize(), 100) << "a refused window must leave none";

    ASSERT_TRUE(stream->SetRange(10, 5));
    EXPECT_EQ(stream->GetSize(), 5);
    EXPECT_EQ(stream->GetPosition(), 0);
    EXPECT_EQ(stream->SetPosition(6), -1);
    EXPECT_EQ(stream->SetPosition(-1), -1);
    char buffer[8] = {};
    EXPECT_FALSE(stream->ReadBlock(buffer, int64_t(3), 3));
    EXPECT_FALSE(stream->ReadBlock(buffer, int64_t(-1), 2));
    ASSERT_TRUE(stream->ReadBlock(buffer, int64_t(2), 3));
    EXPECT_EQ(std::string(buffer, 3), bytes.substr(12, 3));

    // Sequential reads stop at the window's end, and read nothing past it.
    EXPECT_EQ(stream->SetPosition(3), 3);
    EXPECT_EQ(stream->ReadBlock(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), bytes.substr(13, 2));
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_TRUE(stream->ReadBlock(buffer, int64_t(4), 1)); // leaves the file at the window's end
    EXPECT_EQ(stream->ReadBlock(buffer, 8), 0u);

    // Writes inside the window land at the window's offset; writes that would
    // end past it (including an append) are refused and change nothing.
    EXPECT_TRUE(stream->WriteBlock("AB", int64_t(3), 2));
    EXPECT_FALSE(stream->WriteBlock("CD", int64_t(4), 2));
    EXPECT_FALSE(stream->WriteBlock("EF", 2));
    EXPECT_FALSE(stream->WriteBlock("GH", int64_t(-2), 2));
    // A refused write past the window must not move the file there: a
    // sequential read would then compute a count from "end - position".
    EXPECT_FALSE(stream->WriteBlock("IJ", int64_t(5), 2));
    EXPECT_EQ(stream->ReadBlock(buffer, 8), 0u);
    EXPECT_EQ(stream->GetPosition(), 5);
    stream->ClearRange();
    EXPECT_EQ(stream->GetSize(), 100);
    std::string expected = bytes;
    expected.replace(13, 2, "AB");
    EXPECT_EQ(TempFolder::Read(path), expected);
}

TEST(FileStream, PositionedTransfersMoveAllOrFail)
{
    TempFolder dir;
    std::string path = dir.Write("data", PatternBytes(1000));
    StreamHolder stream(Open(path, KW_FILEMODE_ReadWrite));
    ASSERT_NE(stream.stream, nullptr);
    std::string buffer(2000, '\0');
    EXPECT_TRUE(stream->ReadBlock(&buffer[0], int64_t(0), 1000));
    EXPECT_FALSE(stream->ReadBlock(&buffer[0], int64_t(900), 200)) << "a short read is not a success";
    EXPECT_FALSE(stream->ReadBlock(&buffer[0], int64_t(1000), 1));
    EXPECT_FALSE(stream->ReadBlock(&buffer[0], int64_t(0), 0));
    EXPECT_FALSE(stream->ReadBlock(&buffer[0], INT64_MAX, 2));
    // A write past the end extends the file; the gap reads as zero.
    EXPECT_TRUE(stream->WriteBlock("end", int64_t(1500), 3));
    EXPECT_EQ(stream->GetSize(), 1503);
    ASSERT_TRUE(stream->ReadBlock(&buffer[0], int64_t(1498), 5));
    EXPECT_EQ(buffer.substr(0, 5), std::string("\0\0end", 5));
    EXPECT_EQ(stream->GetPosition(), 1503);
}

TEST(FileStream, PlatformReadPosAtTheEndReadsNothing)
{
    TempFolder dir;
    std::string path = dir.Write("data", "0123456789");
    _KW_HFILE file = KW_File_Open(CKW_ByteStringC(path.c_str()), KW_FILEMODE_ReadOnly, nullptr);
    ASSERT_NE(file, nullptr);
    char buffer[4];
    EXPECT_EQ(KW_File_SetPosition(file, 2), 2);
    EXPECT_EQ(KW_File_ReadPos(file, buffer, 4, 10), 0);
    EXPECT_EQ(KW_File_GetPosition(file), 2) << "nothing read, nothing moved";
    EXPECT_EQ(KW_File_ReadPos(file, buffer, 4, 8), 2);
    EXPECT_EQ(KW_File_Write(file, "x", 1), -1); // read only
    EXPECT_FALSE(KW_File_Truncate(file, 0));
    EXPECT_EQ(KW_File_GetSize(file), 10);
    KW_File_Close(file, nullptr);

    int flags = 0;
    int permissions = 0;
    EXPECT_EQ(KWCRT_Posix_GetFileMode(KW_FILEMODE_Truncate, &flags, &permissions), flags);
    EXPECT_EQ(flags, O_RDWR | O_CREAT | O_TRUNC);
    EXPECT_EQ(permissions, 0644);
    KWCRT_Posix_GetFileMode(KW_FILEMODE_ReadOnly, &flags, &permissions);
    EXPECT_EQ(flags, O_RDONLY);
    EXPECT_EQ(permissions, 0);

    // A closed access refuses everything, and opening twice fails.
    IKWCRT_FileAccess* access = KWCRT_FileAccess_Create(nullptr);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->GetSize(), 0);
    EXPECT_EQ(access->GetPosition(), -1);
    EXPECT_EQ(access->Read(buffer, 1), 0);
    EXPECT_FALSE(access->Flush());
    EXPECT_TRUE(access->Open(CKW_ByteStringC(path.c_str()), KW_FILEMODE_ReadOnly));
    EXPECT_FALSE(access->Open(CKW_ByteStringC(path.c_str()), KW_FILEMODE_ReadOnly));
    access->Release(nullptr);
}

TEST(FileStream, FailuresReachTheCaller)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full here";
    StreamHolder full(Open("/dev/full", KW_FILEMODE_ReadWrite));
    ASSERT_NE(full.stream, nullptr);
    EXPECT_FALSE(full->WriteBlock("abc", int64_t(0), 3));
    EXPECT_FALSE(full->WriteBlock("abc", 3));

    TempFolder dir;
    std::string folder = dir.Path("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    dir.Write("folder/inside", "x");
    StreamHolder onFolder(Open(folder, KW_FILEMODE_ReadOnly));
    ASSERT_NE(onFolder.stream, nullptr) << "a folder opens read only";
    char buffer[4];
    EXPECT_FALSE(onFolder->ReadBlock(buffer, int64_t(0), 1));
    EXPECT_EQ(onFolder->ReadBlock(buffer, sizeof buffer), 0u);
}

TEST(FileStream, StreamsAndAccessesUseTheirAllocator)
{
    TempFolder dir;
    std::string path = dir.Write("data", "0123456789");
    CountingAllocator counting;
    {
        IKW_FileStream* stream = KW_CreateFileStream(path.c_str(), 0, counting.get());
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(counting.live.size(), 2u) << "the stream and its platform file";
        EXPECT_EQ(stream->Retain(), stream);
        stream->Release();
        EXPECT_EQ(counting.live.size(), 2u);
        stream->Release();
        EXPECT_TRUE(counting.live.empty());
    }
    EXPECT_EQ(KW_CreateFileStream(dir.Path("missing").c_str(), KW_FILEMODE_ReadOnly, counting.get()), nullptr);
    EXPECT_TRUE(counting.live.empty()) << "a failed open gives the access back";

    counting.failAfter = 1; // the access is made, the stream is not
    EXPECT_EQ(KW_CreateFileStream(path.c_str(), 0, counting.get()), nullptr);
    EXPECT_TRUE(counting.live.empty());
    counting.failAfter = -1;

    std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(KW_CreateDefaultFileAccess(CKW_WideStringC(L""), counting.get()), nullptr);
    IKW_FileAccess* file = KW_CreateDefaultFileAccess(CKW_WideStringC(wide.c_str()), counting.get());
    ASSERT_NE(file, nullptr);
    CKW_WideString got;
    file->GetPath(got);
    EXPECT_TRUE(got == wide.c_str());
    IKW_FileStream* stream = file->CreateFileStream(KW_FILEMODE_ReadOnly);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 10);
    EXPECT_EQ(file->Retain(), file);
    file->Release();
    file->Release();
    stream->Release();
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
}
