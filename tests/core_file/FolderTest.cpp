// Folder enumeration and creation over a real folder.
#include "CKW_WideString.h"
#include "KW_FileSystem.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(Folder, WalkReportsEveryEntryAndItsKind)
{
    TempFolder dir;
    ASSERT_TRUE(dir.IsValid());
    dir.Write("file.txt", "x");
    dir.Write("\xC3\xA9t\xC3\xA9", "y"); // a non-ASCII name
    ASSERT_TRUE(KW_CreateFolder(dir.Path("sub").c_str()));
    EXPECT_FALSE(KW_CreateFolder(dir.Path("sub").c_str())) << "an existing folder";
    ASSERT_EQ(symlink(dir.Path("sub").c_str(), dir.Path("to-sub").c_str()), 0);

    std::map<std::string, bool> found;
    _KW_HFOLDER folder = KW_OpenFolder(dir.Path().c_str());
    ASSERT_NE(folder, nullptr);
    CKW_ByteString name;
    bool isFolder = false;
    while (KW_GetNextFile(folder, name, isFolder, dir.Path().c_str()))
        found[name.c_str()] = isFolder;
    EXPECT_FALSE(KW_GetNextFile(folder, name, isFolder, dir.Path().c_str()));
    KW_CloseFolder(folder);

    std::map<std::string, bool> expected = {{".", true},         {"..", true},    {"file.txt", false},
                                            {"\xC3\xA9t\xC3\xA9", false}, {"sub", true}, {"to-sub", false}};
    // The listing's own type says "link" for the symbolic link; only a file
    // system that carries no types sends it through stat, which follows it.
    EXPECT_EQ(found, expected);

    // The wide forms list the same entries.
    std::wstring widePath(dir.Path().begin(), dir.Path().end());
    folder = KW_OpenFolder(widePath.c_str());
    ASSERT_NE(folder, nullptr);
    CKW_WideString wideName;
    int count = 0;
    bool sawSub = false;
    while (KW_GetNextFile(folder, wideName, isFolder, widePath.c_str())) {
        ++count;
        if (wideName == L"sub")
            sawSub = isFolder;
    }
    KW_CloseFolder(folder);
    EXPECT_EQ(count, 6);
    EXPECT_TRUE(sawSub);

    EXPECT_EQ(KW_OpenFolder(dir.Path("missing").c_str()), nullptr);
    EXPECT_FALSE(KW_GetNextFile(nullptr, name, isFolder, ""));
    KW_CloseFolder(nullptr);
    EXPECT_EQ(KW_GetFolderSeparator(), '/');
}

TEST(Folder, EntriesWithoutATypeAreSettledByStat)
{
    TempFolder dir;
    dir.Write("file", "x");
    ASSERT_TRUE(KW_CreateFolder(dir.Path("sub").c_str()));
    ASSERT_EQ(symlink(dir.Path("sub").c_str(), dir.Path("to-sub").c_str()), 0);
    ASSERT_EQ(symlink(dir.Path("gone").c_str(), dir.Path("dangling").c_str()), 0);
    const char* base = dir.Path().c_str();

    struct Case {
        unsigned char type;
        const char* name;
        bool isFolder;
    } cases[] = {
        {DT_UNKNOWN, "file", false}, {DT_UNKNOWN, "sub", true},    {DT_UNKNOWN, "to-sub", true},
        {DT_UNKNOWN, "dangling", false}, {DT_UNKNOWN, "missing", false},
        {DT_DIR, "file", true}, // a carried type is trusted as it is
        {DT_REG, "sub", false},  {DT_LNK, "to-sub", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KW_FolderEntryIsFolder(c.type, base, c.name), c.isFolder) << c.name << " " << int(c.type);
}
