// The implementation of RadioButton: watches its widget (deletes it only if
// it goes while the widget was never placed), remembers that the button
// became checked since the last click, and reports clicks through the
// control's signals while the control exists.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "RadioButton.h"
#include "RadioButtonQt.h"

#include <QPixmap>
#include <QSize>

namespace AUILib {

class RadioButton::impl : public BaseImplQt {
public:
    explicit impl(RadioButton& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    RadioButtonQt* GetWidget() const { return widget_.data(); }
    bool IsCheckedSinceClick() const { return checkedSinceClick_; }

    void LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize);
    void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int iconSize);

    // Called by the control as it goes: clicks are no longer reported.
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    void OnClicked();
    void ShowPicture(const QPixmap& picture, ScalePicture mode, QSize size);

    bool checkedSinceClick_ = false;
    ControlLifetime<RadioButtonQt, RadioButton> widget_;
};

} // namespace AUILib
