// The Qt widget of ChildDialog: made with no parent; ChildDialog::Create places it.
#pragma once

#include <QWidget>

namespace AUILib {

class ChildDialogQt : public QWidget {
    Q_OBJECT

public:
    ChildDialogQt() : QWidget(nullptr) {}
};

} // namespace AUILib
