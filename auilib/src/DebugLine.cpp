#include "DebugLine.h"

#include "WideQt.h"

#include <QDebug>

namespace AUILib {

void WriteDebugLine(const std::wstring& text) { qDebug().noquote() << ToQString(text); }

} // namespace AUILib
