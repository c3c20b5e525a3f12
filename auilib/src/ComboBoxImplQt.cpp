#include "ComboBoxImplQt.h"

#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "PromptsPopup.h"
#include "WideQt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>

namespace AUILib {

ComboBox::impl::impl(ComboBox& owner) : widget_(new ComboBoxQt, WidgetOwnership::Made, &owner)
{
    itemData.SetNextId(1);
    ComboBoxQt* widget = widget_.Get();
    widget_.Connect(widget, &QComboBox::editTextChanged, [this](const QString& text) { OnEditTextChanged(text); });
    widget_.Connect(widget, QOverload<int>::of(&QComboBox::currentIndexChanged),
                    [this](int index) { OnCurrentIndexChanged(index); });
    widget_.Connect(widget, &ComboBoxQt::onPaste, [this](const std::wstring& text) { OnPaste(text); });
    widget_.Connect(widget, &ComboBoxQt::onCurrentIndexSelected, [this](int index) { OnCurrentIndexSelected(index); });
    delegate = new ItemDelegate(widget);
    widget->setItemDelegate(delegate);
}

ComboBox::impl::~impl() = default;

QWidget* ComboBox::impl::GetWndPtr() { return widget_.data(); }

void ComboBox::impl::OnEditTextChanged(const QString& text)
{
    ComboBoxQt* widget = widget_.Get();
    ComboBox* owner = widget_.Owner();
    if (!widget)
        return;
    std::wstring filtered = ToWide(text);
    // What the user typed that cannot belong to the number is refused
    // alone; a text set by code is cut as a whole.
    int refused = 0;
    if (settingText)
        numberFilter.Filter(filtered, false);
    else
        refused = static_cast<int>(numberFilter.FilterEdit(filtered, lastEditText, false));
    if (filtered != ToWide(text)) {
        // Written back only when the filter changed something, so typing
        // and inline completion keep their caret and selection; the caret
        // stays behind what the user typed and the filter kept.
        QLineEdit* edit = widget->lineEdit();
        const int caret = edit ? std::max(0, edit->cursorPosition() - refused) : 0;
        const QPointer<ComboBoxQt> alive = widget;
        const std::shared_ptr<BaseImpl> hold = owner ? owner->GetBaseImpl() : nullptr;
        widget->setCurrentText(ToQString(filtered));
        if (!alive || !widget_.Get())
            return;
        if ((edit = widget->lineEdit()) != nullptr)
            edit->setCursorPosition(std::min(caret, static_cast<int>(edit->text().size())));
        owner = widget_.Owner();
    }
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    if (!settingText)
        owner->OnUserEditTextChanged.Emit(filtered);
    if (!widget_.Owner())
        return;
    owner->OnEditTextChanged.Emit(filtered);
    if (!widget_.Owner())
        return;
    owner->OnEditTextReplaced.Emit(lastEditText, filtered);
    lastEditText = filtered;
}

void ComboBox::impl::OnCurrentIndexChanged(int index)
{
    if (ComboBox* owner = widget_.Owner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnCurrentIndexChanged.Emit(index);
    }
}

void ComboBox::impl::OnPaste(const std::wstring& text)
{
    if (ComboBox* owner = widget_.Owner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnPaste.Emit(text);
    }
}

void ComboBox::impl::OnCurrentIndexSelected(int index)
{
    if (ComboBox* owner = widget_.Owner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnCurrentIndexSelected.Emit(index);
    }
}

void ComboBox::impl::SetPicture(int index, const QPixmap& pixmap, ScalePicture scale)
{
    ComboBoxQt* widget = widget_.Get();
    if (!widget || pixmap.isNull())
        return;
    if (scaleMode == 0)
        scaleMode = scale;
    const QSize limit(widget->width() - 25, widget->iconSize().height());
    const QPixmap scaled = AUILibUtils::ScaleBitmap(pixmap, static_cast<ScalePicture>(scaleMode), limit);
    if (scaled.isNull())
        return;
    if (iconSize.width() == 0 || iconSize.height() == 0)
        iconSize = scaled.size();
    widget->setIconSize(iconSize);
    widget->setItemIcon(index, QIcon(scaled));
}

void ComboBox::impl::ItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    // The picture keeps its own size: stretched to the row's width it
    // would push the entry's text out of the row.
    const QString description = index.data(Qt::AccessibleDescriptionRole).toString();
    auto* box = qobject_cast<QComboBox*>(parent());
    const QPalette palette = box ? box->palette() : option.palette;
    const bool header = description == QLatin1String("header");
    painter->fillRect(o.rect, palette.color(header ? QPalette::Dark : QPalette::Button));
    if (description == QLatin1String("separator")) {
        painter->setPen(option.palette.color(QPalette::Disabled, QPalette::Dark));
        const int y = (o.rect.top() + o.rect.bottom()) / 2;
        painter->drawLine(o.rect.left(), y, o.rect.right(), y);
        return;
    }
    if (header) {
        painter->setPen(Qt::black);
        QFont font;
        font.setFamily(QStringLiteral("Arial"));
        font.setWeight(75);
        painter->setFont(font);
        const QString text = box ? box->itemText(index.row()) : index.data().toString();
        const int h = painter->fontMetrics().size(Qt::TextSingleLine, text).height();
        painter->drawText(QPoint(o.rect.left() + 5, o.rect.top() + h - 1), text);
        return;
    }
    QStyle* style = o.widget ? o.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
}

QSize ComboBox::impl::ItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant role = index.data(Qt::FontRole);
    const QFont font = role.canConvert<QFont>() ? role.value<QFont>() : QFont();
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), QFontMetrics(font).height() + 4);
}

} // namespace AUILib
