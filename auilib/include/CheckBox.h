// CheckBox: the check box. In wrap mode it breaks a long text into lines
// inside the widget and the whole widget is its click area.
#pragma once

#include "AUILibEnums.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class CheckBox : public BaseGUIObject {
public:
    class impl;

    CheckBox();
    ~CheckBox() override;

    bool Create(QWidget* parent) override;
    // The one-line size whatever the wrap mode: a wrapped box takes its
    // height from SetMinimumHeight or its layout.
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Indeterminate needs a tri-state box (otherwise ignored); values outside
    // the three states uncheck. Never emits OnClicked.
    virtual void SetCheck(CheckBoxStates state);
    virtual CheckBoxStates GetCheck();
    virtual void SetTristate(bool tristate);
    // Does nothing: the box's text follows the palette.
    virtual void SetTextColor(unsigned int colour);

    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    // Takes effect at the next paint.
    void SetWrap(bool wrap);
    void SetMinimumHeight(unsigned int height);
    // Does nothing.
    void SetBorderRadius(int radius);

    // The user clicked the box (mouse, space key), after its state changed.
    Signal<> OnClicked;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
