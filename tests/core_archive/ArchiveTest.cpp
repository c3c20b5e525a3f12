// The binary archive: its byte layout, strings of both kinds, and loading
// every cut-short prefix of a valid archive.
#include "CKW_Archive.h"
#include "CountingAllocator.h"
#include "IKW_Stream.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const CKW_ArchiveSaver& saver)
{
    return std::vector<uint8_t>(saver.GetBuffer(), saver.GetBuffer() + saver.GetLength());
}

using B = std::vector<uint8_t>;

TEST(ArchiveTest, ByteLayout)
{
    {
        CKW_ArchiveSaver saver;
        saver << 1 << CKW_ByteStringC("ab") << (uint8_t)7;
        EXPECT_EQ((B{1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 7}), Bytes(saver));
    }
    {
        CKW_ArchiveSaver saver;
        saver << CKW_WideString(L"A");
        EXPECT_EQ((B{4, 0, 0, 0, 'A', 0, 0, 0}), Bytes(saver));
    }
    {
        CKW_ArchiveSaver saver;
        saver << true << 0xFFFFFFFEu << -2.0f << (int64_t)-3 << (const char*)nullptr << (const wchar_t*)nullptr;
        EXPECT_EQ((B{1, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xC0, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                     0xFF, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0}),
                  Bytes(saver));
    }
    {
        CKW_ArchiveSaver saver;
        EXPECT_TRUE(saver.Write("xyz", 3));
        saver << CKW_ByteString("\0z", 2);
        EXPECT_EQ((B{'x', 'y', 'z', 2, 0, 0, 0, 0, 'z'}), Bytes(saver));
    }
}

TEST(ArchiveTest, WideStringsComeBackWhole)
{
    const wchar_t* texts[] = {L"", L"A", L"\u00e9t\u00e9", L"\U0001F600 and \U00010000", L"\xffff"};
    for (const wchar_t* text : texts) {
        CKW_ArchiveSaver saver;
        saver << CKW_WideString(text) << 42;
        CKW_ArchiveLoader loader(saver.GetBuffer(), saver.GetLength());
        CKW_WideString back(L"sentinel");
        int after = 0;
        loader >> back >> after;
        EXPECT_EQ(CKW_WideString(text), back);
        EXPECT_EQ(42, after);
        EXPECT_TRUE(loader.IsEOF());
    }
    CKW_ArchiveSaver saver;
    saver << CKW_WideString(L"\U0001F600");
    EXPECT_EQ((B{6, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}), Bytes(saver));
}

TEST(ArchiveTest, StreamGetsEveryValue)
{
    struct MemoryStream : IKW_FileStream {
        std::vector<uint8_t> bytes;
        bool failWrites = false;
        void Release() override {}
        IKW_FileStream* Retain() override { return this; }
        int64_t GetSize() override { return (int64_t)bytes.size(); }
        bool IsEOF() override { return true; }
        int64_t GetPosition() override { return 0; }
        size_t ReadBlock(void*, size_t) override { return 0; }
        bool ReadBlock(void*, int64_t, size_t) override { return false; }
        bool WriteBlock(const void* buffer, int64_t offset, size_t size) override
        {
            if (failWrites || offset != (int64_t)bytes.size())
                return false;
            bytes.insert(bytes.end(), (const uint8_t*)buffer, (const uint8_t*)buffer + size);
            return true;
        }
        using IKW_FileStream::WriteBlock;
        bool Flush() override { return true; }
    } stream;
    CKW_ArchiveSaver saver(&stream);
    saver << 1 << CKW_ByteStringC("ab") << (uint8_t)7;
    EXPECT_EQ(0, saver.GetLength());
    EXPECT_EQ((B{1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 7}), stream.bytes);
    EXPECT_TRUE(saver.Write("!", 1));
    stream.failWrites = true;
    EXPECT_FALSE(saver.Write("!", 1));
}

TEST(ArchiveTest, ValueThatCannotBeBufferedWholeIsDropped)
{
    CountingAllocator alloc;
    CKW_ArchiveSaver saver(nullptr, &alloc);
    saver << 5;
    alloc.failAfter = 0;
    const std::vector<char> big(4000, 'b');
    saver << CKW_ByteStringC(big.data(), (int)big.size()) << 6;   // the int still fits
    alloc.failAfter = -1;
    saver << 7;
    EXPECT_EQ((B{5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0}), Bytes(saver));
}

TEST(ArchiveTest, ShortInputChangesNothing)
{
    const uint8_t three[] = {1, 2, 3};
    CKW_ArchiveLoader loader(three, 3);
    int value = 99;
    loader >> value;
    EXPECT_EQ(99, value);
    EXPECT_FALSE(loader.IsEOF());
    EXPECT_EQ(0u, loader.GetPosition());

    // A string's length is there, its bytes are not.
    const uint8_t cut[] = {5, 0, 0, 0, 'a', 'b'};
    CKW_ArchiveLoader strings(cut, sizeof cut);
    CKW_ByteString text("kept");
    strings >> text;
    EXPECT_EQ("kept", text);
    EXPECT_EQ(0u, strings.GetPosition());

    const uint8_t empty[] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 9};
    CKW_ArchiveLoader lengths(empty, sizeof empty);
    CKW_ByteString a("x"), b("y");
    uint8_t last = 0;
    lengths >> a >> b >> last;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(b.IsEmpty());   // a negative length reads as empty
    EXPECT_EQ(9, last);
    EXPECT_TRUE(lengths.IsEOF());

    uint8_t skipped[2] = {};
    CKW_ArchiveLoader raw(three, 3);
    EXPECT_TRUE(raw.Read(nullptr, 1));
    EXPECT_FALSE(raw.Read(skipped, 3));
    EXPECT_EQ(1u, raw.GetPosition());
}

// Sentinels that no saved value equals.
struct Targets {
    int i = -7;
    CKW_ByteString bytes = "unset";
    uint8_t u8 = 0xAA;
    CKW_WideString wide = L"unset";
    int64_t i64 = -7;
    float f = -7.0f;
    bool flag = false;
    unsigned u = 7;
    CKW_ByteString empty = "unset";
    uint8_t tail = 0xAA;

    void Load(CKW_ArchiveLoader& loader)
    {
        loader >> i >> bytes >> u8 >> wide >> i64 >> f >> flag >> u >> empty >> tail;
    }
};

TEST(ArchiveTest, EveryPrefixLoadsSafely)
{
    CKW_ArchiveSaver saver;
    saver << 123456 << CKW_ByteStringC("bytes\0in", 8) << (uint8_t)200 << CKW_WideString(L"w\U0001F600")
          << (int64_t)0x0102030405060708ll << 3.5f << true << 0xDEADBEEFu << "" << (uint8_t)1;
    const std::vector<uint8_t> full = Bytes(saver);
    // Where each value ends in the archive, in load order.
    const uint32_t ends[] = {4, 16, 17, 29, 37, 41, 42, 46, 50, 51};
    ASSERT_EQ(51u, full.size());

    Targets saved;
    {
        CKW_ArchiveLoader loader(full.data(), (uint32_t)full.size());
        saved.Load(loader);
        EXPECT_TRUE(loader.IsEOF());
    }
    for (uint32_t cut = 0; cut <= full.size(); ++cut) {
        // An exact-size copy, so that a read past the end is caught.
        std::unique_ptr<uint8_t[]> prefix(new uint8_t[cut ? cut : 1]);
        memcpy(prefix.get(), full.data(), cut);
        CKW_ArchiveLoader loader(prefix.get(), cut);
        Targets t;
        t.Load(loader);
        const Targets fresh;
        int n = 0;
        while (n < 10 && ends[n] <= cut)
            ++n;
        EXPECT_EQ(n > 0 ? ends[n - 1] : 0u, loader.GetPosition()) << cut;
        // The first n values are read, the others untouched.
        EXPECT_EQ(n > 0 ? saved.i : fresh.i, t.i) << cut;
        EXPECT_EQ(n > 1 ? saved.bytes : fresh.bytes, t.bytes) << cut;
        EXPECT_EQ(n > 2 ? saved.u8 : fresh.u8, t.u8) << cut;
        EXPECT_EQ(n > 3 ? saved.wide : fresh.wide, t.wide) << cut;
        EXPECT_EQ(n > 4 ? saved.i64 : fresh.i64, t.i64) << cut;
        EXPECT_EQ(n > 5 ? saved.f : fresh.f, t.f) << cut;
        EXPECT_EQ(n > 6 ? saved.flag : fresh.flag, t.flag) << cut;
        EXPECT_EQ(n > 7 ? saved.u : fresh.u, t.u) << cut;
        EXPECT_EQ(n > 8 ? saved.empty : fresh.empty, t.empty) << cut;
        EXPECT_EQ(n > 9 ? saved.tail : fresh.tail, t.tail) << cut;
    }
    EXPECT_EQ(123456, saved.i);
    EXPECT_EQ(CKW_ByteString("bytes\0in", 8), saved.bytes);
    EXPECT_EQ(L"w\U0001F600", saved.wide);
    EXPECT_EQ(0x0102030405060708ll, saved.i64);
    EXPECT_EQ(3.5f, saved.f);
    EXPECT_EQ(0xDEADBEEFu, saved.u);
    EXPECT_TRUE(saved.empty.IsEmpty());
}

} // namespace
