// The Qt widget of Edit: made with no parent; Edit::Create places it.
#pragma once

#include <QLineEdit>

namespace AUILib {

class EditQt : public QLineEdit {
    Q_OBJECT

public:
    EditQt() : QLineEdit(nullptr) {}
};

} // namespace AUILib
