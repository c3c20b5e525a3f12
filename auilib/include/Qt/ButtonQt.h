// The Qt widget of Button: made with no parent; Button::Create places it.
// Its owner is cleared when the button goes, so the widget can outlive it.
#pragma once

#include <QPushButton>

namespace AUILib {

class Button;

class ButtonQt : public QPushButton {
    Q_OBJECT

public:
    ButtonQt() : QPushButton(nullptr) {}

    int GetArrowMargin() const { return arrowMargin_; }
    void SetArrowMargin(int margin) { arrowMargin_ = margin; }
    Button* GetOwner() const { return owner_; }
    void SetOwner(Button* owner) { owner_ = owner; }

private:
    int arrowMargin_ = 0;
    Button* owner_ = nullptr;
};

} // namespace AUILib
