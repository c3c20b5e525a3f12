// The Qt widget of DoubleSpinEdit: made with no parent; DoubleSpinEdit::Create places it.
#pragma once

#include <QDoubleSpinBox>

namespace AUILib {

class DoubleSpinEditQt : public QDoubleSpinBox {
    Q_OBJECT

public:
    DoubleSpinEditQt() : QDoubleSpinBox(nullptr) {}
};

} // namespace AUILib
