#pragma once
// Pictures as the bytes of a PNG file, for tests that load pictures from
// files or memory: any image, or a small one of one colour.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

inline QByteArray PngOf(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

inline QByteArray PngBytes(int width = 8, int height = 8, QColor colour = Qt::red)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return PngOf(image);
}
