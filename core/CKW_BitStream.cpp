#include "CKW_BitStream.h"

#include "CKW_TextBuf.h"

void CKW_BitStream::Init(const uint8_t* data, uint32_t sizeInBytes)
{
    m_pData = data;
    // A size whose bit count does not fit 32 bits is cut to what does.
    m_BitSize = data ? (sizeInBytes > 0x1FFFFFFF ? 0xFFFFFFF8u : sizeInBytes * 8) : 0;
    m_BitPos = 0;
}

uint32_t CKW_BitStream::GetBits(uint32_t count)
{
    if (count == 0 || count > 32 || count > BitsRemaining())
        return 0;
    uint64_t result = 0;
    uint32_t pos = m_BitPos, left = count;
    // The rest of a started byte, then whole bytes, then the top bits of the
    // last byte.
    while (left > 0) {
        const uint32_t inByte = 8 - pos % 8;
        const uint32_t take = left < inByte ? left : inByte;
        const uint32_t byte = m_pData[pos / 8];
        const uint32_t bits = (byte >> (inByte - take)) & ((1u << take) - 1);
        result = result << take | bits;
        pos += take;
        left -= take;
    }
    m_BitPos = pos;
    return (uint32_t)result;
}

void CKW_BitStream::ByteAlign()
{
    const uint32_t aligned = (m_BitPos + 7) & ~7u;
    m_BitPos = aligned < m_BitPos ? m_BitPos : aligned;
}

CKW_BitWriter::CKW_BitWriter(CKW_BinaryBuf* buffer)
    : m_pBuffer(buffer), m_BitOffset(0), m_ByteIndex(buffer ? buffer->GetSize() : 0)
{
}

void CKW_BitWriter::WriteBits(int64_t value, int count)
{
    if (!m_pBuffer || count <= 0 || count > 64)
        return;
    // The buffer runs ahead in steps of 20 zero bytes; every byte the bits
    // touch must exist before the first is written.
    bool grow = (int64_t)m_ByteIndex + (count + 7) / 8 >= m_pBuffer->GetSize();
    while (grow || (int64_t)m_ByteIndex + (m_BitOffset + count + 7) / 8 > m_pBuffer->GetSize()) {
        if (!m_pBuffer->AppendFill(0, 20))
            return;
        grow = false;
    }
    uint8_t* bytes = m_pBuffer->GetBuffer();
    const uint64_t bits = (uint64_t)value;
    int left = count;
    while (left > 0) {
        const int room = 8 - m_BitOffset;
        const int take = left < room ? left : room;
        const uint32_t chunk = (uint32_t)(bits >> (left - take)) & ((1u << take) - 1);
        bytes[m_ByteIndex] |= (uint8_t)(chunk << (room - take));
        left -= take;
        m_BitOffset += take;
        if (m_BitOffset == 8) {
            m_BitOffset = 0;
            m_ByteIndex++;
        }
    }
}

void CKW_BitWriter::ByteAlign()
{
    if (m_BitOffset != 0) {
        m_ByteIndex++;
        m_BitOffset = 0;
    }
}
