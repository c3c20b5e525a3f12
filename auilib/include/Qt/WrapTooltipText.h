// Item tooltips as HTML no wider than a given width in the tooltip font.
#pragma once

#include <QString>

#include <string>

namespace AUILib {

// Line feeds become <br>; a line wider than maxWidth is broken after the
// last white space before the limit (or hard at the limit when a word is
// longer); white space is kept (pre). maxWidth below 1 breaks nothing.
QString WrapTooltipText(const std::wstring& text, int maxWidth);

} // namespace AUILib
