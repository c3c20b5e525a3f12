// The Qt widget of TabView: made with no parent; TabView::Create places it.
#pragma once

#include <QTabWidget>

namespace AUILib {

class TabViewQt : public QTabWidget {
    Q_OBJECT

public:
    TabViewQt() : QTabWidget(nullptr) {}
};

} // namespace AUILib
