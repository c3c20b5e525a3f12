// The Qt widget of HyperLinkElement: made with no parent; HyperLinkElement::Create places it.
#pragma once

#include <QLabel>

namespace AUILib {

class HyperLinkElementQt : public QLabel {
    Q_OBJECT

public:
    HyperLinkElementQt() : QLabel(nullptr) {}
};

} // namespace AUILib
