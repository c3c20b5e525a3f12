#pragma once
// A small PNG picture of one colour, as the bytes of a file, for tests that
// load pictures from files or memory.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

inline QByteArray PngBytes(int width = 8, int height = 8, QColor colour = Qt::red)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}
