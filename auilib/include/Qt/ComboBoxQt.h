// The Qt widget of ComboBox: made with no parent; ComboBox::Create places it.
#pragma once

#include <QComboBox>

namespace AUILib {

class ComboBoxQt : public QComboBox {
    Q_OBJECT

public:
    ComboBoxQt() : QComboBox(nullptr) {}
};

} // namespace AUILib
