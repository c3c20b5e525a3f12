#include "DebugLine.h"

#include "AUILibLogger.h"

namespace AUILib {

void WriteDebugLine(const std::wstring& text) { AUILibLogger::GetInstance().LogDebug(text); }

} // namespace AUILib
