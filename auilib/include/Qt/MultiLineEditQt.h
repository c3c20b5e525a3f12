// The Qt widget of MultiLineEdit: a plain-text edit with Qt's own behaviour.
// Made with no parent; MultiLineEdit::Create places it.
#pragma once

#include <QPlainTextEdit>

namespace AUILib {

class MultiLineEditQt : public QPlainTextEdit {
    Q_OBJECT

public:
    MultiLineEditQt() : QPlainTextEdit(nullptr) {}
};

} // namespace AUILib
