// RichEdit: the formatted-text edit. Plain text in and out as wide strings,
// the character format of the selection through one small record, and a
// switch for taking rich text on paste.
#pragma once

#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class RichEdit : public BaseGUIObject {
public:
    class impl;

    // Style bits of SetStyle.
    enum flag : int32_t {
        ReadOnly = 1,
        Framed = 2,
        Visible = 4,
        WrapLines = 8,  // at the widget's width
    };

    // Character positions (UTF-16 units of the document).
    struct Selection {
        long long start = 0;
        long long end = 0;
    };

    // Flag bits of CharFormat_.
    enum CharFlags : int {
        CharBold = 1,
        CharItalic = 2,
        CharUnderline = 4,
        CharStrikeOut = 8,
    };

    // The selection's character format. Setting: -1 (size, colour) and an
    // empty face leave those unset.
    struct CharFormat_ {
        int size = -1;       // points
        int color = -1;      // 0xRRGGBB
        int flags = 0;       // CharFlags
        std::wstring faceName;
    };

    RichEdit();
    ~RichEdit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    Size MinimumIdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Code's change: OnTextChanged only, even for the same text.
    void SetText(const std::wstring& text);
    std::wstring GetText();
    // The bits of add are switched on first, then those of remove off.
    void SetStyle(flag remove, flag add);
    Selection GetSel();
    // end -1 is the end of the text; a negative start (or end) leaves the
    // selection as it is.
    void SetSel(Selection selection);
    // The format of the character before the cursor.
    CharFormat_ GetSelectionCharFormat();
    // Replaces the selected text's format (properties not given are
    // cleared); nothing without a selection. Code's change: OnTextChanged
    // only.
    void SetSelectionCharFormat(CharFormat_ format);
    bool acceptRichText();
    void setAcceptRichText(bool accept);

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the text or its format, whoever made it.
    Signal<> OnTextChanged;
    // Just before OnTextChanged, when the change was the user's.
    Signal<> OnTextEdited;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
