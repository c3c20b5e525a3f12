// The Qt widget of RadioButton: made with no parent; RadioButton::Create places it.
#pragma once

#include <QRadioButton>

namespace AUILib {

class RadioButtonQt : public QRadioButton {
    Q_OBJECT

public:
    RadioButtonQt() : QRadioButton(nullptr) {}
};

} // namespace AUILib
