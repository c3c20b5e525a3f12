// Button: the push button. The default constructor makes its own ButtonQt;
// the other wraps an existing push button (the standard buttons of a
// dialog button box).
//
// All looks are Qt style sheets. The button keeps one applied sheet: each
// style replaces it with a prepared sheet, each colour, radius and focus
// setter edits single properties of it (nothing is ever added), so apply
// setters after SetStyle. A button standing in a library button box hands
// its sheet to the box instead of styling itself.
#pragma once

#include "AUILibEnums.h"
#include "AUILibTypes.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <cstdint>
#include <memory>
#include <string>

class QPushButton;

namespace AUILib {

class ContextMenu;

class Button : public BaseGUIObject {
public:
    class impl;

    enum ButtonStyle : int32_t {
        Default = 0,
        Flat = 1,
        IconAboveText = 2,
        IconOnly = 3,
        Rounded = 4,
        Plus = 5,
        HoverBorder = 6,
        Link = 7,
        RoundedFixed = 8,
        RoundedIconAboveText = 9,
    };

    Button();
    explicit Button(QPushButton* widget);
    ~Button() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Makes the widget checkable first (never undone).
    virtual void SetChecked(bool checked);
    virtual bool GetCheck();
    // The trailing flag is not used: these load the normal picture, the
    // Disabled forms the picture of the disabled state. ICO files and memory
    // of type ImageICO choose the pixmap nearest iconSize.
    virtual void LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize, bool);
    virtual void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int iconSize,
                             bool);
    virtual void LoadPictureDisabled(const std::wstring& path, ScalePicture mode, int iconSize, bool);
    virtual void LoadPictureDisabled(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                                     int iconSize, bool);
    // Does nothing: Qt derives a disabled icon when none was loaded.
    virtual void GeneratePictureDisabled(bool);
    virtual void UseTextAndIcon(ButtonStyle style);
    virtual void SetStyle(ButtonStyle style);
    virtual ButtonStyle GetStyle();
    // The colour's red, green and blue; its top byte is not used.
    virtual void SetTextColor(int colour);

    // The text reaches Qt as it is ('&' marks a mnemonic).
    void SetText(const std::wstring& text);
    std::wstring GetText() const;

    // Does nothing.
    void Use3dStyle();
    void SetTextColor(RGBColor normal, RGBColor disabled);
    // all = false: resting and hover backgrounds, alpha dropped; all = true:
    // every background and border rule, alpha forced opaque.
    void SetBackgroundColor(unsigned int colour, bool all);
    // A focus or pressed colour of 0xFFFFFFFF takes the hover or normal one.
    void SetBackgroundColor(RGBColor normal, RGBColor hover, RGBColor disabled, RGBColor focus, RGBColor pressed);
    void SetBorderColor(RGBColor normal, RGBColor hover, RGBColor disabled);
    // 0 or less: half the widget height.
    void SetRoundedButtonCornerRadius(int radius);
    int GetRoundedButtonCornerRadius();
    // Fields left at their unset values (and a point size that is not a
    // positive number) keep the widget's font as it is.
    void SetFont(FontData& font);
    FontData GetFont();
    void DisableFocusRect(bool disable);
    bool IsDisableFocusRect();

    // A click shows the menu just below the button, then emits clicked.
    // showArrow only decides whether the widget paints a drop-down arrow.
    void InsertMenuBar(std::shared_ptr<ContextMenu> menu, bool showArrow);
    void RemoveMenuBar();

    Signal<> clicked;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
