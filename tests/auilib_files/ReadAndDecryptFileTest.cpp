// Reading enciphered files: every damaged or unreadable case gives an empty
// text, and valid files come back exactly, byte-order mark included.
#include "EncipheredBytes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class ReadAndDecryptFile : public ::testing::Test
{
protected:
    std::wstring PathOf(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)).toStdWString(); }

    std::wstring ReadBack(const std::string& bytes, const char* name = "file.kw")
    {
        EXPECT_TRUE(WriteBytes(m_dir.filePath(QString::fromLatin1(name)), bytes));
        return Encrypter::ReadAndDecryptFile(PathOf(name));
    }

    QTemporaryDir m_dir;
};

TEST_F(ReadAndDecryptFile, ValidFilesComeBackWhole)
{
    const struct { std::string plain; std::wstring text; } kCases[] = {
        {"x", L"x"},                                                    // 17 bytes: the shortest file
        {"\xEF\xBB\xBF<ui/>", L"\xFEFF<ui/>"},                          // the byte-order mark is kept
        {"a\xF0\x9F\x98\x80z", L"a\U0001F600z"},                        // one wide character per code point
        {"Gr\xC3\xBC\xC3\x9F" "e\n\xE6\x97\xA5\r\n", L"Gr\u00FC\u00DFe\n\u65E5\r\n"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(ReadBack(Encipher(c.plain)), c.text) << Hex(c.plain);
}

TEST_F(ReadAndDecryptFile, SixteenBytesAreNoFileEvenWithTheEmptyDigest)
{
    EXPECT_EQ(ReadBack(Md5Of("")), L"");
    EXPECT_EQ(ReadBack(""), L"");
}

TEST_F(ReadAndDecryptFile, AnySingleFlippedByteIsRefused)
{
    const std::string good = Encipher("<ui version=\"4.0\"/>");
    ASSERT_EQ(ReadBack(good), L"<ui version=\"4.0\"/>");
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x01);
        EXPECT_EQ(ReadBack(bad), L"") << "byte " << i << (i < good.size() - 16 ? " of the body" : " of the digest");
    }
}

TEST_F(ReadAndDecryptFile, DigestOfThePlainTextIsRefused)
{
    const std::string plain = "<ui/>";
    EXPECT_EQ(ReadBack(Rc4Library(plain) + Md5Of(plain)), L"");
}

TEST_F(ReadAndDecryptFile, InvalidUtf8UnderAValidDigestIsRefused)
{
    const char* kBad[] = {
        "a\xC0\xAF",            // overlong '/'
        "a\xED\xA0\x80",        // encoded surrogate
        "a\xE2\x82",            // truncated at the end
        "a\xF4\x90\x80\x80",    // above U+10FFFF
        "a\x80",                // lone continuation byte
    };
    for (const char* bad : kBad)
        EXPECT_EQ(ReadBack(Encipher(bad)), L"") << Hex(bad);
}

TEST_F(ReadAndDecryptFile, UnreadablePathsGiveAnEmptyText)
{
    EXPECT_EQ(Encrypter::ReadAndDecryptFile(PathOf("missing.kw")), L"");
    ASSERT_EQ(ReadBack(Encipher("ok"), "ok.kw"), L"ok");
    // A lone surrogate has no UTF-8 form, so the path cannot name a file.
    std::wstring path = PathOf("ok.kw");
    path.insert(path.size() - 3, 1, static_cast<wchar_t>(0xD800));
    EXPECT_EQ(Encrypter::ReadAndDecryptFile(path), L"");
    EXPECT_EQ(Encrypter::ReadAndDecryptFile(m_dir.path().toStdWString()), L"");   // a folder
}

TEST_F(ReadAndDecryptFile, OversizedFileIsRefusedWithoutReadingIt)
{
    // A sparse file: reading it whole would allocate and hash 65 MiB.
    QFile file(m_dir.filePath(QStringLiteral("huge.kw")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(65ll * 1024 * 1024));
    file.close();
    EXPECT_EQ(Encrypter::ReadAndDecryptFile(PathOf("huge.kw")), L"");
}

} // namespace
