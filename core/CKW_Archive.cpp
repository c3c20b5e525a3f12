#include "CKW_Archive.h"

#include "IKW_Stream.h"

#include <string.h>
#include <vector>

namespace {

// The archive is little-endian whatever the machine.
template <typename T>
void ToLittleEndian(T value, uint8_t* out)
{
    uint64_t bits = 0;
    memcpy(&bits, &value, sizeof value);
    for (size_t i = 0; i < sizeof value; ++i)
        out[i] = (uint8_t)(bits >> (8 * i));
}

template <typename T>
T FromLittleEndian(const uint8_t* in)
{
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        bits |= (uint64_t)in[i] << (8 * i);
    T value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

// ---- Saver ---------------------------------------------------------------------------

CKW_ArchiveSaver::CKW_ArchiveSaver(IKW_FileStream* stream, _IKW_Allocator* allocator)
    : m_SavingBuf(allocator), m_pStream(stream)
{
}

void CKW_ArchiveSaver::Put(const void* first, int firstSize, const void* second, int secondSize)
{
    if (m_pStream) {
        m_pStream->WriteBlock(first, (size_t)firstSize);
        if (secondSize > 0)
            m_pStream->WriteBlock(second, (size_t)secondSize);
        return;
    }
    // Room for both parts first: a length without its bytes would shift
    // every value after it.
    if ((int64_t)firstSize + secondSize > 0x7fffffff || !m_SavingBuf.ExpandBuf(firstSize + secondSize))
        return;
    m_SavingBuf.AppendBlock(first, firstSize);
    if (secondSize > 0)
        m_SavingBuf.AppendBlock(second, secondSize);
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(uint8_t value)
{
    Put(&value, 1);
    return *this;
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(bool value) { return *this << (uint8_t)(value ? 1 : 0); }

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(int value)
{
    uint8_t bytes[4];
    ToLittleEndian(value, bytes);
    Put(bytes, 4);
    return *this;
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(unsigned value) { return *this << (int)value; }

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(float value)
{
    uint8_t bytes[4];
    ToLittleEndian(value, bytes);
    Put(bytes, 4);
    return *this;
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(int64_t value)
{
    uint8_t bytes[8];
    ToLittleEndian(value, bytes);
    Put(bytes, 8);
    return *this;
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(const CKW_ByteStringC& text)
{
    uint8_t length[4];
    ToLittleEndian((int32_t)text.GetLength(), length);
    Put(length, 4, text.GetPtr(), text.GetLength());
    return *this;
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(const char* text) { return *this << CKW_ByteStringC(text); }

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(const CKW_ByteString& text) { return *this << CKW_ByteStringC(text); }

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(const CKW_WideString& text)
{
    return *this << CKW_ByteStringC(text.UTF16LE_Encode(true));
}

CKW_ArchiveSaver& CKW_ArchiveSaver::operator<<(const wchar_t* text) { return *this << CKW_WideString(text); }

bool CKW_ArchiveSaver::Write(const void* data, int size)
{
    if (size < 0 || (!data && size > 0))
        return false;
    if (m_pStream)
        return m_pStream->WriteBlock(data, (size_t)size);
    return m_SavingBuf.AppendBlock(data, size);
}

// ---- Loader ---------------------------------------------------------------------------

bool CKW_ArchiveLoader::Read(void* buffer, uint32_t size)
{
    if (m_bFailed || m_Current > m_Size || m_Size - m_Current < size) {
        m_bFailed = true;
        return false;
    }
    if (buffer && size)
        memcpy(buffer, m_pData + m_Current, size);
    m_Current += size;
    return true;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(uint8_t& value)
{
    Read(&value, 1);
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(bool& value)
{
    uint8_t byte;
    if (Read(&byte, 1))
        value = byte != 0;
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(int& value)
{
    uint8_t bytes[4];
    if (Read(bytes, 4))
        value = FromLittleEndian<int32_t>(bytes);
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(unsigned& value)
{
    uint8_t bytes[4];
    if (Read(bytes, 4))
        value = FromLittleEndian<uint32_t>(bytes);
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(float& value)
{
    uint8_t bytes[4];
    if (Read(bytes, 4))
        value = FromLittleEndian<float>(bytes);
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(int64_t& value)
{
    uint8_t bytes[8];
    if (Read(bytes, 8))
        value = FromLittleEndian<int64_t>(bytes);
    return *this;
}

bool CKW_ArchiveLoader::ReadString(const uint8_t*& bytes, int& length)
{
    if (m_bFailed || m_Current > m_Size || m_Size - m_Current < 4) {
        m_bFailed = true;
        return false;
    }
    length = FromLittleEndian<int32_t>(m_pData + m_Current);
    if (length < 1) {
        length = 0;
        m_Current += 4;
        return true;
    }
    // A string cut short is not read at all: consuming its length alone
    // would make the next reads take its bytes for values.
    if (m_Size - m_Current - 4 < (uint32_t)length) {
        m_bFailed = true;
        return false;
    }
    bytes = m_pData + m_Current + 4;
    m_Current += 4 + (uint32_t)length;
    return true;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(CKW_ByteString& text)
{
    const uint8_t* bytes = nullptr;
    int length = 0;
    if (!ReadString(bytes, length))
        return *this;
    if (length == 0)
        text.Empty();
    else
        text = CKW_ByteString(bytes, length);
    return *this;
}

CKW_ArchiveLoader& CKW_ArchiveLoader::operator>>(CKW_WideString& text)
{
    const uint8_t* bytes = nullptr;
    int length = 0;
    if (!ReadString(bytes, length))
        return *this;
    // The text ends at its zero terminator, or with the string's bytes when
    // the terminator is missing.
    std::vector<unsigned short> units;
    units.reserve((size_t)length / 2);
    for (int i = 0; i + 1 < length; i += 2) {
        const unsigned short unit = (unsigned short)(bytes[i] | bytes[i + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    text = units.empty() ? CKW_WideString() : CKW_WideString::FromUTF16LE(units.data(), (int)units.size());
    return *this;
}
