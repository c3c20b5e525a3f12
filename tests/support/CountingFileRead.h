// An in-memory IKW_FileRead for tests of readers and caches: it counts its
// reads and can be told to fail them.
#pragma once

#include "IKW_Stream.h"

#include <cstring>
#include <string>
#include <utility>

class CountingFileRead : public IKW_FileRead {
public:
    explicit CountingFileRead(std::string bytes) : m_Bytes(std::move(bytes)) {}

    int reads = 0;            // positioned reads asked for
    int failAfter = -1;       // reads that succeed before every later one fails
    int released = 0;

    void Release() override { ++released; }
    bool IsEOF() override { return m_Position >= GetSize(); }
    int64_t GetPosition() override { return m_Position; }
    size_t ReadBlock(void* buffer, size_t size) override
    {
        size_t left = m_Bytes.size() - static_cast<size_t>(m_Position);
        size_t n = size < left ? size : left;
        if (!ReadBlock(buffer, m_Position, n))
            return 0;
        return n;
    }
    int64_t GetSize() override { return static_cast<int64_t>(m_Bytes.size()); }
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override
    {
        ++reads;
        if (failAfter == 0)
            return false;
        if (failAfter > 0)
            --failAfter;
        if (offset < 0 || static_cast<uint64_t>(offset) > m_Bytes.size() || size > m_Bytes.size() - offset)
            return false;
        std::memcpy(buffer, m_Bytes.data() + offset, size);
        m_Position = offset + static_cast<int64_t>(size);
        return true;
    }

    const std::string& Bytes() const { return m_Bytes; }

private:
    std::string m_Bytes;
    int64_t m_Position = 0;
};
