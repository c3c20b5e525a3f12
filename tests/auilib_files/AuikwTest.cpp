// The auikw tool and the fixtures the build enciphers with it.
#include "EncipheredBytes.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kPlainForm = QStringLiteral(AUILIB_FILES_PLAIN "/form.ui");

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int RunAuikw(const QString& mode, const QString& in, const QString& out)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(AUIKW_PATH), {mode, in, out});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

class Auikw : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(Auikw, EncipherThenDecipherGivesTheSameBytes)
{
    const QByteArray plain = ReadFile(kPlainForm);
    ASSERT_FALSE(plain.isEmpty());
    ASSERT_EQ(RunAuikw(QStringLiteral("enc"), kPlainForm, Path("form.ui.kw")), 0);
    ASSERT_EQ(RunAuikw(QStringLiteral("dec"), Path("form.ui.kw"), Path("out.ui")), 0);
    EXPECT_EQ(ReadFile(Path("out.ui")), plain);

    // The file is the library's format: the library reads it.
    const QByteArray enciphered = ReadFile(Path("form.ui.kw"));
    EXPECT_EQ(enciphered.toStdString(), Encipher(plain.toStdString()));
    EXPECT_EQ(QString::fromStdWString(Encrypter::ReadAndDecryptFile(Path("form.ui.kw").toStdWString())),
              QString::fromUtf8(plain));
}

TEST_F(Auikw, DecipherRefusesDamagedAndShortFiles)
{
    const std::string good = Encipher("<ui version=\"4.0\"/>\n");
    std::string bodyFlipped = good;
    bodyFlipped[3] = static_cast<char>(bodyFlipped[3] ^ 0x40);
    std::string digestFlipped = good;
    digestFlipped.back() = static_cast<char>(digestFlipped.back() ^ 0x01);
    const struct { const char* name; std::string bytes; } kBad[] = {
        {"body", bodyFlipped}, {"digest", digestFlipped}, {"sixteen", Md5Of("")}, {"empty", ""}};
    for (const auto& bad : kBad) {
        ASSERT_TRUE(WriteBytes(Path(bad.name), bad.bytes));
        const QString out = Path("out") + QString::fromLatin1(bad.name);
        EXPECT_NE(RunAuikw(QStringLiteral("dec"), Path(bad.name), out), 0) << bad.name;
        EXPECT_FALSE(QFile::exists(out)) << bad.name;
    }
    EXPECT_NE(RunAuikw(QStringLiteral("dec"), Path("missing"), Path("out")), 0);
    EXPECT_NE(RunAuikw(QStringLiteral("enc"), Path("empty"), Path("out")), 0);   // the library would refuse it
    EXPECT_NE(RunAuikw(QStringLiteral("x"), kPlainForm, Path("out")), 0);
}

TEST(AuikwBuildFixtures, EncipheredByTheBuildAndReadBackByTheLibrary)
{
    const std::wstring text =
        Encrypter::ReadAndDecryptFile(QStringLiteral(AUILIB_FILES_ENCIPHERED "/form.ui").toStdWString());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(QString::fromStdWString(text), QString::fromUtf8(ReadFile(kPlainForm)));
}

} // namespace
