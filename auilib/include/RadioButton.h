// RadioButton: the radio button. A picture replaces its text; a click that
// checked it is reported a second time through OnCheckedByClick.
#pragma once

#include "AUILibEnums.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

// The caller's record of one group of radio buttons; the library only keeps
// it (callers derive their own record from it).
struct GroupInfo {
    virtual ~GroupInfo() = default;
};

class RadioButton : public BaseGUIObject {
public:
    class impl;

    RadioButton();
    ~RadioButton() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Checks the button without emitting; the next click then reports
    // OnCheckedByClick as well.
    virtual void SetCheck();
    virtual bool Checked();
    // The picture replaces the text. ICO files (the whole suffix after the
    // name's first dot is "ico") choose the pixmap for iconSize; a picture
    // that does not load leaves no text and no icon.
    virtual void LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize);
    virtual void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                             int iconSize);

    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    void SetGroupInfo(std::shared_ptr<GroupInfo> info);
    std::shared_ptr<GroupInfo> GetGroupInfo();

    // Every click of the button.
    Signal<> OnClicked;
    // After OnClicked, when the button became checked since the click before.
    Signal<> OnCheckedByClick;

private:
    std::shared_ptr<impl> impl_;
    std::shared_ptr<GroupInfo> groupInfo_;
};

} // namespace AUILib
