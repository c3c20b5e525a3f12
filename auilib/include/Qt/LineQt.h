// The Qt widget of Line: made with no parent; Line::Create places it.
#pragma once

#include <QFrame>

namespace AUILib {

class LineQt : public QFrame {
    Q_OBJECT

public:
    LineQt() : QFrame(nullptr) {}
};

} // namespace AUILib
