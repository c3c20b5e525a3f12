// Label: static text (plain, rich, a paragraph with a chosen line height, or
// one line cut with an ellipsis) or a picture (still, icon, GIF movie), with
// its own text and background colours.
//
// Truncation and word wrap exclude each other: turning either on turns the
// other off. Colours are 0xRRGGBB (top byte ignored); -1 means none set.
#pragma once

#include "AUILibEnums.h"
#include "AUILibTypes.h"
#include "BaseGUIObject.h"

#include <memory>
#include <string>

namespace AUILib {

class Label : public BaseGUIObject {
public:
    class impl;

    Label();
    ~Label() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Fields left at their unset values keep the label's font as it is.
    virtual void SetFont(FontData& font);
    // Exactly one horizontal flag; vertical alignment is dropped.
    virtual void SetTextAlign(TextAlign align);
    virtual TextAlign GetTextAlign();
    // Centred vertically, or aligned to the top.
    virtual void SetVCenter(bool center);
    virtual bool GetVCenter();
    virtual void SetBackgroundColor(int colour);
    virtual int GetBackgroundColor();
    virtual void SetTextColor(int colour);
    virtual int GetTextColor();
    virtual FontData GetFont();
    // ICO files choose the pixmap for iconSize (below 1: the label's smaller
    // edge); a GIF becomes a movie, shown stopped on its first frame.
    virtual void LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize);
    // Null data clears the label; data that does not decode keeps what it
    // showed.
    virtual void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                             int iconSize);
    // False when the label shows no valid movie.
    virtual bool PlayGif();
    virtual bool StopGif();
    // Shows text as a picture of the label's size, in its font and alignment.
    virtual void DrawTxt(const std::wstring& text);

    // The text up to its first NUL character is shown.
    void SetText(const std::wstring& text);
    // The text given to SetText while a paragraph or truncation decorates
    // it, otherwise the label's own text.
    std::wstring GetText() const;
    void SetToolTip(const std::wstring& text);
    std::wstring GetToolTip() const;
    void SetBorder();
    void SetWordWrap(bool wrap);
    // Line height in percent of an HTML paragraph around the text; negative:
    // no paragraph.
    void SetLineSpacing(int percent);
    void TruncateTextToEllipses(bool truncate);
    QWidget* GetWndPtr();

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
