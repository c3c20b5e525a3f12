// The implementation of MultiLineEdit: watches its widget, never deletes a
// placed one, keeps the text within the limit and the height with the line
// count, and passes the widget's notifications on to the control's signals.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "FocusWatcher.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"

#include <QPointer>
#include <QString>
#include <QTextCursor>

namespace AUILib {

class MultiLineEdit::impl : public BaseImplQt {
public:
    explicit impl(MultiLineEdit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    MultiLineEditQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    Selection GetSel();
    void SetSel(Selection selection);
    void SetAdaptiveHeight(bool adaptive);
    void SetLimitText(int limit);

private:
    // On every textChanged() of the widget.
    void OnTextStep();
    // Cuts what an edit added beyond the limit in one removal before the
    // cursor; true when it removed something.
    bool TrimToLimit(MultiLineEditQt& widget);
    void OnHeightStep();
    void OnFocusChanged(bool focused);

    bool adaptiveHeight_ = false;
    int textLimit_ = -1;
    QTextCursor cursor_;
    QPointer<FocusWatcher> focusWatcher_;
    QString lastText_;
    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<MultiLineEditQt, MultiLineEdit> widget_;
};

} // namespace AUILib
