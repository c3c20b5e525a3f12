// The event filter's traces: a debug message of the library's logger, kept
// only at its debug level.
#pragma once

#include <string>

namespace AUILib {

void WriteDebugLine(const std::wstring& text);

} // namespace AUILib
