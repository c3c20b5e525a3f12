// Horizontal text alignment of the label and the single-line edit.
#pragma once

#include <cstdint>

namespace AUILib {

enum TextAlign : int32_t {
    TextAlignLeft = 0,
    TextAlignCenter = 1,
    TextAlignRight = 2,
};

} // namespace AUILib
