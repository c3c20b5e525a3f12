#include "KzipWriter.h"

#include <lzma.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

namespace kzip {
namespace {

constexpr size_t kChunk = size_t(1) << 20;

// Deliberately the plain byte-at-a-time form: tests compare the unpacker's
// faster CRC against it.
const uint32_t* crcTable()
{
    static const auto table = [] {
        std::unique_ptr<uint32_t[]> t(new uint32_t[256]);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i << 24, r = 0;
            for (int bit = 0; bit < 8; ++bit) {
                r = ((c ^ r) & 0x80000000u) ? (r << 1) ^ kMagic : r << 1;
                c <<= 1;
            }
            t[i] = r;
        }
        return t;
    }();
    return table.get();
}

void putLe(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char(value >> (8 * i)));
}

void setLe(char* p, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = char(value >> (8 * i));
}

size_t headerSize(Header h) { return h == Header::Legacy ? 32 : 28; }

void fillHeader(char* p, Header h, uint32_t crc, uint32_t lzmaLength)
{
    std::memset(p, 0, headerSize(h));
    setLe(p, kMagic, 4);
    setLe(p + 8, crc, h == Header::Legacy ? 8 : 4);
    setLe(p + (h == Header::Legacy ? 20 : 16), lzmaLength, 4);
}

using Sink = std::function<bool(const void*, size_t)>;

// Streams data through liblzma into `sink` as an LZMA-alone stream.
class Encoder
{
public:
    Encoder(const LzmaOptions& options, uint64_t total, Sink sink) : m_sink(std::move(sink))
    {
        lzma_options_lzma opt;
        if (lzma_lzma_preset(&opt, options.preset))
            throw std::runtime_error("kzip: bad LZMA preset");
        if (options.dictSize)
            opt.dict_size = options.dictSize;
        lzma_ret ret;
        if (options.knownSize) {
            // The LZMA SDK layout: props, dictionary, 64-bit size, no end marker.
            std::string header;
            header.push_back(char((opt.pb * 5 + opt.lp) * 9 + opt.lc));
            putLe(header, opt.dict_size, 4);
            putLe(header, total, 8);
            if (!m_sink(header.data(), header.size()))
                throw std::runtime_error("kzip: write failed");
            opt.ext_flags = 0;
            lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
            ret = lzma_raw_encoder(&m_strm, filters);
        } else {
            ret = lzma_alone_encoder(&m_strm, &opt);
        }
        if (ret != LZMA_OK)
            throw std::runtime_error("kzip: LZMA encoder set-up failed");
        m_out.resize(kChunk);
    }
    ~Encoder() { lzma_end(&m_strm); }

    void feed(const void* data, size_t n)
    {
        if (n)   // liblzma reports an empty run as a buffer error
            run(data, n, LZMA_RUN);
    }
    void finish() { run(nullptr, 0, LZMA_FINISH); }

private:
    void run(const void* data, size_t n, lzma_action action)
    {
        m_strm.next_in = static_cast<const uint8_t*>(data);
        m_strm.avail_in = n;
        for (;;) {
            m_strm.next_out = reinterpret_cast<uint8_t*>(&m_out[0]);
            m_strm.avail_out = m_out.size();
            const lzma_ret ret = lzma_code(&m_strm, action);
            if (ret != LZMA_OK && ret != LZMA_STREAM_END)
                throw std::runtime_error("kzip: LZMA encoding failed");
            const size_t produced = m_out.size() - m_strm.avail_out;
            if (produced && !m_sink(m_out.data(), produced))
                throw std::runtime_error("kzip: write failed");
            if (ret == LZMA_STREAM_END || (action == LZMA_RUN && m_strm.avail_in == 0 && m_strm.avail_out != 0))
                return;
        }
    }

    lzma_stream m_strm = LZMA_STREAM_INIT;
    Sink m_sink;
    std::string m_out;
};

} // namespace

uint32_t checksum(const void* data, size_t length, uint32_t crc)
{
    const uint32_t* table = crcTable();
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < length; ++i)
        crc = (crc << 8) ^ table[(crc >> 24) ^ p[i]];
    return crc;
}

std::string encodeLzmaAlone(const std::string& data, const LzmaOptions& options)
{
    std::string out;
    Encoder enc(options, data.size(), [&](const void* p, size_t n) {
        out.append(static_cast<const char*>(p), n);
        return true;
    });
    enc.feed(data.data(), data.size());
    enc.finish();
    return out;
}

std::string directory(const std::vector<DirEntry>& entries)
{
    if (entries.size() > 0xFFFF)
        throw std::runtime_error("kzip: more than 65535 entries");
    std::string out;
    putLe(out, entries.size(), 2);
    for (const DirEntry& e : entries) {
        if (e.name.size() > 255)
            throw std::runtime_error("kzip: name longer than 255 bytes: " + e.name);
        putLe(out, e.name.size(), 2);
        out += e.name;
        putLe(out, e.size, 4);
    }
    return out;
}

std::string assemble(const std::string& lzmaPart, const std::string& directoryBytes, Header header)
{
    std::string out(headerSize(header), '\0');
    out += lzmaPart;
    out += directoryBytes;
    fillHeader(&out[0], header, 0, uint32_t(lzmaPart.size()));
    refreshChecksum(out, header);
    return out;
}

void refreshChecksum(std::string& package, Header header)
{
    const size_t h = headerSize(header);
    if (package.size() < h)
        throw std::runtime_error("kzip: package shorter than its header");
    setLe(&package[8], checksum(package.data() + h, package.size() - h), header == Header::Legacy ? 8 : 4);
}

Writer::Writer(LzmaOptions options) : m_options(options) {}

void Writer::addFolder(std::string name)
{
    if (name.empty() || (name.back() != '\\' && name.back() != '/'))
        name += '\\';
    m_items.push_back({std::move(name), std::string(), std::string(), 0});
}

void Writer::addFile(std::string name, std::string contents)
{
    const uint64_t size = contents.size();
    m_items.push_back({std::move(name), std::move(contents), std::string(), size});
}

void Writer::addFileFromDisk(std::string name, std::string path, uint64_t size)
{
    m_items.push_back({std::move(name), std::string(), std::move(path), size});
}

std::vector<DirEntry> Writer::entries() const
{
    std::vector<DirEntry> out;
    for (const Item& it : m_items) {
        if (it.size > 0xFFFFFFFFull)
            throw std::runtime_error("kzip: entry over 4 GiB: " + it.name);
        out.push_back({it.name, uint32_t(it.size)});
    }
    return out;
}

namespace {

// Writes the body (LZMA part + directory) to `sink`; returns the LZMA length.
uint64_t writeBody(const LzmaOptions& options, const std::vector<DirEntry>& dir,
                   const std::function<void(const std::function<void(const void*, size_t)>&)>& produce,
                   uint64_t total, const Sink& sink)
{
    uint64_t lzmaLength = 0;
    {
        Encoder enc(options, total, [&](const void* p, size_t n) {
            lzmaLength += n;
            return sink(p, n);
        });
        produce([&](const void* p, size_t n) { enc.feed(p, n); });
        enc.finish();
    }
    const std::string d = directory(dir);
    if (!sink(d.data(), d.size()))
        throw std::runtime_error("kzip: write failed");
    if (lzmaLength > 0xFFFFFFFFull)
        throw std::runtime_error("kzip: LZMA part over 4 GiB");
    return lzmaLength;
}

} // namespace

std::string Writer::package(Header header) const
{
    std::string out;
    const std::vector<DirEntry> dir = entries();
    uint64_t total = 0;
    for (const Item& it : m_items)
        total += it.size;
    out.assign(headerSize(header), '\0');
    uint32_t crc = 0;
    const uint64_t lzmaLength = writeBody(
        m_options, dir,
        [&](const std::function<void(const void*, size_t)>& feed) {
            for (const Item& it : m_items) {
                if (!it.path.empty())
                    throw std::runtime_error("kzip: in-memory package with a file from disk");
                feed(it.contents.data(), it.contents.size());
            }
        },
        total,
        [&](const void* p, size_t n) {
            crc = checksum(p, n, crc);
            out.append(static_cast<const char*>(p), n);
            return true;
        });
    fillHeader(&out[0], header, crc, uint32_t(lzmaLength));
    return out;
}

bool Writer::writeTo(const std::string& path, std::string* error, Header header) const
{
    if (path.empty())
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        if (error)
            *error = "cannot create " + path;
        return false;
    }
    try {
        const std::vector<DirEntry> dir = entries();
        uint64_t total = 0;
        for (const Item& it : m_items)
            total += it.size;
        std::string head(headerSize(header), '\0');
        if (std::fwrite(head.data(), 1, head.size(), file.get()) != head.size())
            throw std::runtime_error("kzip: write failed");
        uint32_t crc = 0;
        const uint64_t lzmaLength = writeBody(
            m_options, dir,
            [&](const std::function<void(const void*, size_t)>& feed) {
                std::string buffer(kChunk, '\0');
                for (const Item& it : m_items) {
                    if (it.path.empty()) {
                        feed(it.contents.data(), it.contents.size());
                        continue;
                    }
                    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(it.path.c_str(), "rb"), &std::fclose);
                    if (!in)
                        throw std::runtime_error("kzip: cannot read " + it.path);
                    uint64_t left = it.size;
                    while (left > 0) {
                        const size_t want = size_t(std::min<uint64_t>(left, buffer.size()));
                        if (std::fread(&buffer[0], 1, want, in.get()) != want)
                            throw std::runtime_error("kzip: " + it.path + " changed while packing");
                        feed(buffer.data(), want);
                        left -= want;
                    }
                }
            },
            total,
            [&](const void* p, size_t n) {
                crc = checksum(p, n, crc);
                return std::fwrite(p, 1, n, file.get()) == n;
            });
        fillHeader(&head[0], header, crc, uint32_t(lzmaLength));
        if (std::fseek(file.get(), 0, SEEK_SET) != 0
            || std::fwrite(head.data(), 1, head.size(), file.get()) != head.size())
            throw std::runtime_error("kzip: write failed");
        if (std::fclose(file.release()) != 0)
            throw std::runtime_error("kzip: write failed");
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
        file.reset();
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace kzip
