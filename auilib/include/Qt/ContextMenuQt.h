// The Qt window of a ContextMenu: a child of the widget given to Create.
#pragma once

#include <QMenu>

namespace AUILib {

class ContextMenuQt : public QMenu {
    Q_OBJECT

public:
    explicit ContextMenuQt(QWidget* parent) : QMenu(parent) { setSeparatorsCollapsible(true); }
};

} // namespace AUILib
