#include "KzipUnpack.h"
#include "FolderWalk.h"
#include "NoFollowFile.h"

#include <QByteArray>

#include <lzma.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KzipUnpack {
namespace {

constexpr size_t kChunk = size_t(1) << 20;
constexpr size_t kLzmaHeaderSize = 13;
// n, a pad byte, at most 255 name bytes and the size: the largest directory
// that 65535 entries can fill. Bytes past it are never looked at.
constexpr size_t kMaxEntryBytes = 2 + 255 + 4;
constexpr size_t kMaxDirectoryBytes = 2 + size_t(65535) * kMaxEntryBytes;

// ---- CRC -------------------------------------------------------------------

// Slicing-by-8 tables for the MSB-first CRC: t[k][i] is the register after
// byte i went in followed by k zero bytes.
struct CrcTables
{
    uint32_t t[8][256];
};

void buildCrcTables(uint32_t polynomial, CrcTables& tables)
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        uint32_t r = 0;
        for (int bit = 0; bit < 8; ++bit) {
            r = ((c ^ r) & 0x80000000u) ? (r << 1) ^ polynomial : (r << 1);
            c <<= 1;
        }
        tables.t[0][i] = r;
    }
    for (int k = 1; k < 8; ++k)
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t prev = tables.t[k - 1][i];
            tables.t[k][i] = (prev << 8) ^ tables.t[0][prev >> 24];
        }
}

const CrcTables& magicTables()
{
    static const CrcTables tables = [] {
        CrcTables t;
        buildCrcTables(kMagic, t);
        return t;
    }();
    return tables;
}

uint32_t crcWith(const CrcTables& tb, const unsigned char* p, size_t n, uint32_t crc)
{
    while (n >= 8) {
        const uint32_t x = crc ^ (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
        crc = tb.t[7][x >> 24] ^ tb.t[6][(x >> 16) & 0xFF] ^ tb.t[5][(x >> 8) & 0xFF] ^ tb.t[4][x & 0xFF]
            ^ tb.t[3][p[4]] ^ tb.t[2][p[5]] ^ tb.t[1][p[6]] ^ tb.t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        crc = (crc << 8) ^ tb.t[0][(crc >> 24) ^ *p++];
    return crc;
}

// ---- files -----------------------------------------------------------------

uint32_t le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint64_t le64(const unsigned char* p)
{
    return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
}

void putLe32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// An uninitialised byte buffer: a chunk is always filled before it is read.
class Buffer
{
public:
    explicit Buffer(uint64_t wanted)
        : m_size(size_t(std::max<uint64_t>(1, std::min<uint64_t>(wanted, kChunk)))), m_data(new unsigned char[m_size])
    {
    }
    unsigned char* data() { return m_data.get(); }
    size_t size() const { return m_size; }

private:
    size_t m_size;
    std::unique_ptr<unsigned char[]> m_data;
};

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    bool ok() const { return m_fd >= 0; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

QByteArray native(const QString& path)
{
    return path.toUtf8();
}

// Clears O_NONBLOCK once a descriptor is known to be a regular file; closes
// it and gives -1 for anything else (a FIFO, a device, a folder).
int keepIfRegular(int fd)
{
    struct stat st;
    if (fd >= 0
        && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
            || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Non-blocking for the open itself: a FIFO given as a package would
// otherwise hold the open until some writer turns up.
int openRead(const QByteArray& path)
{
    return keepIfRegular(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

// A temporary file, made anew: a link (symbolic or hard) planted at its
// name is removed, never written through.
int openFresh(const QByteArray& path)
{
    return Platform::createFreshAt(AT_FDCWD, path.constData());
}

// The output folder itself, as the agent's own: a link in its place is
// removed, never followed (the folders above it are the caller's).
int openOutputFolder(QByteArray root)
{
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);   // a trailing separator would make the open follow a link
    if (!Platform::makeOwnFolder(QString::fromUtf8(root)))
        return -1;
    return ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Reads exactly n bytes (at `offset` when it is not negative).
bool readFully(int fd, void* buffer, size_t n, off_t offset = -1)
{
    auto* p = static_cast<unsigned char*>(buffer);
    while (n > 0) {
        const ssize_t got = offset >= 0 ? ::pread(fd, p, n, offset) : ::read(fd, p, n);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= size_t(got);
        if (offset >= 0)
            offset += got;
    }
    return true;
}

bool writeFully(int fd, const void* buffer, size_t n)
{
    auto* p = static_cast<const unsigned char*>(buffer);
    while (n > 0) {
        const ssize_t put = ::write(fd, p, n);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        n -= size_t(put);
    }
    return true;
}

// Copies `length` bytes at `offset` of `from` into the file `name` of the
// folder `dirFd`, made anew.
bool copyRangeToFile(int from, uint64_t offset, uint64_t length, int dirFd, const char* name, Buffer& buffer)
{
    Fd to(Platform::createFreshAt(dirFd, name));
    if (!to.ok())
        return false;
    while (length > 0) {
        const size_t n = size_t(std::min<uint64_t>(length, buffer.size()));
        if (!readFully(from, buffer.data(), n, off_t(offset)) || !writeFully(to.get(), buffer.data(), n))
            return false;
        offset += n;
        length -= n;
    }
    return to.close();
}

// Opens the folder `folders` ("a/b", or "" for `rootFd` itself) below the
// folder `rootFd`, creating each missing level. No level is followed when it
// is a symbolic link. Returns a new descriptor, or -1.
int openFolders(int rootFd, const std::string& folders)
{
    return Platform::openFolderAt(rootFd, QString::fromStdString(folders), Platform::FolderWalk::Make);
}

// ---- directory -------------------------------------------------------------

struct Entry
{
    std::string rel;   // the path below the output folder, segments joined by "/"
    bool folder;
    uint32_t size;
};

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Turns an entry name into a path relative to the output folder, segments
// joined by "/". False for names that could leave the output folder or that
// cannot be a file: a leading separator, a ".." segment under either
// separator, an empty name or one ending in a separator for a file.
bool relativePath(const unsigned char* name, size_t length, uint32_t size, Form form,
                  std::string& rel, bool& folder)
{
    const size_t cut = size_t(std::find(name, name + length, 0) - name);
    const QByteArray utf8 = QString::fromUtf8(reinterpret_cast<const char*>(name), int(cut)).toUtf8();
    const bool bothSeparators = form == Form::Current;
    auto separates = [&](char c) { return c == '/' || (bothSeparators && c == '\\'); };

    if (!utf8.isEmpty() && isSeparator(utf8.front()))
        return false;
    // ".." is refused whichever separator surrounds it, in both forms.
    for (int start = 0; start <= utf8.size();) {
        int end = start;
        while (end < utf8.size() && !isSeparator(utf8[end]))
            ++end;
        if (end - start == 2 && utf8[start] == '.' && utf8[start + 1] == '.')
            return false;
        start = end + 1;
    }

    const bool endsWithSeparator = !utf8.isEmpty() && separates(utf8.back());
    folder = form == Form::Current && size == 0 && (utf8.isEmpty() || endsWithSeparator);

    rel.clear();
    std::string last;
    for (int start = 0; start <= utf8.size();) {
        int end = start;
        while (end < utf8.size() && !separates(utf8[end]))
            ++end;
        last.assign(utf8.constData() + start, size_t(end - start));
        if (!last.empty() && last != ".") {
            if (!rel.empty())
                rel += '/';
            rel += last;
        }
        start = end + 1;
    }
    if (!folder && (endsWithSeparator || rel.empty() || last.empty() || last == "."))
        return false;
    return true;
}

// False when one path is used both as a file and as a folder ("a", then
// "a/b" or "a/"), in any order: the second use would write into or over the
// first, so the package is refused before anything is written.
bool fileAndFolderApart(const std::vector<Entry>& entries)
{
    std::unordered_set<std::string> files;
    for (const Entry& e : entries)
        if (!e.folder)
            files.insert(e.rel);
    for (const Entry& e : entries) {
        if (e.folder && files.count(e.rel))
            return false;
        for (size_t slash = e.rel.find('/'); slash != std::string::npos; slash = e.rel.find('/', slash + 1))
            if (files.count(e.rel.substr(0, slash)))
                return false;
    }
    return true;
}

// Parses and checks the whole directory. Returns kOk or the failure code.
int parseDirectory(const std::vector<unsigned char>& dir, Form form, std::vector<Entry>& entries,
                   uint64_t& total)
{
    if (dir.size() < 2)
        return kBadContent;
    const size_t count = size_t(dir[0]) | size_t(dir[1]) << 8;
    entries.clear();
    entries.reserve(count);
    total = 0;
    size_t pos = 2;
    int result = kOk;
    for (size_t i = 0; i < count; ++i) {
        if (dir.size() - pos < 2)
            return kBadContent;
        const uint8_t n = dir[pos];
        pos += 2;
        if (dir.size() - pos < size_t(n) + 4)
            return kBadContent;
        Entry e{std::string(), false, le32(&dir[pos + n])};
        // An unusable name fails the package, but only once the sizes have
        // been read through: a truncated directory stays a content error.
        if (!relativePath(&dir[pos], n, e.size, form, e.rel, e.folder))
            result = kTargetFailed;
        pos += size_t(n) + 4;
        total += e.size;
        entries.push_back(std::move(e));
    }
    if (result == kOk && !fileAndFolderApart(entries))
        result = kTargetFailed;
    return result;
}

} // namespace

uint32_t crc(uint32_t polynomial, const unsigned char* data, size_t length, uint32_t crc)
{
    if (polynomial == kMagic)
        return crcWith(magicTables(), data, length, crc);
    CrcTables tables;
    buildCrcTables(polynomial, tables);
    return crcWith(tables, data, length, crc);
}

namespace {

// Decodes the LZMA-alone stream of the regular file `in` (`inSize` bytes)
// into `out`, which `makeOut` gives once the header has been accepted (so
// that nothing is made for a stream refused at once); see decodeFile.
bool decodeStream(int in, uint64_t inSize, Fd& out, const std::function<int()>& makeOut,
                  uint64_t expectedWhenUnknown, const Log& log)
{
    if (inSize < kLzmaHeaderSize)
        return false;
    unsigned char header[kLzmaHeaderSize];
    if (!readFully(in, header, sizeof header))
        return false;

    // Only the low half of the size field counts; all ones there means the
    // size is unknown and the stream carries an end marker.
    const uint32_t sizeLow = le32(header + 5);
    const bool unknown = sizeLow == 0xFFFFFFFFu;
    const uint64_t target = unknown ? expectedWhenUnknown : sizeLow;

    // A dictionary larger than the whole output is never used, so the
    // header's claim is capped before liblzma sizes its allocation by it.
    unsigned char fed[kLzmaHeaderSize];
    fed[0] = header[0];
    uint32_t dict = le32(header + 1);
    if (target != UINT64_MAX)
        dict = uint32_t(std::min<uint64_t>(dict, std::max<uint64_t>(target, 4096)));
    if (dict > kMaxDictionary) {
        if (log)
            log(QStringLiteral("Kzip: LZMA dictionary of %1 bytes is above the limit of %2 bytes")
                    .arg(dict)
                    .arg(kMaxDictionary));
        return false;
    }
    putLe32(fed + 1, dict);
    putLe32(fed + 5, unknown ? 0xFFFFFFFFu : sizeLow);
    putLe32(fed + 9, unknown ? 0xFFFFFFFFu : 0);

    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&strm, kDecoderMemLimit) != LZMA_OK)
        return false;
    out.reset(makeOut());
    if (!out.ok()) {
        lzma_end(&strm);
        return false;
    }

    bool ok = true;
    Buffer inBuf(inSize), outBuf(target == UINT64_MAX ? kChunk : target + 1);
    uint64_t produced = 0;
    strm.next_in = fed;
    strm.avail_in = sizeof fed;
    strm.next_out = outBuf.data();
    strm.avail_out = outBuf.size();
    bool eof = false;
    for (;;) {
        if (strm.avail_in == 0 && !eof) {
            ssize_t got;
            do
                got = ::read(in, inBuf.data(), inBuf.size());
            while (got < 0 && errno == EINTR);
            if (got < 0) {
                ok = false;
                break;
            }
            eof = got == 0;
            strm.next_in = inBuf.data();
            strm.avail_in = size_t(got);
        }
        const lzma_ret ret = lzma_code(&strm, eof ? LZMA_FINISH : LZMA_RUN);
        if (strm.avail_out == 0 || ret == LZMA_STREAM_END) {
            const size_t n = outBuf.size() - strm.avail_out;
            produced += n;
            if ((target != UINT64_MAX && produced > target) || !writeFully(out.get(), outBuf.data(), n)) {
                ok = false;
                break;
            }
            strm.next_out = outBuf.data();
            strm.avail_out = outBuf.size();
        }
        if (ret == LZMA_STREAM_END)
            break;
        if (ret != LZMA_OK) {   // damaged, truncated, or over the memory limit
            ok = false;
            break;
        }
    }
    lzma_end(&strm);
    return ok && (target == UINT64_MAX || produced == target);
}

// Opens the regular file `name` of the folder `dirFd` for reading, without
// following a link there.
int openReadAt(int dirFd, const char* name)
{
    return keepIfRegular(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
}

// The unpacker's temporary files, removed from their folder whatever way the
// unpack ends: a failed unpack must not leave a copy of the package (as
// large as what was written) filling the disk until the next run.
class TemporaryFiles
{
public:
    static constexpr const char* kPacked = "infile_tmp";
    static constexpr const char* kDecoded = "outfile_tmp";
    static constexpr const char* kDirectory = "fileover_tmp";

    explicit TemporaryFiles(int dirFd) : m_dirFd(dirFd) {}
    ~TemporaryFiles()
    {
        if (m_dirFd < 0)
            return;
        for (const char* name : {kPacked, kDecoded, kDirectory})
            ::unlinkat(m_dirFd, name, 0);
    }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

private:
    int m_dirFd;
};

} // namespace

bool decodeFile(const QString& input, const QString& output, uint64_t expectedWhenUnknown, const Log& log)
{
    Fd in(openRead(native(input)));
    struct stat st;
    if (!in.ok() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) < kLzmaHeaderSize)
        return false;
    const QByteArray outPath = native(output);
    Fd out;
    bool ok = decodeStream(in.get(), uint64_t(st.st_size), out, [&outPath] { return openFresh(outPath); },
                           expectedWhenUnknown, log);
    const bool created = out.ok();
    if (!out.close())
        ok = false;
    if (!ok && created)
        ::unlink(outPath.constData());   // no half-decoded file left standing
    return ok;
}

int unpackInto(const QString& package, const OpenFolder& openOutput, int tempFolderFd, Form form, const Log& log)
{
    const bool legacy = form == Form::Legacy;
    const size_t headerSize = legacy ? 32 : 28;
    const size_t lengthOffset = legacy ? 20 : 16;

    Fd pkg(openRead(native(package)));
    struct stat st;
    if (!pkg.ok() || ::fstat(pkg.get(), &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) < headerSize)
        return kUnreadable;
    unsigned char header[32];
    if (!readFully(pkg.get(), header, headerSize, 0))
        return kUnreadable;
    if (le32(header) != kMagic)
        return kBadMagic;
    // The older form keeps a 64-bit checksum field, compared whole.
    const uint64_t stored = legacy ? le64(header + 8) : le32(header + 8);
    const uint64_t lzmaLength = le32(header + lengthOffset);
    const uint64_t bodyLength = uint64_t(st.st_size) - headerSize;

    Buffer buffer(bodyLength);
    uint32_t sum = 0;
    for (uint64_t pos = 0; pos < bodyLength;) {
        const size_t n = size_t(std::min<uint64_t>(bodyLength - pos, buffer.size()));
        if (!readFully(pkg.get(), buffer.data(), n, off_t(headerSize + pos)))
            return kUnreadable;
        sum = crc(kMagic, buffer.data(), n, sum);
        pos += n;
    }
    if (sum != stored)
        return kBadChecksum;

    if (lzmaLength > bodyLength || lzmaLength < kLzmaHeaderSize)
        return kBadContent;
    unsigned char lzmaHeader[kLzmaHeaderSize];
    if (!readFully(pkg.get(), lzmaHeader, sizeof lzmaHeader, off_t(headerSize)))
        return kUnreadable;
    const uint32_t decodedSize = le32(lzmaHeader + 5);
    const bool sizeUnknown = decodedSize == 0xFFFFFFFFu;

    // The directory is read and checked whole before anything is written.
    const uint64_t directoryLength = bodyLength - lzmaLength;
    std::vector<unsigned char> directory(size_t(std::min<uint64_t>(directoryLength, kMaxDirectoryBytes)));
    if (!directory.empty() && !readFully(pkg.get(), directory.data(), directory.size(), off_t(headerSize + lzmaLength)))
        return kUnreadable;
    std::vector<Entry> entries;
    uint64_t entriesTotal = 0;
    const int parsed = parseDirectory(directory, form, entries, entriesTotal);
    if (parsed == kBadContent)
        return kBadContent;
    if (!sizeUnknown && entriesTotal > decodedSize)
        return kBadContent;
    if (parsed != kOk)
        return parsed;

    const TemporaryFiles temporaries(tempFolderFd);
    if (!copyRangeToFile(pkg.get(), headerSize, lzmaLength, tempFolderFd, TemporaryFiles::kPacked, buffer))
        return kBadContent;
    {
        Fd packed(openReadAt(tempFolderFd, TemporaryFiles::kPacked));
        struct stat packedStat;
        Fd out;
        if (!packed.ok() || ::fstat(packed.get(), &packedStat) != 0
            || !decodeStream(packed.get(), uint64_t(packedStat.st_size), out,
                             [tempFolderFd] { return Platform::createFreshAt(tempFolderFd, TemporaryFiles::kDecoded); },
                             sizeUnknown ? entriesTotal : UINT64_MAX, log)
            || !out.close())
            return kBadContent;
    }
    if (!copyRangeToFile(pkg.get(), headerSize + lzmaLength, directoryLength, tempFolderFd, TemporaryFiles::kDirectory,
                         buffer))
        return kBadContent;
    pkg.close();

    Fd decoded(openReadAt(tempFolderFd, TemporaryFiles::kDecoded));
    if (!decoded.ok())
        return kBadContent;

    Fd rootFd;
    if (!entries.empty()) {
        rootFd.reset(openOutput());
        if (!rootFd.ok())
            return kTargetFailed;
    }
    for (const Entry& e : entries) {
        if (e.folder) {
            // As before, a folder that cannot be made is not reported here:
            // the entries inside it fail when they are opened.
            const int fd = openFolders(rootFd.get(), e.rel);
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        const size_t slash = e.rel.rfind('/');
        Fd folder(openFolders(rootFd.get(), slash == std::string::npos ? std::string() : e.rel.substr(0, slash)));
        if (!folder.ok())
            return kTargetFailed;
        const std::string name = slash == std::string::npos ? e.rel : e.rel.substr(slash + 1);
        // Made anew: an older, longer file must not keep its tail, and
        // whatever stood at the name (a link, symbolic or hard, a FIFO) is
        // removed as a name, never written through.
        Fd target(Platform::createFreshAt(folder.get(), name.c_str()));
        if (!target.ok())
            return kTargetFailed;
        bool written = true;
        for (uint64_t left = e.size; left > 0 && written;) {
            const size_t n = size_t(std::min<uint64_t>(left, buffer.size()));
            written = readFully(decoded.get(), buffer.data(), n) && writeFully(target.get(), buffer.data(), n);
            left -= n;
        }
        if (!target.close() || !written) {
            ::unlinkat(folder.get(), name.c_str(), 0);
            return kTargetFailed;
        }
    }
    return kOk;
}

int unpack(const QString& package, const QString& outputFolder, const QString& tempFolder, Form form,
           const Log& log)
{
    // The folders are the caller's: both are taken as their paths lead.
    Fd temp(::open(native(tempFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const QByteArray output = native(outputFolder);
    return unpackInto(package, [&output] { return openOutputFolder(output); }, temp.get(), form, log);
}

} // namespace KzipUnpack
