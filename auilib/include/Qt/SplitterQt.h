// The Qt widget of Splitter: made with no parent; Splitter::Create places it.
#pragma once

#include <QSplitter>

namespace AUILib {

class SplitterQt : public QSplitter {
    Q_OBJECT

public:
    SplitterQt() : QSplitter(nullptr) {}
};

} // namespace AUILib
