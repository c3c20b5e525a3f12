// ComboBox: the drop-down list control. Entries are texts with an optional
// picture, font and value of the caller's; plain separators and bold
// section headers sit between them. Optionally editable, with a
// numbers-only mode, inline completion and a balloon tip on the edit field.
//
// Once the widget is gone (its Qt parent deleted it) every operation does
// nothing and returns its neutral value (-1, false, empty); Create throws.
#pragma once

#include "AUILibAny.h"
#include "AUILibEnums.h"
#include "AUILibTypes.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

class QWidget;

namespace AUILib {

class ComboBox : public BaseGUIObject {
public:
    class impl;

    ComboBox();
    ~ComboBox() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;
    using BaseGUIObject::Enable;

    // The row used: index clamped into 0..Count().
    virtual int AddItem(const std::wstring& text, any value);
    // An empty text makes a plain separator (the value is dropped), any
    // other a bold header that cannot be chosen. Returns index unchanged.
    virtual int AddSeparator(const std::wstring& text, any value);
    virtual int InsertItem(int index, const std::wstring& text, any value);
    virtual int InsertSeparator(int index, const std::wstring& text, any value);
    // The first picture fixes the scale mode and the icon size of all.
    virtual void AddPicture(int index, const std::wstring& path, ScalePicture scale, Size size, BitmapType type);
    // Null data removes the entry's picture; a count of 0 or less changes
    // nothing.
    virtual void AddPicture(int index, const unsigned char* data, int length, ImageTypes type, ScalePicture scale,
                            Size size, BitmapType bitmapType);
    virtual void SetCurSel(int index);
    virtual int GetCurSel();
    virtual std::wstring GetItemText(int index);
    virtual std::wstring CurrentText();
    // Not reported through OnUserEditTextChanged.
    virtual void SetCurrentText(const std::wstring& text);
    // Values go; their ids are not handed out again.
    virtual void Clear();
    virtual int Count();
    virtual any GetItemData(int index);
    virtual bool SetItemData(int index, any value);
    // True when a value was erased.
    virtual bool RemoveItemData(int index);
    virtual void OnlyNumbers(bool enable, int min, int max);
    virtual void SetMaxVisibleItems(int count);
    virtual int GetMaxVisibleItems();
    // Case-insensitive prefix search from the entry after start, wrapping
    // round to the first; -1 when nothing matches.
    virtual int FindString(const std::wstring& text, int start);
    // The open list as wide as its widest entry (at least the box).
    virtual void AdjustItemWidth();
    virtual void SetAutoComplete(bool enable);
    virtual bool IsAutoComplete();
    // The edit-field operations need an editable box (else -1 / nothing).
    virtual void SetEditSel(int start, int length);
    virtual int SelectionLength();
    virtual int SelectionStart();
    virtual void SetCaretPosition(int position);
    virtual int GetCaretPosition();
    virtual void ShowDropDown(bool show);
    // Children too.
    virtual void Enable(bool enable);
    // 0xAARRGGBB, alpha ignored; each call appends its rules.
    virtual void SetTextColor(unsigned colour);
    virtual void SetSelectedItemTextColor(unsigned colour);
    // Accepted for callers of other combo boxes; no effect.
    virtual void SetBackgroundColor(unsigned colour, unsigned border);
    virtual void SetDropDownButtonBackgroundColor(unsigned colour);
    virtual void ResetDropDownButtonBackgroundColor();

    void SetFont(FontData data);
    // Ignored for an index outside the list.
    void DisableItem(int index, bool disable);
    bool IsItemDisabled(int index);
    void DeleteString(int index);
    // Unset fields of data keep the entry's current ones.
    void SetItemFont(int index, FontData& data);
    FontData GetItemFont(int index);
    // Turns inline completion off either way.
    void SetEditable(bool editable);
    // Draws an editable box as a list field (edit frame over the box).
    void EnableEditListMode(bool enable);
    bool GetDroppedState();
    bool ShowBalloonTip(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon);
    bool HideBalloonTip();
    void SetBorderRadius(int radius);
    void SetAddToListOnEnterKey(bool add);
    QWidget* GetWndPtr();

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // The current entry changed, for any cause; -1 for none.
    Signal<int> OnCurrentIndexChanged;
    // The edit text changed (after the number filter): every time...
    Signal<std::wstring> OnEditTextChanged;
    // ...and, except during SetCurrentText, as the user's change.
    Signal<std::wstring> OnUserEditTextChanged;
    // With every OnEditTextChanged: the text before and the text now.
    Signal<std::wstring, std::wstring> OnEditTextReplaced;
    // After a paste into the edit field: the whole edit text.
    Signal<std::wstring> OnPaste;
    // Up or Down on the closed box onto a selectable entry: its index.
    Signal<int> OnCurrentIndexSelected;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
