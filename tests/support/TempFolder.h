// A temporary folder for one test, removed with everything in it (without
// following symbolic links) when the test ends. No Qt: the core tests use it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <string>
#include <unistd.h>

class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kwcore-XXXXXX";
        if (mkdtemp(&pattern[0]))
            m_Path = pattern;
    }
    ~TempFolder()
    {
        if (!m_Path.empty())
            nftw(m_Path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool IsValid() const { return !m_Path.empty(); }
    const std::string& Path() const { return m_Path; }
    std::string Path(const std::string& name) const { return m_Path + "/" + name; }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string path = Path(name);
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

    std::string m_Path;
};

// Bytes 0, 1, ... 250, 0, 1, ...: a pattern whose bytes show their offset.
inline std::string PatternBytes(size_t size, unsigned seed = 0)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i + seed) % 251);
    return bytes;
}
