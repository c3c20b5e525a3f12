#pragma once
// What a picture shows, for screenshot tests that assert it: how many pixels
// of an area are near a colour, or away from it, and how light the picture
// is on the whole.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdlib>

// Sum of the channel differences of two colours.
inline int ColourDistance(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// Pixels within area (clipped to the picture) whose colour is within
// tolerance of colour.
inline int PixelsNear(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 40)
{
    const QRect clipped = area & image.rect();
    int count = 0;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += ColourDistance(QColor(image.pixel(x, y)), colour) < tolerance;
    }
    return count;
}

// Pixels within area that stand clearly apart from colour: text, lines or
// pictures drawn on a background of that colour.
inline int PixelsAwayFrom(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 120)
{
    const QRect clipped = area & image.rect();
    int count = 0;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += ColourDistance(QColor(image.pixel(x, y)), colour) >= tolerance;
    }
    return count;
}

// The colour most pixels of the picture have: its background.
inline QColor DominantColour(const QImage& image)
{
    QHash<QRgb, int> counts;
    QRgb most = 0;
    int mostCount = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int count = ++counts[image.pixel(x, y)];
            if (count > mostCount) {
                mostCount = count;
                most = image.pixel(x, y);
            }
        }
    }
    return QColor(most);
}

// Mean lightness of the picture, 0 (black) to 255 (white).
inline int MeanLightness(const QImage& image)
{
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += QColor(image.pixel(x, y)).lightness();
    }
    const long long pixels = static_cast<long long>(image.width()) * image.height();
    return pixels ? static_cast<int>(sum / pixels) : 0;
}

// The widget's rectangle in the coordinates of its window's picture.
inline QRect RectInWindow(const QWidget* widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}
