// The Qt widget of StackedDialog: made with no parent; StackedDialog::Create places it.
#pragma once

#include <QStackedWidget>

namespace AUILib {

class StackedDialogQt : public QStackedWidget {
    Q_OBJECT

public:
    StackedDialogQt() : QStackedWidget(nullptr) {}
};

} // namespace AUILib
