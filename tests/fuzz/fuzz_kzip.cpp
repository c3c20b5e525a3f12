// Fuzzes the Kzip unpacker behind CKW_Kzip::Unzip2 (and the older form behind
// Unzip) with whole packages. Besides crashes and memory, it fails when
// anything is written outside the output folder and the unpacker's own three
// temporary files, or when a failed unpack leaves an output folder behind.
//
// Byte 4 of the header is not interpreted by the format; the target uses its
// low bit to pick the older form and its next bit to keep the checksum as it
// is. Otherwise the checksum is recomputed so that mutations reach the LZMA
// part and the directory.
#include "KzipUnpack.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "fuzz_kzip: %s\n", why.c_str());
    std::abort();
}

bool isArtifact(const std::string& name)
{
    for (const char* prefix : {"crash-", "leak-", "timeout-", "oom-", "slow-unit-"})
        if (name.rfind(prefix, 0) == 0)
            return true;
    return false;
}

// What the working folder held before the first run (the corpus, the log).
const std::set<std::string>& startingNames()
{
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(fs::current_path()))
            out.insert(e.path().filename().string());
        return out;
    }();
    return names;
}

void checkSandbox(const fs::path& sandbox, const fs::path& output, int result)
{
    static const std::set<std::string> fixed = {
        "pkg.kzip", "uncompress", "uncompress/infile_tmp", "uncompress/outfile_tmp", "uncompress/fileover_tmp",
        "d1", "d1/d2", "d1/d2/d3",
    };
    const std::string base = sandbox.string() + "/";
    const std::string outRel = output.string().substr(base.size());
    for (auto it = fs::recursive_directory_iterator(sandbox); it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_symlink())
            fail("symbolic link created: " + it->path().string());
        // Paths under the iterator's root keep it as their literal prefix.
        const std::string rel = it->path().string().substr(base.size());
        if (fixed.count(rel) || rel == outRel || rel.rfind(outRel + "/", 0) == 0)
            continue;
        fail("written outside the output folder: " + rel);
    }
    if (result < 0 && fs::exists(output))
        fail("a failed unpack left its output folder");
    if (result == 1 && !fs::is_empty(sandbox / "uncompress"))
        fail("temporary files left after a success");

    for (const auto& e : fs::directory_iterator(fs::current_path())) {
        const std::string name = e.path().filename().string();
        if (!startingNames().count(name) && !isArtifact(name) && e.path() != sandbox)
            fail("written next to the sandbox: " + name);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startingNames();
    static const fs::path sandbox = fs::current_path() / ("kzip-sandbox-" + std::to_string(::getpid()));
    const fs::path output = sandbox / "d1/d2/d3/out";
    const fs::path temp = sandbox / "uncompress";
    const fs::path package = sandbox / "pkg.kzip";
    fs::remove_all(sandbox);
    fs::create_directories(output.parent_path());
    fs::create_directories(temp);

    std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool legacy = size > 4 && (data[4] & 1);
    const bool keepChecksum = size > 4 && (data[4] & 2);
    const size_t headerSize = legacy ? 32 : 28;
    if (!keepChecksum && bytes.size() >= headerSize) {
        const uint32_t crc = KzipUnpack::crc(KzipUnpack::kMagic,
                                             reinterpret_cast<const unsigned char*>(bytes.data()) + headerSize,
                                             bytes.size() - headerSize);
        for (int i = 0; i < 4; ++i)
            bytes[size_t(8 + i)] = char(crc >> (8 * i));
        if (legacy)
            for (int i = 4; i < 8; ++i)
                bytes[size_t(8 + i)] = 0;
    }
    {
        std::ofstream f(package, std::ios::binary);
        f.write(bytes.data(), std::streamsize(bytes.size()));
    }

    const int result = KzipUnpack::unpack(QString::fromStdString(package.string()),
                                          QString::fromStdString(output.string()),
                                          QString::fromStdString(temp.string()),
                                          legacy ? KzipUnpack::Form::Legacy : KzipUnpack::Form::Current);
    if (result < -4 || result > 1)
        fail("result out of range: " + std::to_string(result));
    checkSandbox(sandbox, output, result);
    return 0;
}
