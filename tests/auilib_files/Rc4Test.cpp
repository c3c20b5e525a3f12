// RC4 against the published key-stream vectors (enciphering zero bytes gives
// the key stream), and the library-key block operation built on the same core.
#include "EncipheredBytes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::vector<unsigned char> KeyStream(std::size_t keyLength, std::size_t length)
{
    std::vector<unsigned char> key(keyLength);
    for (std::size_t i = 0; i < keyLength; ++i)
        key[i] = static_cast<unsigned char>(i + 1);   // 0x01 0x02 ... as in the published tables
    std::vector<unsigned char> stream(length, 0);
    Encrypter::RC4Crypt(stream.data(), stream.size(), key.data(), key.size());
    return stream;
}

std::string HexAt(const std::vector<unsigned char>& stream, std::size_t offset)
{
    return Hex(std::string(stream.begin() + static_cast<long>(offset), stream.begin() + static_cast<long>(offset) + 16));
}

TEST(Rc4, PublishedKeyStreamOfTheFortyBitKey)
{
    const std::map<std::size_t, const char*> kRows = {
        {0, "b2396305f03dc027ccc3524a0a1118a8"},    {16, "6982944f18fc82d589c403a47a0d0919"},
        {240, "28cb1132c96ce286421dcaadb8b69eae"},  {256, "1cfcf62b03eddb641d77dfcf7f8d8c93"},
        {496, "42b7d0cdd918a8a33dd51781c81f4041"},  {512, "6459844432a7da923cfb3eb4980661f6"},
        {752, "ec10327bde2beefd18f9277680457e22"},  {768, "eb62638d4f0ba1fe9fca20e05bf8ff2b"},
        {1008, "45129048e6a0ed0b56b490338f078da5"}, {1024, "30abbcc7c20b01609f23ee2d5f6bb7df"},
        {1520, "3294f744d8f9790507e70f62e5bbceea"}, {1536, "d8729db41882259bee4f825325f5a130"},
        {2032, "1eb14a0c13b3bf47fa2a0ba93ad45b8b"}, {2048, "cc582f8ba9f265e2b1be9112e975d2d7"},
        {3056, "f2e30f9bd102ecbf75aaade9bc35c43c"}, {3072, "ec0e11c479dc329dc8da7968fe965681"},
        {4080, "068326a2118416d21f9d04b2cd1ca050"}, {4096, "ff25b58995996707e51fbdf08b34d875"},
    };
    const std::vector<unsigned char> stream = KeyStream(5, 4112);
    for (const auto& row : kRows)
        EXPECT_EQ(HexAt(stream, row.first), row.second) << "offset " << row.first;
}

TEST(Rc4, PublishedKeyStreamsOfLongerKeys)
{
    // Key lengths 56 to 256 bits: the key schedule wraps the key at its own
    // length, which the library's 27-byte key relies on too.
    const struct { std::size_t keyLength; const char* first; const char* second; } kKeys[] = {
        {7, "293f02d47f37c9b633f2af5285feb46b", "e620f1390d19bd84e2e0fd752031afc1"},
        {8, "97ab8a1bf0afb96132f2f67258da15a8", "8263efdb45c4a18684ef87e6b19e5b09"},
        {10, "ede3b04643e586cc907dc21851709902", "03516ba78f413beb223aa5d4d2df6711"},
        {16, "9ac7cc9a609d1ef7b2932899cde41b97", "5248c4959014126a6e8a84f11d1a9e1c"},
        {24, "0595e57fe5f0bb3c706edac8a4b2db11", "dfde31344a1af769c74f070aee9e2326"},
        {32, "eaa6bd25880bf93d3f5d1e4ca2611d91", "cfa45c9f7e714b54bdfa80027cb14380"},
    };
    for (const auto& key : kKeys) {
        const std::vector<unsigned char> stream = KeyStream(key.keyLength, 32);
        EXPECT_EQ(HexAt(stream, 0), key.first) << key.keyLength << "-byte key";
        EXPECT_EQ(HexAt(stream, 16), key.second) << key.keyLength << "-byte key";
    }
}

TEST(Rc4, LibraryBlockUsesTheLibraryKeyAndRestartsEveryCall)
{
    const std::string plain = "<ui version=\"4.0\">\xC3\xA4</ui>\n";
    std::vector<unsigned char> expected(plain.begin(), plain.end());
    const std::string key = "Marlo Scramble Lexicon Data";
    Encrypter::RC4Crypt(expected.data(), expected.size(), reinterpret_cast<const unsigned char*>(key.data()),
                        key.size());
    EXPECT_EQ(Rc4Library(plain), std::string(expected.begin(), expected.end()));
    // Same text, same bytes: nothing carries over between calls.
    EXPECT_EQ(Rc4Library(plain), Rc4Library(plain));
    EXPECT_EQ(Rc4Library(Rc4Library(plain)), plain);

    std::vector<unsigned char> empty;
    Encrypter::RC4CryptBlock(empty);
    EXPECT_TRUE(empty.empty());
}

} // namespace
