#include "RadioButton.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "IcoBytes.h"
#include "RadioButtonImplQt.h"
#include "WideQt.h"

#include <QFileInfo>
#include <QIcon>

namespace AUILib {

RadioButton::impl::impl(RadioButton& owner) : widget_(new RadioButtonQt, WidgetOwnership::Made, &owner)
{
    // Qt reports toggled before clicked, so a click that checks the button
    // finds the flag raised.
    widget_.Connect(widget_.Get(), &QAbstractButton::clicked, [this](bool) { OnClicked(); });
    widget_.Connect(widget_.Get(), &QAbstractButton::toggled, [this](bool checked) {
        if (checked)
            checkedSinceClick_ = true;
    });
}

RadioButton::impl::~impl() = default;

QWidget* RadioButton::impl::GetWndPtr() { return widget_.data(); }

void RadioButton::impl::OnClicked()
{
    RadioButton* control = widget_.Owner();
    const bool checkedByClick = checkedSinceClick_;
    checkedSinceClick_ = false;
    if (!control)
        return;
    // A handler may drop the control and with it this object.
    const std::shared_ptr<BaseImpl> hold = control->GetBaseImpl();
    control->OnClicked.Emit();
    control = widget_.Owner();
    if (control && checkedByClick)
        control->OnCheckedByClick.Emit();
}

void RadioButton::impl::ShowPicture(const QPixmap& picture, ScalePicture mode, QSize size)
{
    RadioButtonQt* button = widget_;
    {
        ChangeFlagGuard guard(*this);
        button->setText(QString());
    }
    const QPixmap scaled = AUILibUtils::ScaleBitmap(picture, mode, size);
    if (scaled.isNull()) {
        button->setIcon(QIcon());
    } else {
        button->setIconSize(scaled.size());
        QIcon icon;
        icon.addPixmap(scaled, QIcon::Normal, QIcon::Off);
        button->setIcon(icon);
    }
    button->repaint();
}

void RadioButton::impl::LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize)
{
    RadioButtonQt* button = widget_;
    if (!button)
        return;
    const QString file = ToQString(path);
    QPixmap picture;
    if (QFileInfo(file).completeSuffix().toUpper() == QLatin1String("ICO"))
        picture = AUILibUtils::SelectIcon(QIcon(file), iconSize);
    else
        picture.load(file);
    ShowPicture(picture, mode, button->size());
}

void RadioButton::impl::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                                    int iconSize)
{
    RadioButtonQt* button = widget_;
    if (!button)
        return;
    QPixmap picture;
    if (data && length >= 1) {
        if (type == ImageICO)
            picture = AUILibUtils::SelectIcon(IconFromIcoBytes(data, length), iconSize);
        else
            picture.loadFromData(data, static_cast<uint>(length), AUILibUtils::ImageTypeToStr(type).c_str());
    }
    ShowPicture(picture, mode, button->size());
}

RadioButton::RadioButton() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeRadioButton); }

RadioButton::~RadioButton()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), a placed widget both of them.
    impl_->ForgetOwner();
}

bool RadioButton::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size RadioButton::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> RadioButton::GetBaseImpl() const { return impl_; }

SkinManager* RadioButton::GetSkinManager() { return GetGlobalSkinManager(); }

void RadioButton::SetCheck()
{
    if (RadioButtonQt* button = impl_->GetWidget())
        button->setChecked(true);
}

bool RadioButton::Checked()
{
    RadioButtonQt* button = impl_->GetWidget();
    return button && button->isChecked();
}

void RadioButton::LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize)
{
    impl_->LoadPicture(path, mode, iconSize);
}

void RadioButton::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                              int iconSize)
{
    impl_->LoadPicture(data, length, type, mode, iconSize);
}

void RadioButton::SetText(const std::wstring& text)
{
    RadioButtonQt* button = impl_->GetWidget();
    if (!button)
        return;
    ChangeFlagGuard guard(*impl_);
    button->setText(ToQString(text));
}

std::wstring RadioButton::GetText() const
{
    RadioButtonQt* button = impl_->GetWidget();
    return button ? ToWide(button->text()) : std::wstring();
}

void RadioButton::SetGroupInfo(std::shared_ptr<GroupInfo> info) { groupInfo_ = std::move(info); }

std::shared_ptr<GroupInfo> RadioButton::GetGroupInfo() { return groupInfo_; }

} // namespace AUILib
