#pragma once
// Wide strings of the core library (one code point per wchar_t) as Qt strings.
#include "CKW_WideString.h"

#include <QString>

namespace Comm {

// The characters up to the first NUL; code points that are not valid Unicode
// scalar values become U+FFFD.
QString ws2qs(const CKW_WideString& text);

} // namespace Comm
