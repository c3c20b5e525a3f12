// What the stacked dialog and the tab view do alike to one of their pages.
#pragma once

#include "BaseImplQt.h"

#include <QWidget>

namespace AUILib {

// recursive: the page and every widget below it get their own flag set;
// otherwise only the page's (Qt then draws its children disabled too, but
// their own flags stay).
inline void EnablePageWidget(QWidget* page, bool enable, bool recursive)
{
    if (!page)
        return;
    if (recursive)
        BaseImplQt::EnableChildren(page, enable);
    else
        page->setEnabled(enable);
}

} // namespace AUILib
