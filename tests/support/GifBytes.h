#pragma once
// A GIF file (animated when it has more than one frame) of width x height
// frames, each filled with one colour of a four-colour palette, for tests
// that load GIF pictures and movies. Qt reads GIF but does not write it.
#include <QByteArray>
#include <QColor>

#include <vector>

namespace GifDetail {

inline void PutLittle16(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// Codes of three bits: a clear code before every pixel keeps the code width
// fixed, so no compression table is needed.
inline QByteArray PixelCodes(int pixels, int index)
{
    constexpr int kClear = 4;
    constexpr int kEnd = 5;
    QByteArray bytes;
    unsigned int buffer = 0;
    int bits = 0;
    const auto put = [&](int code) {
        buffer |= static_cast<unsigned int>(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes.append(static_cast<char>(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < pixels; ++i) {
        put(kClear);
        put(index);
    }
    put(kEnd);
    if (bits > 0)
        bytes.append(static_cast<char>(buffer & 0xFF));
    return bytes;
}

} // namespace GifDetail

// frames: one palette index (0..3) per frame.
inline QByteArray GifBytes(int width, int height, const std::vector<int>& frames,
                           const std::vector<QColor>& palette = {Qt::red, Qt::green, Qt::blue, Qt::white})
{
    QByteArray out("GIF89a");
    GifDetail::PutLittle16(out, width);
    GifDetail::PutLittle16(out, height);
    out.append(static_cast<char>(0x91));  // global table of 4 colours
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 4; ++i) {
        const QColor colour = i < static_cast<int>(palette.size()) ? palette[i] : QColor(Qt::black);
        out.append(static_cast<char>(colour.red()));
        out.append(static_cast<char>(colour.green()));
        out.append(static_cast<char>(colour.blue()));
    }
    if (frames.size() > 1)
        out.append(QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    for (int index : frames) {
        out.append(QByteArray("\x21\xF9\x04\x00", 4));
        GifDetail::PutLittle16(out, 10);  // a tenth of a second per frame
        out.append(QByteArray("\x00\x00", 2));
        out.append(static_cast<char>(0x2C));
        GifDetail::PutLittle16(out, 0);
        GifDetail::PutLittle16(out, 0);
        GifDetail::PutLittle16(out, width);
        GifDetail::PutLittle16(out, height);
        out.append('\0');
        out.append(static_cast<char>(2));  // minimum code size
        const QByteArray codes = GifDetail::PixelCodes(width * height, index);
        for (int at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            out.append(static_cast<char>(block.size()));
            out.append(block);
        }
        out.append('\0');
    }
    out.append(static_cast<char>(0x3B));
    return out;
}
