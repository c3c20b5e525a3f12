// The Qt widget of Button: made with no parent; Button::Create places it.
// Its owner is cleared when the button goes, so the widget can outlive it.
//
// What the style sheets cannot express, read from the owner's
// implementation at each event: the drop-down arrow under the text while a
// menu with the arrow flag is attached, the underline of the link style
// (7) and its focus border (none for focus from the mouse), the corner
// radius of the rounded style (4) kept at half the height on resize unless
// a radius was given, and an icon size that fits the button. While the
// arrow shows, the button is taller by the arrow's room and its text keeps
// out of that room, so the two never overlap.
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

    // Height the arrow takes at the bottom, margin included.
    int ArrowRoom() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    bool ShowsArrow() const;
    void PaintAboveArrow();

    int arrowMargin_ = 0;
};

} // namespace AUILib
