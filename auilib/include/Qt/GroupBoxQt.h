// The Qt widget of GroupBox: made with no parent; GroupBox::Create places it.
#pragma once

#include <QGroupBox>

namespace AUILib {

class GroupBoxQt : public QGroupBox {
    Q_OBJECT

public:
    GroupBoxQt() : QGroupBox(nullptr) {}
};

} // namespace AUILib
