// auikw enc IN OUT: writes IN enciphered under the library key, followed by
// the MD5 digest of the enciphered bytes.
// auikw dec IN OUT: checks the digest of an enciphered file and writes the
// deciphered bytes; exits non-zero on a bad digest or a file of 16 bytes or
// fewer, leaving OUT unwritten.
#include "Encrypter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: auikw enc IN OUT\n       auikw dec IN OUT\n");
    return 2;
}

bool ReadAll(const char* path, std::vector<unsigned char>& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteAll(const char* path, const unsigned char* data, std::size_t length)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
    out.close();
    return !out.fail();
}

int Encipher(const char* inPath, const char* outPath)
{
    std::vector<unsigned char> data;
    if (!ReadAll(inPath, data)) {
        std::fprintf(stderr, "auikw: cannot read %s\n", inPath);
        return 1;
    }
    if (data.empty() || data.size() > Encrypter::kMaxBodySize) {
        std::fprintf(stderr, "auikw: %s: the library reads texts of 1 byte to 64 MiB only\n", inPath);
        return 1;
    }
    Encrypter::RC4CryptBlock(data);
    unsigned char digest[Encrypter::kDigestSize];
    Encrypter::MD5Generate(data.data(), static_cast<std::uint32_t>(data.size()), digest);
    data.insert(data.end(), digest, digest + sizeof digest);
    if (!WriteAll(outPath, data.data(), data.size())) {
        std::fprintf(stderr, "auikw: cannot write %s\n", outPath);
        return 1;
    }
    return 0;
}

int Decipher(const char* inPath, const char* outPath)
{
    std::vector<unsigned char> data;
    if (!ReadAll(inPath, data)) {
        std::fprintf(stderr, "auikw: cannot read %s\n", inPath);
        return 1;
    }
    if (data.size() <= Encrypter::kDigestSize || data.size() - Encrypter::kDigestSize > Encrypter::kMaxBodySize) {
        std::fprintf(stderr, "auikw: %s: not an enciphered file (size)\n", inPath);
        return 1;
    }
    const std::size_t bodySize = data.size() - Encrypter::kDigestSize;
    unsigned char digest[Encrypter::kDigestSize];
    Encrypter::MD5Generate(data.data(), static_cast<std::uint32_t>(bodySize), digest);
    if (std::memcmp(digest, data.data() + bodySize, sizeof digest) != 0) {
        std::fprintf(stderr, "auikw: %s: digest does not match\n", inPath);
        return 1;
    }
    data.resize(bodySize);
    Encrypter::RC4CryptBlock(data);
    if (!WriteAll(outPath, data.data(), data.size())) {
        std::fprintf(stderr, "auikw: cannot write %s\n", outPath);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Usage();
    if (std::strcmp(argv[1], "enc") == 0)
        return Encipher(argv[2], argv[3]);
    if (std::strcmp(argv[1], "dec") == 0)
        return Decipher(argv[2], argv[3]);
    return Usage();
}
