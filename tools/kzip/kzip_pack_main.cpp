// kzip-pack: packs a folder into a Kzip package, the way the update service
// ships them: folder entries first ("sub\"), then files named with "\".
//
//   kzip-pack [--preset N] [--dict BYTES] [--unknown-size] <folder> <out.kzip>
#include "KzipWriter.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kzip-pack [--preset N] [--dict BYTES] [--unknown-size] <folder> <out.kzip>\n");
    return 2;
}

std::string backslashed(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    kzip::LzmaOptions options;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--preset" && i + 1 < argc)
            options.preset = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--dict" && i + 1 < argc)
            options.dictSize = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--unknown-size")
            options.knownSize = false;
        else if (!a.empty() && a[0] == '-')
            return usage();
        else
            args.push_back(a);
    }
    if (args.size() != 2)
        return usage();
    const fs::path root(args[0]);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        std::fprintf(stderr, "kzip-pack: %s is not a folder\n", args[0].c_str());
        return 1;
    }

    std::vector<fs::path> paths;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        paths.push_back(it->path());
    if (ec) {
        std::fprintf(stderr, "kzip-pack: %s\n", ec.message().c_str());
        return 1;
    }
    // Lexical order lists every folder before what it holds.
    std::sort(paths.begin(), paths.end());

    kzip::Writer writer(options);
    for (const fs::path& p : paths) {
        const std::string rel = backslashed(fs::relative(p, root).generic_string());
        if (fs::is_directory(p))
            writer.addFolder(rel + "\\");
        else if (fs::is_regular_file(p))
            writer.addFileFromDisk(rel, p.string(), fs::file_size(p));
    }
    std::string error;
    if (!writer.writeTo(args[1], &error)) {
        std::fprintf(stderr, "kzip-pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
