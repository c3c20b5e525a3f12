// The Qt widget of SpinEdit: made with no parent; SpinEdit::Create places it.
#pragma once

#include <QAbstractSpinBox>

namespace AUILib {

class SpinEditQt : public QAbstractSpinBox {
    Q_OBJECT

public:
    SpinEditQt() : QAbstractSpinBox(nullptr) {}
};

} // namespace AUILib
