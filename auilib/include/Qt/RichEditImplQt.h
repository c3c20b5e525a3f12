// The implementation of RichEdit: watches its widget, never deletes a placed
// one, and passes the widget's notifications on to the control's signals.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "RichEdit.h"
#include "RichEditQt.h"

#include <QTextCursor>

namespace AUILib {

class RichEdit::impl : public BaseImplQt {
public:
    explicit impl(RichEdit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    RichEditQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    Selection GetSel();
    void SetSel(Selection selection);
    CharFormat_ GetSelectionCharFormat();
    void SetSelectionCharFormat(const CharFormat_& format);

private:
    // On every textChanged() of the widget, format changes included.
    void OnTextStep();

    QTextCursor cursor_;
    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<RichEditQt, RichEdit> widget_;
};

} // namespace AUILib
