// The Qt widget of RichEdit: a text edit with Qt's own behaviour. Made with
// no parent; RichEdit::Create places it.
#pragma once

#include <QTextEdit>

namespace AUILib {

class RichEditQt : public QTextEdit {
    Q_OBJECT

public:
    RichEditQt() : QTextEdit(nullptr) {}
};

} // namespace AUILib
