// The library's MD5 against the published suite and Qt's implementation,
// including input split across the 64-byte block boundary.
#include "EncipheredBytes.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <random>

namespace {

std::string RandomBytes(std::size_t length, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string QtMd5(const std::string& bytes)
{
    return QCryptographicHash::hash(QByteArray(bytes.data(), static_cast<int>(bytes.size())),
                                    QCryptographicHash::Md5)
        .toStdString();
}

TEST(Md5, PublishedTestSuite)
{
    const struct { const char* message; const char* digest; } kSuite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& entry : kSuite)
        EXPECT_EQ(Hex(Md5Of(entry.message)), entry.digest) << '"' << entry.message << '"';
}

TEST(Md5, EveryLengthUpTo300MatchesQt)
{
    // Covers each padding case: the length field in the same block and in an
    // extra one, and messages that end exactly on a block boundary.
    const std::string data = RandomBytes(300, 21);
    for (std::size_t length = 0; length <= 300; ++length) {
        const std::string message = data.substr(0, length);
        EXPECT_EQ(Hex(Md5Of(message)), Hex(QtMd5(message))) << "length " << length;
    }
}

TEST(Md5, ChunkedUpdatesEqualOneShot)
{
    const std::string data = RandomBytes(1000, 5);
    const std::string expected = Md5Of(data);
    for (std::size_t chunk : {1u, 63u, 64u, 65u}) {
        Encrypter::MD5Context context;
        Encrypter::MD5Start(context);
        for (std::size_t offset = 0; offset < data.size(); offset += chunk) {
            const std::size_t length = std::min(chunk, data.size() - offset);
            Encrypter::MD5Update(context, reinterpret_cast<const unsigned char*>(data.data()) + offset,
                                 static_cast<std::uint32_t>(length));
            Encrypter::MD5Update(context, nullptr, 0);   // an empty update changes nothing
        }
        unsigned char digest[16];
        Encrypter::MD5Finish(context, digest);
        EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(digest), 16)), Hex(expected)) << "chunk " << chunk;
    }
}

TEST(Md5, BitCountCarriesIntoTheHighWord)
{
    // A count just below 2^32 bits: 8 more bytes carry into the high word.
    Encrypter::MD5Context context{};
    Encrypter::MD5Start(context);
    context.count[0] = 0xFFFFFFC0u;
    const unsigned char bytes[8] = {};
    Encrypter::MD5Update(context, bytes, 8);
    EXPECT_EQ(context.count[0], 0u);
    EXPECT_EQ(context.count[1], 1u);
}

} // namespace
