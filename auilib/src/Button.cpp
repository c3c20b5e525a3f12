#include "Button.h"

#include "AUILibConfig.h"
#include "ButtonImplQt.h"
#include "ButtonQt.h"
#include "ContextMenu.h"
#include "FontDataQt.h"
#include "StyleSheetProperty.h"
#include "WideQt.h"

#include <QFont>

#include <cmath>

namespace AUILib {

namespace {

constexpr int kArrowMargin = 3;
constexpr RGBColor kUnsetColour = 0xFFFFFFFF;
constexpr int kButtonBoxRadius = 9;

const QString kButton = QStringLiteral("QPushButton");
const QString kHover = QStringLiteral("QPushButton:hover");
const QString kFocus = QStringLiteral("QPushButton:focus");
const QString kPressed = QStringLiteral("QPushButton:pressed");
const QString kDisabled = QStringLiteral("QPushButton:disabled");
const QString kLabel = QStringLiteral("QLabel");
const QString kLabelDisabled = QStringLiteral("QLabel:disabled");
const QString kBackground = QStringLiteral("background-color");
const QString kBorderColour = QStringLiteral("border-color");
const QString kColour = QStringLiteral("color");
const QString kRadius = QStringLiteral("border-radius");

ButtonQt* NewButtonWidget()
{
    auto* widget = new ButtonQt;
    widget->SetArrowMargin(kArrowMargin);
    return widget;
}

// 0xAARRGGBB as "#aarrggbb".
QString Argb(RGBColor colour) { return QColor::fromRgba(colour).name(QColor::HexArgb); }
// The red, green and blue of colour as "#rrggbb".
QString Rgb(unsigned int colour) { return QColor(static_cast<QRgb>(colour)).name(); }

QString Pixels(int value) { return QString::number(value) + QStringLiteral("px"); }

} // namespace

Button::Button() : impl_(std::make_shared<impl>(*this, NewButtonWidget(), WidgetOwnership::Made))
{
    SetControlType(ControlTypeButton);
}

Button::Button(QPushButton* widget) : impl_(std::make_shared<impl>(*this, widget, WidgetOwnership::Wrapped))
{
    SetControlType(ControlTypeButton);
}

Button::~Button()
{
    // The implementation may outlive the button (a caller holding
    // GetBaseImpl), a placed widget both of them.
    impl_->ForgetOwner();
}

bool Button::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size Button::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Button::GetBaseImpl() const { return impl_; }

SkinManager* Button::GetSkinManager() { return GetGlobalSkinManager(); }

void Button::SetChecked(bool checked)
{
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return;
    if (!widget->isCheckable())
        widget->setCheckable(true);
    widget->setChecked(checked);
}

bool Button::GetCheck()
{
    QPushButton* widget = impl_->GetWidget();
    return widget && widget->isChecked();
}

void Button::LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize, bool)
{
    impl_->LoadPicture(path, mode, iconSize, false);
}

void Button::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int iconSize, bool)
{
    impl_->LoadPicture(data, length, type, mode, iconSize, false);
}

void Button::LoadPictureDisabled(const std::wstring& path, ScalePicture mode, int iconSize, bool)
{
    impl_->LoadPicture(path, mode, iconSize, true);
}

void Button::LoadPictureDisabled(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                                 int iconSize, bool)
{
    impl_->LoadPicture(data, length, type, mode, iconSize, true);
}

void Button::GeneratePictureDisabled(bool) {}

void Button::UseTextAndIcon(ButtonStyle style) { SetStyle(style); }

void Button::SetStyle(ButtonStyle style)
{
    impl_->SetStyleValue(style);
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return;
    const ButtonSheets& sheets = impl_->Sheets();
    switch (style) {
    case IconAboveText:
    case RoundedIconAboveText:
        if (!impl_->HasLabels())
            impl_->CreateLabels();
        impl_->GetPictureLabel()->setPixmap(impl_->GetPicture());
        // Once moved, the widget's text is empty: a second call must not
        // empty the label as well.
        if (!widget->text().isEmpty()) {
            impl_->GetTextLabel()->setText(widget->text());
            impl_->SetWidgetText(QString());
        }
        widget->setIcon(QIcon());
        break;
    case IconOnly:
        widget->setText(QString());
        break;
    default:
        break;
    }
    switch (style) {
    case Flat:
    case IconAboveText:
    case IconOnly:
        impl_->ApplyStyleSheet(sheets.transparent);
        break;
    case Rounded:
    case RoundedFixed:
    case RoundedIconAboveText: {
        int radius = impl_->GetCornerRadius();
        if (radius <= 0)
            radius = impl_->IsInButtonBox() ? kButtonBoxRadius : widget->height() / 2;
        impl_->ApplyStyleSheet(SetStyleSheetProperty(sheets.rounded, kButton, kRadius, Pixels(radius)));
        break;
    }
    case Plus:
        impl_->SetWidgetText(QStringLiteral("+ ") + widget->text());
        impl_->ApplyStyleSheet(sheets.plus);
        break;
    case HoverBorder:
        impl_->ApplyStyleSheet(sheets.hoverBorder);
        break;
    case Link:
        impl_->ApplyStyleSheet(sheets.hoverBorderNoFocus);
        break;
    default:
        break;
    }
}

Button::ButtonStyle Button::GetStyle() { return impl_->GetStyle(); }

void Button::SetText(const std::wstring& text)
{
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return;
    const QString value = ToQString(text);
    const ButtonStyle style = impl_->GetStyle();
    if (style == IconAboveText || style == RoundedIconAboveText) {
        const bool hasIcon = !widget->icon().isNull();
        if (impl_->HasLabels() || hasIcon) {
            if (hasIcon) {
                if (impl_->HasLabels()) {
                    impl_->GetPictureLabel()->setPixmap(impl_->GetPicture());
                    widget->setIcon(QIcon());
                } else {
                    impl_->CreateLabels();
                }
            }
            impl_->GetTextLabel()->setText(value);
            return;
        }
    }
    if (style == IconOnly) {
        impl_->ApplyStyleSheet(impl_->Sheets().transparent);
        return;
    }
    if (impl_->HasLabels()) {
        // The labels stay once made and GetText reads the text label: a
        // widget text beside it would show both and read back the old one.
        impl_->GetTextLabel()->setText(value);
        return;
    }
    impl_->SetWidgetText(style == Plus ? QStringLiteral("+ ") + value : value);
}

std::wstring Button::GetText() const
{
    if (impl_->HasLabels())
        return ToWide(impl_->GetTextLabel()->text());
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return std::wstring();
    QString text = widget->text();
    if (impl_->GetStyle() == Plus)
        text = text.mid(2);
    return ToWide(text);
}

void Button::Use3dStyle() {}

void Button::SetTextColor(int colour)
{
    if (!impl_->GetWidget())
        return;
    impl_->ApplyDefaultStyleSheet();
    if (impl_->HasLabels())
        impl_->EditLabelSheet(kLabel, kColour, Rgb(static_cast<unsigned int>(colour)));
    else
        impl_->EditAppliedSheet(kButton, kColour, Rgb(static_cast<unsigned int>(colour)));
    impl_->SetTextColour(QColor(static_cast<QRgb>(colour)));
    impl_->Repaint();
}

void Button::SetTextColor(RGBColor normal, RGBColor disabled)
{
    if (!impl_->GetWidget())
        return;
    impl_->ApplyDefaultStyleSheet();
    if (impl_->HasLabels()) {
        impl_->EditLabelSheet(kLabel, kColour, Argb(normal));
        impl_->EditLabelSheet(kLabelDisabled, kColour, Argb(disabled));
    } else {
        impl_->EditAppliedSheet(kButton, kColour, Argb(normal));
        impl_->EditAppliedSheet(kDisabled, kColour, Argb(disabled));
    }
    impl_->SetTextColours(QColor(static_cast<QRgb>(normal)), QColor(static_cast<QRgb>(disabled)));
    impl_->Repaint();
}

void Button::SetBackgroundColor(unsigned int colour, bool all)
{
    if (!impl_->GetWidget())
        return;
    if (all) {
        const RGBColor opaque = colour | 0xFF000000u;
        SetBackgroundColor(opaque, opaque, opaque, opaque, opaque);
        SetBorderColor(opaque, opaque, opaque);
        impl_->EditAppliedSheet(kPressed, kBackground, Argb(opaque));
    } else {
        impl_->ApplyDefaultStyleSheet();
        impl_->EditAppliedSheet(kButton, kBackground, Rgb(colour));
        impl_->EditAppliedSheet(kHover, kBackground, Rgb(colour));
    }
    impl_->Repaint();
}

void Button::SetBackgroundColor(RGBColor normal, RGBColor hover, RGBColor disabled, RGBColor focus,
                                RGBColor pressed)
{
    if (!impl_->GetWidget())
        return;
    impl_->ApplyDefaultStyleSheet();
    if (focus == kUnsetColour)
        focus = hover;
    if (pressed == kUnsetColour)
        pressed = normal;
    impl_->EditAppliedSheet(kButton, kBackground, Argb(normal));
    impl_->EditAppliedSheet(kHover, kBackground, Argb(hover));
    impl_->EditAppliedSheet(kFocus, kBackground, Argb(focus));
    impl_->EditAppliedSheet(kPressed, kBackground, Argb(pressed));
    impl_->EditAppliedSheet(kDisabled, kBackground, Argb(disabled));
    impl_->Repaint();
}

void Button::SetBorderColor(RGBColor normal, RGBColor hover, RGBColor disabled)
{
    if (!impl_->GetWidget())
        return;
    impl_->ApplyDefaultStyleSheet();
    impl_->EditAppliedSheet(kButton, kBorderColour, Argb(normal));
    impl_->EditAppliedSheet(kHover, kBorderColour, Argb(hover));
    impl_->EditAppliedSheet(kFocus, kBorderColour, Argb(hover));
    impl_->EditAppliedSheet(kDisabled, kBorderColour, Argb(disabled));
    impl_->Repaint();
}

void Button::SetRoundedButtonCornerRadius(int radius)
{
    impl_->SetCornerRadius(radius);
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return;
    impl_->EditAppliedSheet(kButton, kRadius, Pixels(radius > 0 ? radius : widget->height() / 2));
}

int Button::GetRoundedButtonCornerRadius() { return impl_->GetCornerRadius(); }

void Button::SetFont(FontData& font)
{
    QPushButton* widget = impl_->GetWidget();
    if (!widget)
        return;
    QFont qfont = widget->font();
    MergeFontStyle(qfont, font);
    if (!font.faceName.empty())
        qfont.setFamily(ToQString(font.faceName));
    widget->setFont(qfont);
    widget->repaint();
}

FontData Button::GetFont() { return impl_->GetFont(); }

void Button::DisableFocusRect(bool disable)
{
    impl_->SetFocusRectDisabled(disable);
    if (!impl_->GetWidget())
        return;
    impl_->EditAppliedSheet(kFocus, QStringLiteral("border-width"),
                            disable ? QStringLiteral("0px") : QStringLiteral("1px"));
    impl_->Repaint();
}

bool Button::IsDisableFocusRect() { return impl_->IsFocusRectDisabled(); }

void Button::InsertMenuBar(std::shared_ptr<ContextMenu> menu, bool showArrow)
{
    impl_->SetMenu(std::move(menu), showArrow);
}

void Button::RemoveMenuBar() { impl_->SetMenu(nullptr, false); }

} // namespace AUILib
