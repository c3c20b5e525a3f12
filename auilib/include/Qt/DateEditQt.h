// The Qt widget of DateEdit: made with no parent; DateEdit::Create places it.
#pragma once

#include <QDateEdit>

namespace AUILib {

class DateEditQt : public QDateEdit {
    Q_OBJECT

public:
    DateEditQt() : QDateEdit(nullptr) {}
};

} // namespace AUILib
