// The event filter's traces: one line to Qt's debug output, without quotes.
#pragma once

#include <string>

namespace AUILib {

void WriteDebugLine(const std::wstring& text);

} // namespace AUILib
