// Helpers of the XML tests: a canonical dump of a tree, inputs that hand
// out a document in blocks of any size, and a real file on disk.
#ifndef CORE_XML_TEST_SUPPORT_H
#define CORE_XML_TEST_SUPPORT_H

#include "CXML_Element.h"
#include "IKW_Stream.h"
#include "KW_UTF.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

// One line per tree: tag{attr=value,...}[child,...]; content "text", CDATA
// content C"text". Control characters and quotes in text appear as \xNN.
inline std::string XmlText(const wchar_t* text, int length)
{
    std::string out;
    for (int i = 0; i < length; i++) {
        uint32_t ch = (uint32_t)text[i];
        if (ch < 0x20 || ch == '"' || ch == '\\') {
            char buf[8];
            snprintf(buf, sizeof buf, "\\x%02X", ch);
            out += buf;
        } else {
            char utf8[8];
            int n = KW_UTF8PutChar((wchar_t)ch, utf8);
            out.append(utf8, (size_t)n);
        }
    }
    return out;
}

inline std::string XmlDump(const CXML_Element* e)
{
    if (!e)
        return "(null)";
    std::string out = e->GetTagName(true).c_str();
    int attrs = e->CountAttrs();
    if (attrs) {
        out += "{";
        for (int i = 0; i < attrs; i++) {
            CKW_ByteString prefix, name;
            CKW_WideString value;
            e->GetAttrByIndex(i, prefix, name, value);
            if (i)
                out += ",";
            if (prefix.GetLength()) {
                out += prefix.c_str();
                out += ":";
            }
            out += name.c_str();
            out += "=";
            out += XmlText(value.c_str(), value.GetLength());
        }
        out += "}";
    }
    unsigned count = e->CountChildren();
    if (count) {
        out += "[";
        for (unsigned i = 0; i < count; i++) {
            if (i)
                out += ",";
            switch (e->GetChildType(i)) {
            case CXML_Element::Element:
                out += XmlDump(e->GetElement(i));
                break;
            case CXML_Element::Content: {
                const CKW_WideStringL* text = e->GetContentPtr(i);
                out += e->IsContentCDATA(i) ? "C\"" : "\"";
                out += XmlText(text->m_Ptr, text->m_Length);
                out += "\"";
                break;
            }
            default:
                out += "?";
            }
        }
        out += "]";
    }
    return out;
}

// A file read from memory, so that the stream accessor can be driven with
// any block size.
class MemoryFileRead : public IKW_FileRead {
public:
    explicit MemoryFileRead(std::string bytes) : m_Bytes(std::move(bytes)) {}
    void Release() override {}
    bool IsEOF() override { return m_Pos >= (int64_t)m_Bytes.size(); }
    int64_t GetPosition() override { return m_Pos; }
    size_t ReadBlock(void* buffer, size_t size) override
    {
        size_t n = std::min(size, m_Bytes.size() - (size_t)m_Pos);
        memcpy(buffer, m_Bytes.data() + m_Pos, n);
        m_Pos += (int64_t)n;
        return n;
    }
    int64_t GetSize() override { return (int64_t)m_Bytes.size(); }
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override
    {
        reads.push_back(size);
        if (offset < 0 || (uint64_t)offset + size > m_Bytes.size())
            return false;
        memcpy(buffer, m_Bytes.data() + offset, size);
        if (onRead)
            onRead(*this);
        return true;
    }
    std::string& Bytes() { return m_Bytes; }

    std::vector<size_t> reads;
    void (*onRead)(MemoryFileRead&) = nullptr;

private:
    std::string m_Bytes;
    int64_t m_Pos = 0;
};

// Hands out a document in the blocks given by a list of cut offsets.
class SplitBufferRead : public IKW_BufferRead {
public:
    SplitBufferRead(const std::string& bytes, std::vector<size_t> cuts) : m_Bytes(bytes), m_Cuts(std::move(cuts))
    {
        m_Cuts.push_back(bytes.size());
    }
    void Release() override {}
    bool IsEOF() override { return m_Next >= m_Cuts.size(); }
    int64_t GetPosition() override { return (int64_t)(m_Offset + m_Size); }
    size_t ReadBlock(void*, size_t) override { return 0; }
    bool ReadNextBlock(bool restart) override
    {
        if (restart) {
            m_Next = 0;
            m_Offset = m_Size = 0;
        }
        while (m_Next < m_Cuts.size()) {
            size_t end = m_Cuts[m_Next++];
            size_t start = m_Offset + m_Size;
            if (end <= start)
                continue;
            // Each block in its own allocation: reading past its end is an
            // error the sanitizer build reports.
            m_Block.assign(m_Bytes.begin() + (long)start, m_Bytes.begin() + (long)end);
            m_Offset = start;
            m_Size = end - start;
            return true;
        }
        return false;
    }
    const uint8_t* GetBlockBuffer() override { return m_Block.data(); }
    size_t GetBlockSize() override { return m_Size; }
    int64_t GetBlockOffset() override { return (int64_t)m_Offset; }

private:
    std::string m_Bytes;
    std::vector<size_t> m_Cuts;
    std::vector<uint8_t> m_Block;
    size_t m_Next = 0;
    size_t m_Offset = 0;
    size_t m_Size = 0;
};

// A real file on disk, read with pread.
class PosixFileRead : public IKW_FileRead {
public:
    explicit PosixFileRead(const std::string& path) : m_Fd(open(path.c_str(), O_RDONLY)) {}
    ~PosixFileRead() override
    {
        if (m_Fd >= 0)
            close(m_Fd);
    }
    bool IsOpen() const { return m_Fd >= 0; }
    void Release() override {}
    bool IsEOF() override { return false; }
    int64_t GetPosition() override { return 0; }
    size_t ReadBlock(void*, size_t) override { return 0; }
    int64_t GetSize() override
    {
        off_t end = lseek(m_Fd, 0, SEEK_END);
        return end < 0 ? 0 : (int64_t)end;
    }
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override
    {
        return pread(m_Fd, buffer, size, (off_t)offset) == (ssize_t)size;
    }

private:
    int m_Fd;
};

#endif
