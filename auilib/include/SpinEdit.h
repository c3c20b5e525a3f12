// SpinEdit: the whole-number spin edit, over 64-bit values with a suffix
// shown behind the number. Typed text is checked keystroke by keystroke and
// committed on Enter, focus loss or a step.
#pragma once

#include "BaseGUIObject.h"

#include <memory>
#include <string>

namespace AUILib {

class SpinEdit : public BaseGUIObject {
public:
    class impl;

    SpinEdit();
    ~SpinEdit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // The limits in either order.
    virtual void SetRange(long long a, long long b);
    // The value the typed text stands for (the committed one until the user
    // types); 0 once the widget is gone.
    virtual long long GetValue();
    // Clamped into the range; OnValueChanged when the value changes.
    virtual void SetValue(long long value);
    virtual void SetStep(long long step);

    void SetSuffix(std::wstring suffix);
    std::wstring GetSuffix();
    // Kept with the widget; nothing shows them.
    void SetBalloonNaNtext(const std::wstring& title, const std::wstring& text);
    // On (the default): out-of-range typing is refused or undone on focus
    // loss. Off: typing past a limit turns the text into that limit.
    void LastValidValueCorrection(bool correction);
    // Accepted for callers of the other spin edit; does nothing.
    void SetBorderRadius(int radius);

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // The committed value changed (by the user or by code; the
    // implementation's IsChangeInProgress tells code's changes apart).
    Signal<long long> OnValueChanged;
    // A step by arrow, key or wheel: the new value and the amount stepped;
    // an arrow pressed at a limit: the value and 0.
    Signal<long long, long long> OnArrowValueChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
