#pragma once
// Writer of Kzip packages for the tests, the fuzz seeds, the demo service and
// the benchmark: header, checksum (MSB-first CRC with the magic as
// polynomial), one LZMA-alone stream and the directory with "\" names.
//
// The low-level pieces (encodeLzmaAlone, directory, assemble) are separate so
// that tests can build damaged packages on purpose.
#include <cstdint>
#include <string>
#include <vector>

namespace kzip {

constexpr uint32_t kMagic = 0x19780625u;

enum class Header {
    Current,   // 28 bytes: checksum u32 at 8, LZMA length at 16
    Legacy,    // 32 bytes: checksum u64 at 8, LZMA length at 20
};

struct LzmaOptions
{
    uint32_t preset = 6;
    uint32_t dictSize = 0;    // 0: the preset's own
    bool knownSize = true;    // false: all-ones size field and an end marker
};

// The format's checksum over `data`, continuing from `crc`.
uint32_t checksum(const void* data, size_t length, uint32_t crc = 0);

// A complete LZMA-alone stream (13-byte header + data) for `data`.
std::string encodeLzmaAlone(const std::string& data, const LzmaOptions& options = {});

struct DirEntry
{
    std::string name;   // raw bytes, at most 255 (embedded zero bytes allowed)
    uint32_t size;
};

// The directory bytes: N, then n, 0, name, size for each entry.
std::string directory(const std::vector<DirEntry>& entries);

// Header + LZMA part + directory, with the checksum and length filled in.
std::string assemble(const std::string& lzmaPart, const std::string& directoryBytes,
                     Header header = Header::Current);

// Recomputes the checksum of an (edited) package in place.
void refreshChecksum(std::string& package, Header header = Header::Current);

// Collects folders and files, then writes them as one package.
class Writer
{
public:
    explicit Writer(LzmaOptions options = {});

    // A folder entry: size 0, the name ending in "\" (added when missing).
    void addFolder(std::string name);
    // A file whose contents are in memory.
    void addFile(std::string name, std::string contents);
    // A file read from disk while the package is written (for big packages).
    void addFileFromDisk(std::string name, std::string path, uint64_t size);

    std::vector<DirEntry> entries() const;

    // The whole package in memory (throws std::runtime_error on failure).
    std::string package(Header header = Header::Current) const;
    // Streams the package to a file; false with a message on failure.
    bool writeTo(const std::string& path, std::string* error = nullptr,
                 Header header = Header::Current) const;

private:
    struct Item
    {
        std::string name;
        std::string contents;
        std::string path;   // non-empty: contents come from this file
        uint64_t size;
    };
    LzmaOptions m_options;
    std::vector<Item> m_items;
};

} // namespace kzip
