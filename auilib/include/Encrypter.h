#pragma once
// The library's enciphered text files: the UTF-8 text enciphered with RC4
// under the fixed library key, followed by the MD5 digest of the enciphered
// bytes. No state is kept between calls; every call may run on any thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Encrypter
{
public:
    // Running state of one MD5 computation.
    struct MD5Context
    {
        std::uint32_t count[2];     // message bits so far, low word first
        std::uint32_t state[4];     // A, B, C, D
        unsigned char buffer[64];   // input not yet processed
    };

    static const unsigned char md5_padding_[64];

    // Bodies above this size are refused without being read: the library's
    // forms and language tables are small, and MD5 lengths stay 32-bit.
    static constexpr std::uint64_t kMaxBodySize = 64ull * 1024 * 1024;
    static constexpr std::size_t kDigestSize = 16;

    // The deciphered text of an enciphered file, or an empty text on any
    // failure (path, open, size, digest, UTF-8); never throws.
    static std::wstring ReadAndDecryptFile(const std::wstring& path);

    // Enciphers or deciphers in place under the library key.
    static void RC4CryptBlock(std::vector<unsigned char>& data);
    // The same cipher under any key of 1 to 256 bytes.
    static void RC4Crypt(unsigned char* data, std::size_t length,
                         const unsigned char* key, std::size_t keyLength);

    static void MD5Generate(const unsigned char* data, std::uint32_t length, unsigned char digest[16]);
    static void MD5Start(MD5Context& context);
    static void MD5Update(MD5Context& context, const unsigned char* data, std::uint32_t length);
    static void MD5Process(MD5Context& context, const unsigned char block[64]);
    static void MD5Finish(MD5Context& context, unsigned char digest[16]);
};
