// The format's checksum, its tables, the standalone LZMA file decoder and the
// read helper.
#include "CKW_Kzip.h"
#include "KzipTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

struct CrcVector
{
    std::string data;
    unsigned long polynomial;
    unsigned long crc;
};

TEST(KzipCrc, KnownVectors)
{
    // The last one is the POSIX cksum polynomial without its final XOR.
    for (const CrcVector& v : {CrcVector{"abc", 0x19780625ul, 0xF4AE1735ul},
                               CrcVector{"", 0x19780625ul, 0ul},
                               CrcVector{"123456789", 0x04C11DB7ul, 0x765E7680ul ^ 0xFFFFFFFFul}}) {
        EXPECT_EQ(CKW_Kzip().RunCRC32(reinterpret_cast<const unsigned char*>(v.data.data()), v.data.size(),
                                      v.polynomial),
                  v.crc)
            << v.data;
    }
}

TEST(KzipCrc, MatchesTheBytewiseFormAtEveryLengthAndAlignment)
{
    const std::string data = randomBytes(4099, 11);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    CKW_Kzip kzip;
    for (size_t offset : {0u, 1u, 3u, 7u})
        for (size_t length : {0u, 1u, 7u, 8u, 9u, 63u, 4090u}) {
            EXPECT_EQ(kzip.RunCRC32(bytes + offset, length, kzip::kMagic),
                      kzip::checksum(bytes + offset, length))
                << offset << "+" << length;
        }
}

TEST(KzipCrc, TablesFollowTheShiftRegister)
{
    CKW_Kzip kzip;
    unsigned long t64[256], t32[256];
    kzip.BuildTable64(kzip::kMagic, t64);
    kzip.BuildTable32(kzip::kMagic, t32);
    EXPECT_EQ(t64[0], 0ul);
    EXPECT_EQ(t64[1], 0x19780625ul);   // the top bit falls out only on the last shift
    bool highBits = false;
    for (int i = 0; i < 256; ++i) {
        EXPECT_LE(t64[i], 0xFFFFFFFFul);
        EXPECT_EQ(t32[i] & 0xFFFFFFFFul, t64[i]) << i;
        highBits = highBits || (t32[i] >> 32) != 0;
        // One table step over the single byte i from a zero register.
        const unsigned char b = static_cast<unsigned char>(i);
        EXPECT_EQ(kzip.RunCRC32(&b, 1, kzip::kMagic), t64[i]);
    }
    EXPECT_TRUE(highBits);
}

// ---- UnzipFileToFile --------------------------------------------------------

TEST(KzipFileToFile, DecodesKnownAndUnknownSizeStreams)
{
    KzipSandbox box;
    const std::string data = std::string(70000, 'q') + randomBytes(5000, 5);
    for (bool known : {true, false}) {
        QString in = box.env.root() + "/in.lzma", out = box.env.root() + "/out.bin";
        ASSERT_TRUE(writeBytes(in, kzip::encodeLzmaAlone(data, {6, 0, known})));
        ASSERT_TRUE(writeBytes(out, std::string(200000, 'z')));   // older, longer output
        EXPECT_TRUE(CKW_Kzip().UnzipFileToFile(in, out));
        EXPECT_EQ(readBytes(out), data);
    }
}

TEST(KzipFileToFile, RefusesWhatItCannotDecode)
{
    KzipSandbox box;
    const std::string stream = kzip::encodeLzmaAlone(randomBytes(10000, 9));
    struct Row
    {
        const char* label;
        std::string input;   // "<none>": no input file
        bool outputFolderExists;
    };
    for (const Row& r : {Row{"missing input", "<none>", true},
                         Row{"twelve bytes", stream.substr(0, 12), true},
                         Row{"header only", stream.substr(0, 13), true},
                         Row{"truncated stream", stream.substr(0, stream.size() / 2), true},
                         Row{"output cannot be created", stream, false}}) {
        QString in = box.env.root() + "/in.lzma";
        QFile::remove(in);
        if (r.input != "<none>") {
            ASSERT_TRUE(writeBytes(in, r.input));
        }
        QString out = box.env.root() + (r.outputFolderExists ? "/out.bin" : "/nowhere/out.bin");
        EXPECT_FALSE(CKW_Kzip().UnzipFileToFile(in, out)) << r.label;
        EXPECT_FALSE(QFileInfo::exists(out)) << r.label << ": no partial output may stay";
    }
}

TEST(KzipReadFile, TrueOnlyWhenEveryByteWasRead)
{
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(f);
    std::fputs("0123456789", f.get());
    std::rewind(f.get());
    char buf[16] = {};
    CKW_Kzip kzip;
    EXPECT_TRUE(kzip.MyReadFile(f.get(), buf, 6));
    EXPECT_EQ(std::string(buf, 6), "012345");
    EXPECT_FALSE(kzip.MyReadFile(f.get(), buf, 6));   // only four left
    EXPECT_FALSE(kzip.MyReadFile(nullptr, buf, 1));
}

} // namespace
