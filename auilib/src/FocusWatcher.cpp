#include "FocusWatcher.h"

#include <QEvent>

namespace AUILib {

bool FocusWatcher::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        emit focusChanged(true);
    else if (event->type() == QEvent::FocusOut)
        emit focusChanged(false);
    return false;
}

} // namespace AUILib
