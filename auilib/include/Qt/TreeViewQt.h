// The Qt widget of TreeView: made with no parent; TreeView::Create places it.
#pragma once

#include <QTreeView>

namespace AUILib {

class TreeViewQt : public QTreeView {
    Q_OBJECT

public:
    TreeViewQt() : QTreeView(nullptr) {}
};

} // namespace AUILib
