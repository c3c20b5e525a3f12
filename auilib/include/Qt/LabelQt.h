// The Qt widget of Label: made with no parent; Label::Create places it.
#pragma once

#include <QLabel>

namespace AUILib {

class LabelQt : public QLabel {
    Q_OBJECT

public:
    LabelQt() : QLabel(nullptr) {}
};

} // namespace AUILib
