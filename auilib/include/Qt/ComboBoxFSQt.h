// The Qt widget of ComboBoxFS: made with no parent; ComboBoxFS::Create places it.
#pragma once

#include <QComboBox>

namespace AUILib {

class ComboBoxFSQt : public QComboBox {
    Q_OBJECT

public:
    ComboBoxFSQt() : QComboBox(nullptr) {}
};

} // namespace AUILib
