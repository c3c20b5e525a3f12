// Value types shared by every control of the widget library: geometry in
// signed 32-bit pixels, regions, font descriptions and colours.
#pragma once

#include <QRegion>
#include <cstdint>
#include <string>

namespace AUILib {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
};

// Right and bottom are inclusive (right = left + width - 1), as in QRect.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const Point& a, const Point& b) { return !(a == b); }
inline bool operator==(const Size& a, const Size& b) { return a.width == b.width && a.height == b.height; }
inline bool operator!=(const Size& a, const Size& b) { return !(a == b); }
inline bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

struct Region {
    QRegion region;
};

// A font request or description. Every field has an "unset" value that
// leaves the matching font property as it is: an empty face, a point size of
// -1.0 and -1 in the integer fields (0 off, any other value on).
struct FontData {
    std::wstring faceName;
    double pointSize = -1.0;
    int32_t bold = -1;
    int32_t italic = -1;
    int32_t underline = -1;
    int32_t symbolFamily = -1;  // set by the font list for symbol families
};

// 0xAARRGGBB, alpha in the top byte.
using RGBColor = uint32_t;

// A size policy packed into one 32-bit word, in the order of Qt's own
// layout: stretches, horizontal then vertical policy, the control type as a
// one-bit flag (only QSizePolicy's flags up to Frame fit) and three flags.
struct SizePolicy {
    uint32_t horizontalStretch : 8;
    uint32_t verticalStretch : 8;
    uint32_t horizontalPolicy : 4;
    uint32_t verticalPolicy : 4;
    uint32_t controlType : 5;
    uint32_t heightForWidth : 1;
    uint32_t widthForHeight : 1;
    uint32_t retainSizeWhenHidden : 1;
};
static_assert(sizeof(SizePolicy) == 4, "SizePolicy is one 32-bit word");

// The stock icon of a balloon tip; any other value shows none.
enum BalloonTipIconType : int32_t {
    BalloonTipNoIcon = 0,
    BalloonTipInformation = 1,
    BalloonTipWarning = 2,
    BalloonTipCritical = 3,
};

} // namespace AUILib
