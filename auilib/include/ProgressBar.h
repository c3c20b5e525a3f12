// ProgressBar: the progress bar. SetValue refuses a value outside the
// range; every change of the value is signalled.
#pragma once

#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>

namespace AUILib {

class ProgressBar : public BaseGUIObject {
public:
    class impl;

    ProgressBar();
    ~ProgressBar() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // A value outside the new range first goes to minimum (tested against
    // the range still in force; refused when minimum lies outside it, and
    // then Qt resets the bar: GetValue answers minimum - 1). Nothing once the
    // widget is gone.
    void SetRange(int minimum, int maximum);
    // False, value unchanged, for a value outside the range or a gone widget.
    bool SetValue(int value);
    // 0 once the widget is gone.
    int GetValue() const;
    int GetMinimum() const;
    int GetMaximum() const;

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the value, by code or otherwise, once per change.
    Signal<int> OnValueChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
