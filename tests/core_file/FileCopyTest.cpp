// Whole-file operations: copy, move, delete and existence, over real files.
#include "KW_FileSystem.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(FileCopy, Table)
{
    TempFolder dir;
    ASSERT_TRUE(dir.IsValid());
    // Larger than two copy buffers: the copy takes three reads.
    std::string big = dir.Write("big", PatternBytes(70000, 7));
    std::string empty = dir.Write("empty", "");
    std::string self = dir.Write("self", "keep me");
    std::string linked = dir.Path("link");
    ASSERT_EQ(link(self.c_str(), linked.c_str()), 0);
    std::string folder = dir.Path("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    bool haveFull = access("/dev/full", W_OK) == 0;

    struct Case {
        const char* what;
        std::string source;
        std::string destination;
        bool result;
    } cases[] = {
        {"70,000 bytes", big, dir.Path("big copy"), true},
        {"empty source", empty, dir.Path("empty copy"), false},
        {"missing source", dir.Path("missing"), dir.Path("missing copy"), false},
        {"onto itself", self, self, false},
        {"onto a hard link of itself", self, linked, false},
        {"from a folder", folder, dir.Path("folder copy"), false},
        {"into a missing folder", big, dir.Path("nowhere/big"), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KW_File_Copy(c.source.c_str(), c.destination.c_str()), c.result) << c.what;

    EXPECT_EQ(TempFolder::Read(dir.Path("big copy")), PatternBytes(70000, 7));
    EXPECT_FALSE(KW_File_Exist(dir.Path("empty copy").c_str())) << "nothing is made for an empty file";
    EXPECT_FALSE(KW_File_Exist(dir.Path("folder copy").c_str()));
    EXPECT_EQ(TempFolder::Read(self), "keep me");
    if (haveFull) {
        EXPECT_FALSE(KW_File_Copy(big.c_str(), "/dev/full")) << "a failed write is not a finished copy";
    }

    std::wstring wideSource(big.begin(), big.end());
    std::string wideTarget = dir.Path("wide copy");
    std::wstring wideDestination(wideTarget.begin(), wideTarget.end());
    EXPECT_TRUE(KW_File_Copy(wideSource.c_str(), wideDestination.c_str()));
    EXPECT_EQ(TempFolder::Read(wideTarget), PatternBytes(70000, 7));
}

TEST(FileCopy, MoveDeleteExist)
{
    TempFolder dir;
    std::string from = dir.Write("from", "content");
    std::string to = dir.Path("to");
    EXPECT_TRUE(KW_File_Exist(from.c_str()));
    EXPECT_TRUE(KW_File_Move(from.c_str(), to.c_str()));
    EXPECT_FALSE(KW_File_Exist(from.c_str()));
    EXPECT_EQ(TempFolder::Read(to), "content");
    EXPECT_FALSE(KW_File_Move(from.c_str(), to.c_str()));

    std::wstring wide(to.begin(), to.end());
    EXPECT_TRUE(KW_File_Exist(wide.c_str()));
    EXPECT_TRUE(KW_IsFilePathExist(wide.c_str()));
    EXPECT_TRUE(KW_File_Delete(wide.c_str()));
    EXPECT_FALSE(KW_File_Exist(to.c_str()));
    EXPECT_FALSE(KW_IsFilePathExist(wide.c_str()));
    EXPECT_FALSE(KW_File_Delete(to.c_str()));
    EXPECT_FALSE(KW_File_Exist(static_cast<const char*>(nullptr)));
}
