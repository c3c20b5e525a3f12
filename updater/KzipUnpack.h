#pragma once
// The Kzip unpacking engine behind CKW_Kzip. It takes the folder for its
// temporary files as an argument, so it needs nothing of the agent but its
// link-safe file helpers (platform/NoFollowFile), QtCore and liblzma (the
// fuzz target links it on its own).
//
// A package arrives from the network, so whatever it holds the engine
//  - reads and validates the whole directory before anything is written,
//  - writes only below the output folder (relative names, no ".." segment,
//    no name used both as a file and as a folder, and no symbolic link below
//    the output folder followed: folders are walked with O_NOFOLLOW; a link
//    in place of the output folder itself is removed and the folder made),
//  - makes every file it writes anew, so a link planted at a name, symbolic
//    or hard, is removed rather than written through,
//  - writes no entry unless the LZMA stream decodes cleanly to its size,
//  - keeps memory bounded: the body is streamed in chunks and the LZMA
//    dictionary, capped to the decoded size, may be at most 256 MiB,
//  - opens nothing but regular files, and never blocks on opening one.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace KzipUnpack {

constexpr uint32_t kMagic = 0x19780625u;

// Result codes shared with CKW_Kzip::Unzip2 / Unzip.
enum Result : int {
    kOk = 1,
    kTargetFailed = 0,      // a target cannot be opened or written (or its name is unusable)
    kBadMagic = -1,
    kBadChecksum = -2,
    kUnreadable = -3,       // the package cannot be opened or is shorter than its header
    kBadContent = -4,       // temporary file failure, bad LZMA part or bad directory
};

enum class Form {
    Current,   // 28-byte header, folder entries, "\" and "/" both separate folders
    Legacy,    // 32-byte header, 64-bit checksum field, no folder entries
};

// The largest dictionary a stream may need (after capping it to the decoded
// size): every standard preset (64 MiB at most) with room to spare. liblzma
// runs under a limit of that plus a little for its own state.
constexpr uint64_t kMaxDictionary = 256ull << 20;
constexpr uint64_t kDecoderMemLimit = kMaxDictionary + (1ull << 20);

// Receives a line for the agent's log (why a package was refused).
using Log = std::function<void(const QString&)>;

// The CRC of the format: 32-bit register, MSB first, initial value 0, no
// final XOR. Tables for the format's own polynomial are built once.
uint32_t crc(uint32_t polynomial, const unsigned char* data, size_t length, uint32_t crc = 0);

// Gives a new descriptor of the output folder (made when needed), which the
// unpacker closes, or -1. Called only once the package has been checked and
// has entries to write.
using OpenFolder = std::function<int()>;

// Unpacks `package` into the folder `openOutput` gives, using the three
// temporary files "infile_tmp", "outfile_tmp" and "fileover_tmp" inside the
// open folder `tempFolderFd`. The temporary files are removed however the
// unpack ends.
int unpackInto(const QString& package, const OpenFolder& openOutput, int tempFolderFd, Form form,
               const Log& log = Log());

// The same with folders given as paths: `tempFolder` must exist; the output
// folder's own level is made as the unpacker's (a link there is removed),
// the levels above it are taken as they are.
int unpack(const QString& package, const QString& outputFolder, const QString& tempFolder, Form form,
           const Log& log = Log());

// Decodes the LZMA-alone file `input` into `output` (made anew).
// Succeeds only when the stream ends cleanly. A stream of known size must give
// exactly that size; for a stream of unknown size (all-ones low size word),
// `expectedWhenUnknown` (when not UINT64_MAX) is the exact size it must give.
// No partial output is left behind on failure.
bool decodeFile(const QString& input, const QString& output, uint64_t expectedWhenUnknown = UINT64_MAX,
                const Log& log = Log());

} // namespace KzipUnpack
