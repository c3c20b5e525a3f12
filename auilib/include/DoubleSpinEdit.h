// DoubleSpinEdit: the decimal spin edit, with an optional suffix and a
// decimal character of the caller's choosing.
#pragma once

#include "BaseGUIObject.h"

#include <memory>
#include <string>

namespace AUILib {

class DoubleSpinEdit : public BaseGUIObject {
public:
    class impl;

    DoubleSpinEdit();
    ~DoubleSpinEdit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Passed to Qt unchanged (a maximum below the minimum becomes the minimum).
    virtual void SetRange(double minimum, double maximum);
    // 0 once the widget is gone.
    virtual double GetValue();
    virtual void SetValue(double value);
    // Takes effect at the next step.
    virtual void SetStep(double step);
    // Digits after the decimal character.
    virtual void SetPrecision(int decimals);

    void SetSuffix(std::wstring suffix);
    std::wstring GetSuffix();
    // Kept with the widget; nothing shows them.
    void SetBalloonNaNtext(const std::wstring& title, const std::wstring& text);
    // On (the default): Qt's own checks. Off: typing past a limit turns the
    // text into that limit.
    void LastValidValueCorrection(bool correction);
    // Accepted for callers of the other spin edit; does nothing.
    void SetBorderRadius(int radius);
    // The character shown and read between whole and fractional digits; an
    // ASCII digit is ignored, 0 goes back to the locale's own.
    void SetDecimalChar(char decimal);

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    Signal<double> OnValueChanged;
    // A step by arrow, key or wheel: the new value and the amount stepped;
    // an arrow pressed at a limit: the limit and 0.
    Signal<double, double> OnArrowValueChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
