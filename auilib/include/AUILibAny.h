// The value type of item data in the item controls: copying copies the held
// value, an empty value holds nothing.
#pragma once

#include <any>

namespace AUILib {

using any = std::any;
using std::any_cast;

} // namespace AUILib
