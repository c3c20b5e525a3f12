#include "GzipBomb.h"

#include <zlib.h>

namespace {

const qint64 kSegment = 1024 * 1024;

// One MiB of zeros as raw deflate blocks ending on a full flush: byte aligned
// and referring to nothing before it, so copies of it can follow each other.
QByteArray zeroSegment()
{
    const QByteArray zeros(int(kSegment), '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(kSegment))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
    z.avail_in = uInt(zeros.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FULL_FLUSH);
    out.resize(int(out.size() - z.avail_out));
    deflateEnd(&z);
    return out;
}

void appendLittleEndian(QByteArray& out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

} // namespace

QByteArray gzipOfZeros(qint64 inflatedSize)
{
    const QByteArray segment = zeroSegment();
    const QByteArray zeros(int(kSegment), '\0');
    const uLong segmentCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(zeros.size()));

    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    uLong crc = crc32(0, nullptr, 0);
    for (qint64 done = 0; done < inflatedSize; done += kSegment) {
        out += segment;
        crc = crc32_combine(crc, segmentCrc, z_off_t(kSegment));
    }
    out += QByteArray("\x03\x00", 2);   // the final block, empty
    appendLittleEndian(out, quint32(crc));
    appendLittleEndian(out, quint32(inflatedSize & 0xffffffff));
    return out;
}
