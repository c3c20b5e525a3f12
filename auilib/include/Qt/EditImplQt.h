// The implementation of Edit: the text-change step (suffix and number
// filter), the balloon, the completer and the menu store; watches its
// widget and never deletes a placed one.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Edit.h"
#include "EditQt.h"
#include "FocusWatcher.h"
#include "NumericInputFilter.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QCompleter;

namespace AUILib {

class Edit::impl : public BaseImplQt {
public:
    explicit impl(Edit& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    EditQt* GetWidget() const { return widget_.data(); }
    Edit* Owner() const { return widget_.Owner(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    // The completer made by SetAutoComplete, owned here.
    struct CompleterHolder {
        ~CompleterHolder();
        QCompleter* completer = nullptr;
        QStringList words;
        QLineEdit* lineEdit = nullptr;
    };

    int colour = -1;
    NumericInputFilter filter;
    std::unique_ptr<CompleterHolder> completer;
    QPointer<FocusWatcher> focusWatcher;
    std::shared_ptr<ContextMenu> contextMenu;
    std::unique_ptr<PromptsPopup> balloon;
    std::wstring suffix;
    QString lastText;
    // Raised while the text-change step writes its result back: that write
    // is already filtered, and filtering it again would hide at once the
    // balloon the correction has just shown.
    bool writingBack = false;

private:
    void OnWidgetTextChanged(const QString& text);
    // When the user typed over (or deleted) a selection that began in the
    // number and reached into the suffix: the length of text up to the end
    // of what was typed; otherwise -1.
    int TypedOverSuffix(const QString& text, int position) const;
    void EmitTextChanged(const QString& text);
    void EmitTextEdited(const QString& text);
    void EmitFocusLost(bool focused);

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<EditQt, Edit> widget_;
};

} // namespace AUILib
