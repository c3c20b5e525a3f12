// The Qt widget of Button: made with no parent; Button::Create places it.
// Its owner is cleared when the button goes, so the widget can outlive it.
#pragma once

#include "ControlLifetime.h"

#include <QPushButton>

namespace AUILib {

class Button;

class ButtonQt : public QPushButton, public ControlOwnerSlot<Button> {
    Q_OBJECT

public:
    ButtonQt() : QPushButton(nullptr) {}

    int GetArrowMargin() const { return arrowMargin_; }
    void SetArrowMargin(int margin) { arrowMargin_ = margin; }

private:
    int arrowMargin_ = 0;
};

} // namespace AUILib
