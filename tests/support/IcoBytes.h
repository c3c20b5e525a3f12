// An ICO file with one square image per given edge length, in the given
// order, each filled with its own colour. Qt writes single-image ICO files;
// their directory entries are joined here into one file.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <vector>

inline QByteArray IcoBytes(const std::vector<int>& edges)
{
    constexpr int kHeader = 6;
    constexpr int kEntry = 16;
    std::vector<QByteArray> singles;
    for (int edge : edges) {
        QImage image(edge, edge, QImage::Format_ARGB32);
        image.fill(QColor::fromHsv((edge * 37) % 360, 200, 200));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(image))
            return QByteArray();
        singles.push_back(buffer.data());
    }
    QByteArray file(kHeader, '\0');
    qToLittleEndian<quint16>(1, file.data() + 2);
    qToLittleEndian<quint16>(static_cast<quint16>(singles.size()), file.data() + 4);
    quint32 offset = kHeader + kEntry * static_cast<quint32>(singles.size());
    QByteArray images;
    for (const QByteArray& single : singles) {
        QByteArray entry = single.mid(kHeader, kEntry);
        const QByteArray image = single.mid(qFromLittleEndian<quint32>(single.constData() + kHeader + 12));
        qToLittleEndian<quint32>(static_cast<quint32>(image.size()), entry.data() + 8);
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        offset += static_cast<quint32>(image.size());
        file += entry;
        images += image;
    }
    return file + images;
}
