// Bit fields, most significant bit first: CKW_BitStream reads them from
// bytes it does not own, CKW_BitWriter appends them to a binary buffer.
#ifndef CKW_BITSTREAM_H
#define CKW_BITSTREAM_H

#include <stdint.h>

class CKW_BinaryBuf;

class CKW_BitStream {
public:
    CKW_BitStream() : m_BitPos(0), m_BitSize(0), m_pData(nullptr) {}

    void Init(const uint8_t* data, uint32_t sizeInBytes);
    // The next count bits (at most 32) as a number; 0 without moving when
    // count is above 32 or more than the bits left.
    uint32_t GetBits(uint32_t count);
    // Rounds the bit position up to a whole byte.
    void ByteAlign();

    uint32_t GetPos() const { return m_BitPos; }

private:
    uint32_t BitsRemaining() const { return m_BitPos < m_BitSize ? m_BitSize - m_BitPos : 0; }

    uint32_t m_BitPos;
    uint32_t m_BitSize;
    const uint8_t* m_pData;
};

// The buffer grows in steps of 20 zero bytes, so its size runs ahead of the
// bits written: GetByteIndex (plus one when GetBitOffset is not 0) is the
// length in use.
class CKW_BitWriter {
public:
    // Bits go after what the buffer already holds. The buffer stays the
    // caller's.
    explicit CKW_BitWriter(CKW_BinaryBuf* buffer);

    // Appends the low count bits of value (1 to 64); other counts write
    // nothing, nor does a buffer that cannot grow.
    void WriteBits(int64_t value, int count);
    void ByteAlign();

    int GetBitOffset() const { return m_BitOffset; }
    int GetByteIndex() const { return m_ByteIndex; }
    // Bytes that hold written bits.
    int GetUsedBytes() const { return m_ByteIndex + (m_BitOffset ? 1 : 0); }

private:
    CKW_BinaryBuf* m_pBuffer;
    int m_BitOffset;
    int m_ByteIndex;
};

#endif // CKW_BITSTREAM_H
