// The Qt widget of ScrollBar: made with no parent; ScrollBar::Create places it.
#pragma once

#include <QScrollBar>

namespace AUILib {

class ScrollBarQt : public QScrollBar {
    Q_OBJECT

public:
    ScrollBarQt() : QScrollBar(nullptr) {}
};

} // namespace AUILib
