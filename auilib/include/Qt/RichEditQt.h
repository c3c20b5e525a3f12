// The Qt widget of RichEdit: made with no parent; RichEdit::Create places it.
#pragma once

#include <QTextEdit>

namespace AUILib {

class RichEditQt : public QTextEdit {
    Q_OBJECT

public:
    RichEditQt() : QTextEdit(nullptr) {}
};

} // namespace AUILib
