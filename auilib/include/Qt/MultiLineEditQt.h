// The Qt widget of MultiLineEdit: made with no parent; MultiLineEdit::Create places it.
#pragma once

#include <QPlainTextEdit>

namespace AUILib {

class MultiLineEditQt : public QPlainTextEdit {
    Q_OBJECT

public:
    MultiLineEditQt() : QPlainTextEdit(nullptr) {}
};

} // namespace AUILib
