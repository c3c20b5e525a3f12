#pragma once
// The text colours of the dialogs that follow the appearance. The sheet is
// inherited by every child, so it also says how a disabled control reads:
// without that rule a disabled button would keep the enabled text colour and
// look clickable.
#include <QString>

namespace DialogStyle {

inline QString textColourSheet(bool isDarkMode)
{
    return isDarkMode ? QStringLiteral("*{color:rgb(222,222,222);} *:disabled{color:rgb(118,118,118);}")
                      : QStringLiteral("*{color:rgb(26,26,26);} *:disabled{color:rgb(160,160,160);}");
}

} // namespace DialogStyle
