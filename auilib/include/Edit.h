// Edit: the single-line edit. Plain or password entry, a suffix glued to the
// end of the text, a numbers-only mode with warning balloons, completion
// from a word list, a balloon tip, a context menu of the caller's (or the
// standard one, whose Paste notifies), and an optional trailing button.
#pragma once

#include "AUILibEnums.h"
#include "BaseGUIObject.h"

#include <memory>
#include <string>
#include <vector>

namespace AUILib {

class ContextMenu;
class PromptsPopup;

class Edit : public BaseGUIObject {
public:
    class impl;

    enum PasswordMode : int32_t {
        PasswordNormal = 0,
        PasswordHidden = 1,
    };

    Edit();
    ~Edit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    virtual void SetTextAlign(TextAlign align);
    virtual void SetSelectAll();
    virtual void SetFocus();
    virtual void SetLimitText(int limit);
    virtual void SetReadOnly(bool readOnly);
    virtual bool IsReadOnly();
    // Numbers only: whole numbers in [min, max] (negatives exactly when
    // min < 0), or decimal numbers with at most decimals digits after the
    // separator. invalidPopup shows while typed characters had to go,
    // rangePopup while the value had to be clamped. The current text is
    // not filtered again.
    virtual void OnlyNumbers(bool enable, int min, int max, std::shared_ptr<PromptsPopup> invalidPopup,
                             std::shared_ptr<PromptsPopup> rangePopup);
    virtual void OnlyNumbers(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalidPopup,
                             int decimals);
    virtual void OnlyNumbers(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalidPopup,
                             std::shared_ptr<PromptsPopup> rangePopup, int decimals);
    // 0xRRGGBB; both colour setters keep one colour, which both getters
    // return (-1 before either was called).
    virtual void SetBackgroundColor(int colour);
    virtual int GetBackgroundColor();
    virtual void SetTextColor(int colour);
    virtual void SetPlaceHolderTextColor(RGBColor colour);
    virtual int GetTextColor();

    // A balloon under the edit's top-left corner for 3 s that closes on the
    // first key, focus change or leave. False when the widget is gone.
    bool ShowBalloonTip(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon);
    bool HideBalloonTip();
    // Cursor at the start afterwards, nothing selected.
    void SetText(const std::wstring& text);
    // The text as shown, suffix included.
    std::wstring GetText();
    void SetPasswordMode(PasswordMode mode);
    int GetPasswordMode();
    void SetFrameMode(bool frame);
    bool GetFrameMode();
    // 0 off, 1 whole numbers, 2 decimal numbers.
    int IsSetOnlyNumbers();
    // The edit's own menu, shown on right-click instead of the standard one.
    void InsertContextMenu(const std::shared_ptr<ContextMenu>& menu);
    void RemoveContextMenu();
    std::shared_ptr<ContextMenu> GetContextMenu();
    // Negative: nothing; beyond the end: the end. Focuses the edit.
    void SetCursorPosition(int position);
    int GetCursorPosition();
    void SetSelection(int start, int length);
    int SelectionLength();
    int SelectionStart();
    void SetAutoComplete(const std::vector<std::wstring>& words);
    void EnableAutoComplete(bool enable);
    // Kept at the end of the text whatever the user types.
    void SetSuffix(std::wstring suffix);
    void SetPlaceHolderText(std::wstring text);
    QWidget* GetWndPtr();
    void SetBorderColor(unsigned colour);
    void SetBorderRadius(int radius);
    // A trailing button with an icon that changes while hovered; once
    // enabled it stays.
    void EnableExtendedButton(std::wstring normalIcon, std::wstring hoverIcon);
    void ExtendedButtonSetImage(std::wstring normalIcon, std::wstring hoverIcon);
    void ExtendedButtonSetImage(const unsigned char* data, int length, ImageTypes type, bool hover);

    Signal<> OnExtendedButtonClicked;
    // Handlers of the text and focus signals must not delete the widget or
    // its window at once: end a dialog with Done, close() or deleteLater
    // (see Signal.h).
    // Every change of the text, by code too.
    Signal<std::wstring> OnTextChanged;
    // Changes by the user only.
    Signal<std::wstring> OnTextEdited;
    Signal<> OnFocusLost;
    // A menu was asked for, before any is shown.
    Signal<> OnContextMenu;
    // A paste of a non-empty clipboard text, before it is inserted.
    Signal<std::wstring> OnPaste;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
