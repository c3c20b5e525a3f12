// A control's font and the library's FontData, both ways, for the controls
// whose SetFont changes only the fields given (label, button).
#pragma once

#include "AUILibTypes.h"

#include <QFont>

namespace AUILib {

// What Qt actually shows for font: the resolved family, size and style.
FontData ShownFontData(const QFont& font);

// Changes in font the fields data gives (bold, italic, underline, a size Qt
// can use) and keeps the rest. The face name is the caller's to apply: the
// controls differ in how they read it.
void MergeFontStyle(QFont& font, const FontData& data);

} // namespace AUILib
