#include "ButtonQt.h"

#include "AUILibUtils.h"
#include "Button.h"
#include "ButtonImplQt.h"
#include "StyleSheetProperty.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <cmath>
#include <memory>

namespace AUILib {

namespace {

const QString kButton = QStringLiteral("QPushButton");
const QString kFocus = QStringLiteral("QPushButton:focus");

// The implementation of the widget's button, held for the event; null once
// the button went.
std::shared_ptr<Button::impl> ImplOf(Button* owner)
{
    if (!owner)
        return nullptr;
    return std::dynamic_pointer_cast<Button::impl>(owner->GetBaseImpl());
}

// The arrow's height below its top row.
constexpr int kArrowHeight = 4;

int RoundHalfUp(double value) { return static_cast<int>(std::floor(value + 0.5)); }

// Sets one property of the widget's own sheet. The edit also rewrites the
// sheet's layout; a sheet whose property did not change is not set again,
// so a resize does not polish the button anew.
void EditOwnSheet(QWidget& widget, const QString& selector, const QString& name, const QString& value)
{
    const QString current = widget.styleSheet();
    const QString edited = SetStyleSheetProperty(current, selector, name, value);
    if (edited != JsonToStyleSheet(StyleSheetToJson(current)))
        widget.setStyleSheet(edited);
}

} // namespace

bool ButtonQt::event(QEvent* e)
{
    if (e->type() == QEvent::Resize) {
        Button* owner = GetOwner();
        const std::shared_ptr<Button::impl> impl = ImplOf(owner);
        if (impl && owner->GetStyle() == Button::Rounded) {
            int radius = owner->GetRoundedButtonCornerRadius();
            if (radius < 1)
                radius = height() / 2;
            const QString value = QString::number(radius) + QStringLiteral("px");
            // Only a sheet that has the radius changes: nothing is added.
            EditOwnSheet(*this, kButton, QStringLiteral("border-radius"), value);
            impl->StoreAppliedStyleSheet(
                SetStyleSheetProperty(impl->GetAppliedStyleSheet(), kButton, QStringLiteral("border-radius"), value));
        }
    }
    const QIcon buttonIcon = icon();
    if (!buttonIcon.isNull()) {
        const QList<QSize> sizes = buttonIcon.availableSizes(QIcon::Normal, QIcon::Off);
        if (!sizes.isEmpty()) {
            const QSize first = sizes.first();
            if (first.width() <= width() && first.height() <= height()) {
                setIconSize(first);
            } else {
                const double factor = AUILibUtils::GetScaleFactor();
                setIconSize(QSize(RoundHalfUp(first.width() / factor), RoundHalfUp(first.height() / factor)));
            }
        }
    }
    return QPushButton::event(e);
}

void ButtonQt::focusInEvent(QFocusEvent* e)
{
    const std::shared_ptr<Button::impl> impl = ImplOf(GetOwner());
    if (impl && impl->GetStyle() == Button::Link) {
        // A border for focus that came from the keyboard; none after a click.
        const QString width = e->reason() == Qt::MouseFocusReason ? QStringLiteral("0px") : QStringLiteral("1px");
        EditOwnSheet(*this, kFocus, QStringLiteral("border-width"), width);
    }
    QPushButton::focusInEvent(e);
}

bool ButtonQt::ShowsArrow() const
{
    const std::shared_ptr<Button::impl> impl = ImplOf(GetOwner());
    return impl && impl->HasMenuFlag();
}

int ButtonQt::ArrowRoom() const { return qMax(0, arrowMargin_) + kArrowHeight + 1; }

QSize ButtonQt::sizeHint() const
{
    const QSize hint = QPushButton::sizeHint();
    return ShowsArrow() ? hint + QSize(0, ArrowRoom()) : hint;
}

QSize ButtonQt::minimumSizeHint() const
{
    const QSize hint = QPushButton::minimumSizeHint();
    return ShowsArrow() ? hint + QSize(0, ArrowRoom()) : hint;
}

// As the push button paints itself, but with the label's rectangle ending
// above the arrow's room.
void ButtonQt::PaintAboveArrow()
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    QStyleOptionButton label = option;
    label.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    label.rect.setBottom(label.rect.bottom() - ArrowRoom());
    painter.drawControl(QStyle::CE_PushButtonLabel, label);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void ButtonQt::paintEvent(QPaintEvent* e)
{
    const std::shared_ptr<Button::impl> impl = ImplOf(GetOwner());
    if (impl && impl->HasMenuFlag())
        PaintAboveArrow();
    else
        QPushButton::paintEvent(e);
    if (!impl)
        return;
    if (impl->HasMenuFlag()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? impl->GetTextColour() : impl->GetDisabledTextColour());
        // From the whole button: a partial repaint's rectangle would put the
        // arrow in the middle of the repainted area.
        const QRect area = rect();
        const int cx = area.left() + (area.right() - area.left() + 1) / 2;
        const int bottom = area.bottom() - arrowMargin_;
        QPolygon arrow;
        arrow << QPoint(cx - 4, bottom - kArrowHeight) << QPoint(cx, bottom) << QPoint(cx + 4, bottom - kArrowHeight);
        QPainterPath path;
        path.addPolygon(arrow);
        painter.drawPath(path);
    }
    if (impl->GetStyle() == Button::Link) {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int textWidth = metrics.horizontalAdvance(text());
        const int textHeight = metrics.height();
        const int x = (width() - textWidth) / 2;
        const int y = qMin((height() - textHeight) / 2 + textHeight + 1, height() - 3);
        painter.drawLine(x, y, x + textWidth - 1, y);
    }
}

} // namespace AUILib
