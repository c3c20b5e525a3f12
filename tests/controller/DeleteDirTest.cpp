// Comm::deleteDir: removes a tree, never anything reached through a link.
#include "Comm.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode;
}

bool linkExists(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace

TEST(DeleteDir, RemovesNestedHiddenAndReadOnlyEntries)
{
    QTemporaryDir tmp;
    const QString tree = tmp.path() + QStringLiteral("/tree");
    writeFile(tree + QStringLiteral("/a.txt"), "a");
    writeFile(tree + QStringLiteral("/.hidden"), "h");
    writeFile(tree + QStringLiteral("/sub/deeper/b.bin"), "b");
    writeFile(tree + QStringLiteral("/sub/readonly.txt"), "r");
    ::chmod(QFile::encodeName(tree + QStringLiteral("/sub/readonly.txt")).constData(), 0444);
    QDir().mkpath(tree + QStringLiteral("/empty"));

    EXPECT_TRUE(Comm::deleteDir(tree + QStringLiteral("/")));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_TRUE(QFileInfo::exists(tmp.path()));
}

TEST(DeleteDir, MissingOrEmptyPathIsNothingToDo)
{
    QTemporaryDir tmp;
    writeFile(tmp.path() + QStringLiteral("/keep.txt"), "k");
    EXPECT_TRUE(Comm::deleteDir(tmp.path() + QStringLiteral("/absent/")));
    // An empty path must not be read as the current folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    EXPECT_TRUE(Comm::deleteDir(QString()));
    QDir::setCurrent(before);
    EXPECT_TRUE(QFileInfo::exists(tmp.path() + QStringLiteral("/keep.txt")));
}

TEST(DeleteDir, LinksAreRemovedWithoutTouchingTheirTargets)
{
    QTemporaryDir tmp;
    const QString outside = tmp.path() + QStringLiteral("/outside");
    writeFile(outside + QStringLiteral("/data.txt"), "outside data");
    writeFile(outside + QStringLiteral("/nested/more.txt"), "more");
    const QString outsideFile = tmp.path() + QStringLiteral("/outside-file.txt");
    writeFile(outsideFile, "single");
    // Read-only targets: a permission change would show.
    ::chmod(QFile::encodeName(outsideFile).constData(), 0444);
    ::chmod(QFile::encodeName(outside + QStringLiteral("/data.txt")).constData(), 0400);
    const mode_t fileMode = modeOf(outsideFile);
    const mode_t dataMode = modeOf(outside + QStringLiteral("/data.txt"));
    const mode_t folderMode = modeOf(outside);

    const QString tree = tmp.path() + QStringLiteral("/tree");
    QDir().mkpath(tree + QStringLiteral("/sub"));
    ASSERT_TRUE(QFile::link(outside, tree + QStringLiteral("/to-folder")));
    ASSERT_TRUE(QFile::link(outsideFile, tree + QStringLiteral("/sub/to-file")));
    ASSERT_TRUE(QFile::link(tmp.path() + QStringLiteral("/nowhere"), tree + QStringLiteral("/broken")));
    // The folder named for deletion may itself be a link.
    const QString linkedRoot = tmp.path() + QStringLiteral("/linked-root");
    ASSERT_TRUE(QFile::link(outside, linkedRoot));

    EXPECT_TRUE(Comm::deleteDir(tree));
    EXPECT_TRUE(Comm::deleteDir(linkedRoot + QStringLiteral("/")));

    EXPECT_FALSE(linkExists(tree));
    EXPECT_FALSE(linkExists(linkedRoot));
    EXPECT_EQ(readFile(outside + QStringLiteral("/data.txt")), QByteArray("outside data"));
    EXPECT_EQ(readFile(outside + QStringLiteral("/nested/more.txt")), QByteArray("more"));
    EXPECT_EQ(readFile(outsideFile), QByteArray("single"));
    EXPECT_EQ(modeOf(outsideFile), fileMode);
    EXPECT_EQ(modeOf(outside + QStringLiteral("/data.txt")), dataMode);
    EXPECT_EQ(modeOf(outside), folderMode);
}
