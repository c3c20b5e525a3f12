// The Qt widget of ScrollArea: made with no parent; ScrollArea::Create places it.
#pragma once

#include <QScrollArea>

namespace AUILib {

class ScrollAreaQt : public QScrollArea {
    Q_OBJECT

public:
    ScrollAreaQt() : QScrollArea(nullptr) {}
};

} // namespace AUILib
