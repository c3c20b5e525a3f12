// Slider: the slider over an integer range.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class Slider : public BaseGUIObject {
public:
    class impl;

    Slider();
    ~Slider() override;

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

    // The user let go of the dragged handle.
    Signal<> OnSliderReleased;
    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the value, by the user or by code, once per change.
    Signal<int> OnValueChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
