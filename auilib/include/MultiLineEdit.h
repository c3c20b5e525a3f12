// MultiLineEdit: the plain multi-line edit. Text in and out as wide strings,
// an optional limit on the number of characters (code points) and an
// optional height that follows the number of lines.
#pragma once

#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class MultiLineEdit : public BaseGUIObject {
public:
    class impl;

    // Style bits of SetStyle.
    enum flag : int32_t {
        ReadOnly = 1,
        Framed = 2,
        Visible = 4,
        WrapLines = 8,  // at the widget's width
    };

    // The vertical scroll bar: 1 never, 2 always, any other value as needed.
    enum ScrollBarPolicy : int32_t {
        ScrollBarAlwaysOff = 1,
        ScrollBarAlwaysOn = 2,
        ScrollBarAsNeeded = 0,
    };

    // Character positions (UTF-16 units of the document).
    struct Selection {
        long long start = 0;
        long long end = 0;
    };

    MultiLineEdit();
    ~MultiLineEdit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    Size MinimumIdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Code's change: OnTextChanged only, and only when the text differs.
    void SetText(const std::wstring& text);
    std::wstring GetText();
    // The bits of add are switched on first, then those of remove off.
    void SetStyle(flag remove, flag add);
    void SetScrollBarPolicy(ScrollBarPolicy policy);
    Selection GetSel();
    // end -1 is the end of the text; a negative start (or end) leaves the
    // selection as it is.
    void SetSel(Selection selection);
    // On: the widget's fixed height follows its line count. Off: a height
    // set earlier stays.
    void SetAdaptiveHeight(bool adaptive);
    // Values above 0 become the limit; others leave the limit as it is.
    void SetLimitText(int limit);

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // The text differs from the last text seen, whoever changed it.
    Signal<> OnTextChanged;
    // Just before OnTextChanged, when the change was the user's.
    Signal<> OnTextEdited;
    Signal<> OnFocusLost;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
