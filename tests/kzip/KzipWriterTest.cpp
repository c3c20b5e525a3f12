// The writer's LZMA part is a plain LZMA-alone stream of known size, the
// layout packages have in the field: an independent decoder must read it.
#include "KzipTestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

namespace {

TEST(KzipWriter, LzmaPartHasItsSizeAndDecodesWithXz)
{
    const QString xz = QStandardPaths::findExecutable("xz");
    if (xz.isEmpty())
        GTEST_SKIP() << "xz is not installed";
    const std::string data = std::string(30000, 't') + randomBytes(3000, 1);
    kzip::Writer w;
    w.addFile("only", data);
    const std::string package = w.package();

    const uint32_t length = uint32_t(uint8_t(package[16])) | uint32_t(uint8_t(package[17])) << 8
                            | uint32_t(uint8_t(package[18])) << 16 | uint32_t(uint8_t(package[19])) << 24;
    const std::string part = package.substr(28, length);
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = size << 8 | uint8_t(part[size_t(5 + i)]);
    EXPECT_EQ(size, data.size());
    EXPECT_EQ(kzip::checksum(package.data() + 28, package.size() - 28),
              uint32_t(uint8_t(package[8])) | uint32_t(uint8_t(package[9])) << 8
                  | uint32_t(uint8_t(package[10])) << 16 | uint32_t(uint8_t(package[11])) << 24);

    QProcess proc;
    proc.start(xz, {"--format=lzma", "-dc"});
    ASSERT_TRUE(proc.waitForStarted());
    proc.write(part.data(), qint64(part.size()));
    proc.closeWriteChannel();
    ASSERT_TRUE(proc.waitForFinished(60000));
    EXPECT_EQ(proc.exitCode(), 0) << proc.readAllStandardError().toStdString();
    const QByteArray out = proc.readAllStandardOutput();
    EXPECT_EQ(std::string(out.constData(), size_t(out.size())), data);
}

TEST(KzipWriter, RefusesNamesOverTheFormatsLimit)
{
    EXPECT_THROW(kzip::directory({{std::string(256, 'x'), 1}}), std::runtime_error);
}

} // namespace
