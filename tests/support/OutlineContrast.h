#pragma once
// How well a drawn box stands out from what is around it, read from a
// picture: the largest difference in lightness between the background and
// any pixel on the box's edge, from one pixel inside the box rectangle to one
// outside it. A box whose outline vanishes into the view scores near 0.
#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdlib>

inline int OutlineContrast(const QImage& image, const QRect& box, const QColor& background)
{
    const int ground = background.lightness();
    int most = 0;
    const QRect outer = box.adjusted(-1, -1, 1, 1);
    const QRect inner = box.adjusted(1, 1, -1, -1);
    for (int y = outer.top(); y <= outer.bottom(); ++y) {
        for (int x = outer.left(); x <= outer.right(); ++x) {
            if (inner.contains(x, y) || !image.valid(x, y))
                continue;
            most = std::max(most, std::abs(QColor(image.pixel(x, y)).lightness() - ground));
        }
    }
    return most;
}
