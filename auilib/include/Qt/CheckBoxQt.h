// The Qt widget of CheckBox: made with no parent; CheckBox::Create places it.
#pragma once

#include <QCheckBox>

namespace AUILib {

class CheckBoxQt : public QCheckBox {
    Q_OBJECT

public:
    CheckBoxQt() : QCheckBox(nullptr) {}
};

} // namespace AUILib
