// The Qt widget of DrawElement: made with no parent; DrawElement::Create places it.
#pragma once

#include <QWidget>

namespace AUILib {

class DrawElementQt : public QWidget {
    Q_OBJECT

public:
    DrawElementQt() : QWidget(nullptr) {}
};

} // namespace AUILib
