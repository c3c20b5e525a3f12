// The Qt widget of HyperLinkElement: made with no parent; HyperLinkElement::
// Create places it. It rebuilds its link markup from its control's state
// on show, enter, leave and the paint after a dirty mark, marks the control
// visited on a press and turns its mnemonic into an activation. Its control
// is cleared when the control goes; the widget then acts as a plain label.
#pragma once

#include "AUILibTypes.h"
#include "ControlLifetime.h"

#include <QLabel>

namespace AUILib {

class HyperLinkElement;

class HyperLinkElementQt : public QLabel, public ControlOwnerSlot<HyperLinkElement> {
    Q_OBJECT

public:
    HyperLinkElementQt() : QLabel(nullptr) {}

    // Sets the markup of the control's text and URL in colour (0xAARRGGBB),
    // as an anchor when underline, else as a plain coloured run.
    void SetLinkMarkup(RGBColor colour, bool underline);
    // The next paint rebuilds the markup.
    void MarkDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }

    // Some link of the process has the mouse over it.
    static bool IsMouseOver() { return mouseOver_; }

protected:
    bool event(QEvent* e) override;

private:
    // The markup for the mouse being away.
    void SetRestingMarkup();

    bool dirty_ = false;
    static bool mouseOver_;
};

} // namespace AUILib
