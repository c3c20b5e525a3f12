// ScrollBar: the scroll bar over an integer range; a new one pages by 1.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ScrollBar : public BaseGUIObject {
public:
    class impl;

    ScrollBar();
    ~ScrollBar() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Each does nothing once the widget is gone; GetValue then answers 0.
    // Qt clamps the value into the range (and raises a maximum below the
    // minimum to the minimum).
    // The step of Page Up / Page Down and of clicks beside the handle.
    virtual void SetPageSize(int size);
    // The step of the arrow keys (and arrow buttons).
    virtual void SetLineSize(int size);
    virtual void SetRange(int minimum, int maximum);
    virtual void SetValue(int value);
    virtual int GetValue();
    // Fills the bar's background with 0xRRGGBB (the top byte ignored).
    virtual void SetBackgroundColor(int colour);
    // The colour last set, -1 until one was.
    virtual int GetBackgroundColor();

    // Stands where the slider has its release signal; the scroll bar never
    // emits it.
    Signal<> OnUnused;
    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the value, by the user or by code, once per change.
    Signal<int> OnValueChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
