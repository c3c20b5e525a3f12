#include "ButtonImplQt.h"

#include "AUILibUtils.h"
#include "ButtonBoxQt.h"
#include "ChangeFlagGuard.h"
#include "ContextMenu.h"
#include "FontDataQt.h"
#include "IcoBytes.h"
#include "StyleSheetProperty.h"
#include "WideQt.h"

#include <QDialogButtonBox>
#include <QFileInfo>

#include <cmath>

namespace AUILib {

namespace {

constexpr int kPictureInset = 13;  // the picture leaves this much of the button free in each direction
constexpr int kMinimumHeight = 18;

int RoundHalfUp(double value) { return static_cast<int>(std::floor(value + 0.5)); }

} // namespace

Button::impl::impl(Button& owner, QPushButton* widget, WidgetOwnership ownership)
    : sheetColours_(textColour_), sheets_(sheetColours_, textColour_, disabledTextColour_),
      widget_(widget, ownership, &owner)
{
    // The sheets above carry the fixed text colours; the palette's come after.
    widget_.Connect(widget, &QAbstractButton::clicked, [this](bool) { OnClicked(); });
    const QPalette palette = widget->palette();
    textColour_ = palette.color(QPalette::WindowText);
    disabledTextColour_ = palette.color(QPalette::Disabled, QPalette::WindowText);
}

Button::impl::~impl() = default;

QWidget* Button::impl::GetWndPtr() { return widget_.data(); }

bool Button::impl::IsInButtonBox() const
{
    return widget_ && qobject_cast<QDialogButtonBox*>(widget_->parentWidget()) != nullptr;
}

void Button::impl::SetMenu(std::shared_ptr<ContextMenu> menu, bool showArrow)
{
    menu_ = std::move(menu);
    const bool changed = menuFlag_ != showArrow;
    menuFlag_ = showArrow;
    // The arrow changes the button's size hint.
    if (changed && widget_)
        widget_->updateGeometry();
}

void Button::impl::SetWidgetText(const QString& text)
{
    if (!widget_)
        return;
    ChangeFlagGuard guard(*this);
    widget_->setText(text);
}

void Button::impl::LoadPicture(const std::wstring& path, ScalePicture mode, int size, bool disabled)
{
    QPushButton* widget = widget_;
    if (!widget)
        return;
    const QString file = ToQString(path);
    QPixmap picture;
    if (QFileInfo(file).completeSuffix().toUpper() == QLatin1String("ICO"))
        picture = AUILibUtils::SelectIcon(QIcon(file), size);
    else
        picture.load(file);
    widget->setFlat(!threeD_);
    SetPicture(picture, mode, widget->size(), disabled);
}

void Button::impl::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int size,
                               bool disabled)
{
    QPushButton* widget = widget_;
    if (!widget)
        return;
    QPixmap picture;
    if (data && length >= 1) {
        if (type != ImageICO)
            picture.loadFromData(data, static_cast<uint>(length), AUILibUtils::ImageTypeToStr(type).c_str());
        else
            picture = AUILibUtils::SelectIcon(IconFromIcoBytes(data, length), size);
    }
    widget->setFlat(!threeD_);
    SetPicture(picture, mode, widget->size(), disabled);
}

void Button::impl::SetPicture(const QPixmap& picture, ScalePicture mode, QSize area, bool disabled)
{
    QPushButton* widget = widget_;
    if (!widget)
        return;
    QPixmap& target = disabled ? disabledPicture_ : picture_;
    target = AUILibUtils::ScaleBitmap(picture, mode,
                                      QSize(area.width() - kPictureInset, area.height() - kPictureInset));

    if (style_ == IconAboveText || style_ == RoundedIconAboveText) {
        if (!HasLabels())
            CreateLabels();
        if (!widget->text().isEmpty()) {
            textLabel_->setText(widget->text());
            SetWidgetText(QString());
        }
        pictureLabel_->setPixmap(target);
        widget->repaint();
        return;
    }

    QSize iconSize = target.size();
    if (target.width() > widget->width() || target.height() > widget->height()) {
        const double scale = AUILibUtils::GetScaleFactor();
        iconSize = QSize(RoundHalfUp(target.width() / scale), RoundHalfUp(target.height() / scale));
    }
    widget->setIconSize(iconSize);
    if (target.isNull()) {
        icon_ = QIcon();
        icon_.addPixmap(picture_, QIcon::Normal, QIcon::Off);
    } else {
        icon_.addPixmap(target, disabled ? QIcon::Disabled : QIcon::Normal, QIcon::Off);
    }
    widget->setIcon(icon_);
    widget->repaint();
}

void Button::impl::ApplyDefaultStyleSheet()
{
    QPushButton* widget = widget_;
    if (!widget || !widget->styleSheet().isEmpty() || !appliedStyleSheet_.isEmpty())
        return;
    if (widget->height() >= 31 && !IsInButtonBox())
        ApplyStyleSheet(sheets_.gradient);
    else
        ApplyStyleSheet(sheets_.standard);
}

void Button::impl::ApplyStyleSheet(const QString& sheet)
{
    QPushButton* widget = widget_;
    if (!widget)
        return;
    if (auto* box = qobject_cast<QDialogButtonBox*>(widget->parentWidget())) {
        if (auto* ours = qobject_cast<ButtonBoxQt*>(box)) {
            ours->SetButtonStyleSheet(widget->text(), sheet);
            appliedStyleSheet_ = sheet;
        }
        return;
    }
    widget->setFlat(!threeD_);
    widget->setStyleSheet(DecodeSheetColons(sheet));
    appliedStyleSheet_ = sheet;
    if (widget->minimumSize().height() == 0)
        widget->setMinimumHeight(kMinimumHeight);
}

void Button::impl::EditAppliedSheet(const QString& selector, const QString& name, const QString& value)
{
    const QString edited = SetStyleSheetProperty(appliedStyleSheet_, selector, name, value);
    if (appliedStyleSheet_.isEmpty() && edited.isEmpty())
        return;
    ApplyStyleSheet(edited);
}

void Button::impl::EditLabelSheet(const QString& selector, const QString& name, const QString& value)
{
    if (!textLabel_)
        return;
    labelStyleSheet_ = SetStyleSheetProperty(labelStyleSheet_, selector, name, value);
    textLabel_->setStyleSheet(DecodeSheetColons(labelStyleSheet_));
}

void Button::impl::CreateLabels()
{
    QPushButton* widget = widget_;
    if (!widget)
        return;
    // A widget takes one layout; a label that is left would stand beside
    // the new ones.
    delete labelLayout_.data();
    delete pictureLabel_.data();
    delete textLabel_.data();
    labelLayout_ = new QVBoxLayout(widget);
    pictureLabel_ = new QLabel(widget);
    pictureLabel_->setAlignment(Qt::AlignCenter);
    labelLayout_->addWidget(pictureLabel_);
    textLabel_ = new QLabel(widget);
    // The label shows the gradient of its disabled rule; edits work on the
    // encoded copy, whose values the editor keeps whole.
    labelStyleSheet_ = sheets_.label;
    textLabel_->setStyleSheet(DecodeSheetColons(labelStyleSheet_));
    textLabel_->setAlignment(Qt::AlignCenter);
    labelLayout_->addWidget(textLabel_);
    textLabel_->setBuddy(labelLayout_->parentWidget());
    labelLayout_->setSizeConstraint(QLayout::SetFixedSize);
}

FontData Button::impl::GetFont()
{
    QPushButton* widget = widget_;
    return widget ? ShownFontData(widget->font()) : FontData();
}

void Button::impl::OnClicked()
{
    Button* owner = widget_.Owner();
    if (!owner)
        return;
    // Keeps this object alive through the menu's loop and the handlers.
    const std::shared_ptr<BaseImpl> hold = owner->GetBaseImpl();
    if (std::shared_ptr<ContextMenu> menu = menu_) {
        const Rect rect = owner->GetWindowRect();
        menu->Show(rect.left, rect.bottom);
        // A menu action may have closed the dialog, taking the button or its
        // widget with it.
        if (!widget_.Owner() || !widget_)
            return;
    }
    widget_.Owner()->clicked.Emit();
}

} // namespace AUILib
