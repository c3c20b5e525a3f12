#include "Encrypter.h"

#include "AUILibUtf8.h"

#include <cstring>
#include <fstream>
#include <utility>

namespace {

const unsigned char kLibraryKey[] = "Marlo Scramble Lexicon Data";
constexpr std::size_t kLibraryKeyLength = 27;
static_assert(sizeof(kLibraryKey) == kLibraryKeyLength + 1, "the key is 27 bytes without terminator");

std::uint32_t ReadLE32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteLE32(std::uint32_t value, unsigned char* p)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

std::uint32_t RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

const unsigned char Encrypter::md5_padding_[64] = {0x80};

void Encrypter::RC4Crypt(unsigned char* data, std::size_t length,
                         const unsigned char* key, std::size_t keyLength)
{
    if (length == 0 || keyLength == 0)
        return;
    unsigned char s[256];
    for (int k = 0; k < 256; ++k)
        s[k] = static_cast<unsigned char>(k);
    unsigned char j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<unsigned char>(j + s[i] + key[i % keyLength]);
        std::swap(s[i], s[j]);
    }
    unsigned char i = 0;
    j = 0;
    for (std::size_t n = 0; n < length; ++n) {
        i = static_cast<unsigned char>(i + 1);
        j = static_cast<unsigned char>(j + s[i]);
        std::swap(s[i], s[j]);
        data[n] ^= s[static_cast<unsigned char>(s[i] + s[j])];
    }
}

void Encrypter::RC4CryptBlock(std::vector<unsigned char>& data)
{
    RC4Crypt(data.data(), data.size(), kLibraryKey, kLibraryKeyLength);
}

void Encrypter::MD5Start(MD5Context& context)
{
    context.count[0] = context.count[1] = 0;
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
}

void Encrypter::MD5Update(MD5Context& context, const unsigned char* data, std::uint32_t length)
{
    if (length == 0)
        return;
    std::uint32_t used = (context.count[0] >> 3) & 0x3F;
    const std::uint32_t bits = length << 3;
    context.count[0] += bits;
    if (context.count[0] < bits)
        ++context.count[1];
    context.count[1] += length >> 29;

    const std::uint32_t room = 64 - used;
    std::uint32_t offset = 0;
    if (length >= room) {
        std::memcpy(context.buffer + used, data, room);
        MD5Process(context, context.buffer);
        for (offset = room; length - offset >= 64; offset += 64)
            MD5Process(context, data + offset);
        used = 0;
    }
    std::memcpy(context.buffer + used, data + offset, length - offset);
}

void Encrypter::MD5Process(MD5Context& context, const unsigned char block[64])
{
    static const std::uint32_t kSine[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static const int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

    std::uint32_t x[16];
    for (int k = 0; k < 16; ++k)
        x[k] = ReadLE32(block + 4 * k);

    std::uint32_t a = context.state[0], b = context.state[1], c = context.state[2], d = context.state[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        std::uint32_t f;
        int word;
        switch (round) {
        case 0: f = (b & c) | (~b & d); word = step; break;
        case 1: f = (b & d) | (c & ~d); word = (5 * step + 1) % 16; break;
        case 2: f = b ^ c ^ d; word = (3 * step + 5) % 16; break;
        default: f = c ^ (b | ~d); word = (7 * step) % 16; break;
        }
        const std::uint32_t rotated = RotateLeft(a + f + kSine[step] + x[word], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    context.state[0] += a;
    context.state[1] += b;
    context.state[2] += c;
    context.state[3] += d;
}

void Encrypter::MD5Finish(MD5Context& context, unsigned char digest[16])
{
    unsigned char bitCount[8];
    WriteLE32(context.count[0], bitCount);
    WriteLE32(context.count[1], bitCount + 4);
    const std::uint32_t used = (context.count[0] >> 3) & 0x3F;
    const std::uint32_t padLength = used < 56 ? 56 - used : 120 - used;
    MD5Update(context, md5_padding_, padLength);
    MD5Update(context, bitCount, 8);
    for (int k = 0; k < 4; ++k)
        WriteLE32(context.state[k], digest + 4 * k);
}

void Encrypter::MD5Generate(const unsigned char* data, std::uint32_t length, unsigned char digest[16])
{
    MD5Context context;
    MD5Start(context);
    MD5Update(context, data, length);
    MD5Finish(context, digest);
}

std::wstring Encrypter::ReadAndDecryptFile(const std::wstring& path)
{
    try {
        std::string bytePath;
        if (!AUILib::WideToUtf8(path, bytePath))
            return std::wstring();
        std::ifstream file(bytePath, std::ios::binary | std::ios::ate);
        if (!file.is_open())
            return std::wstring();
        const std::streamoff size = file.tellg();
        if (size <= static_cast<std::streamoff>(kDigestSize))
            return std::wstring();
        const auto bodySize = static_cast<std::uint64_t>(size) - kDigestSize;
        if (bodySize > kMaxBodySize)
            return std::wstring();

        std::vector<unsigned char> body(static_cast<std::size_t>(bodySize), 0);
        unsigned char stored[kDigestSize] = {};
        file.seekg(0, std::ios::beg);
        file.read(reinterpret_cast<char*>(body.data()), static_cast<std::streamsize>(body.size()));
        file.read(reinterpret_cast<char*>(stored), kDigestSize);

        unsigned char computed[kDigestSize];
        MD5Generate(body.data(), static_cast<std::uint32_t>(body.size()), computed);
        if (std::memcmp(computed, stored, kDigestSize) != 0)
            return std::wstring();

        RC4CryptBlock(body);
        std::wstring text;
        if (!AUILib::Utf8ToWide(reinterpret_cast<const char*>(body.data()), body.size(), text))
            return std::wstring();
        return text;
    } catch (...) {
        return std::wstring();
    }
}
