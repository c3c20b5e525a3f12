// The Qt widget of ProgressBar: made with no parent; ProgressBar::Create places it.
#pragma once

#include <QProgressBar>

namespace AUILib {

class ProgressBarQt : public QProgressBar {
    Q_OBJECT

public:
    ProgressBarQt() : QProgressBar(nullptr) {}
};

} // namespace AUILib
