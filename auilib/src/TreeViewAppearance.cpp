// The tree control's look: style flags, colours and row height written as
// style-sheet rules, fonts of the view and of items, item text colours and
// the tooltips of virtual nodes.
#include "TreeViewImplQt.h"

#include "CustomStyle.h"
#include "WideQt.h"

#include <QFontInfo>
#include <QToolTip>

#include <algorithm>

namespace AUILib {

namespace {

// Weights written for bold and normal, and the line above which a weight
// read back from an item counts as bold.
constexpr int kBoldWeight = 75;
constexpr int kNormalWeight = 50;
constexpr int kItemBoldAbove = 57;

// 0x00RRGGBB as a colour; the top byte is not alpha here.
QColor ColourOf(int colour) { return QColor(QRgb(static_cast<unsigned>(colour))); }

int ValueOf(const QColor& colour) { return colour.isValid() ? static_cast<int>(colour.rgb() & 0xFFFFFFu) : -1; }

FontData FontDataOf(const QFont& font, bool bold)
{
    FontData data;
    data.faceName = ToWide(font.family());
    data.pointSize = font.pointSizeF();
    data.bold = bold ? 1 : 0;
    data.italic = font.style() != QFont::StyleNormal ? 1 : 0;
    data.underline = font.underline() ? 1 : 0;
    return data;
}

// font over base: a field of font that is unspecified takes base's.
QFont MergeFont(const FontData& font, const FontData& base)
{
    QFont merged;
    const int bold = font.bold >= 0 ? font.bold : base.bold;
    merged.setWeight(bold > 0 ? kBoldWeight : kNormalWeight);
    const int italic = font.italic >= 0 ? font.italic : base.italic;
    merged.setStyle(italic > 0 ? QFont::StyleItalic : QFont::StyleNormal);
    const int underline = font.underline >= 0 ? font.underline : base.underline;
    merged.setUnderline(underline > 0);
    const double size = font.pointSize > 0 ? font.pointSize : base.pointSize;
    if (size > 0)
        merged.setPointSizeF(size);
    const std::wstring& face = !font.faceName.empty() ? font.faceName : base.faceName;
    if (!face.empty())
        merged.setFamily(ToQString(face));
    return merged;
}

} // namespace

void TreeView::impl::SetStyleFlags(int flags)
{
    if (!customStyle_)
        return;
    customStyle_->SetFlags(flags);
    if (TreeViewQt* view = view_.Get())
        view->setStyle(customStyle_);
}

void TreeView::impl::AppendStyleRule(const QString& rule)
{
    if (TreeViewQt* view = view_.Get())
        view->setStyleSheet(view->styleSheet() + rule);
}

FontData TreeView::impl::GetFont()
{
    TreeViewQt* view = view_.Get();
    if (!view || virtualMode)
        return FontData{};
    const QFontInfo info(view->font());
    FontData data;
    data.faceName = ToWide(info.family());
    data.pointSize = info.pointSizeF();
    data.bold = info.weight() > kNormalWeight ? 1 : 0;
    data.italic = info.italic() ? 1 : 0;
    data.underline = info.underline() ? 1 : 0;
    return data;
}

bool TreeView::impl::ShowVirtualToolTipAt(Point screenPosition)
{
    TreeViewQt* view = view_.Get();
    auto* model = view ? qobject_cast<TreeModel*>(view->model()) : nullptr;
    if (!model)
        return false;
    const Point local = ScreenToClient(screenPosition);
    const QPoint inViewport = view->viewport()->mapFrom(view, QPoint(local.x, local.y));
    VirtTreeItem* item = model->ItemFromIndex(view->indexAt(inViewport));
    if (!item)
        return false;
    if (item != tooltipVirtualItem)
        QToolTip::showText(QPoint(), QString(), nullptr, QRect(), 1);
    QToolTip::showText(QPoint(screenPosition.x, screenPosition.y), ToQString(item->GetTooltip()));
    tooltipVirtualItem = item;
    return true;
}

// ---- public operations ----

void TreeView::SetStyle(int remove, int add)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || !d->Style())
        return;
    static const int kOrder[] = {StyleCheckBoxes, StyleButtons, StyleKeepInactive, StyleRowSelect, StyleBoxMarks,
                                 StyleCommonMarks};
    const auto apply = [this, &d](int flag, bool added) {
        TreeViewQt* view = d->GetView();
        const int flags = d->Style()->GetFlags();
        switch (flag) {
        case StyleButtons:
            d->SetStyleFlags(added ? flags & ~CustomStyle::NoBranchMarks : flags | CustomStyle::NoBranchMarks);
            d->hasButtons = added;
            if (added)
                SetCheckMode(d->checkMode);
            break;
        case StyleCommonMarks:
            d->SetStyleFlags(added ? flags | CustomStyle::CommonBranchMarks : flags & ~CustomStyle::CommonBranchMarks);
            break;
        case StyleCheckBoxes:
            if (added) {
                SetCheckMode(1);
            } else {
                d->SetCheckableRecursive(false, nullptr);
                d->checkMode = 0;
            }
            break;
        case StyleKeepInactive:
            d->SetStyleFlags(added ? flags | CustomStyle::InactiveSelectionKept
                                   : flags & ~CustomStyle::InactiveSelectionKept);
            if (added)
                view->setStyleSheet(d->initialStyleSheet);
            else
                d->AppendStyleRule(QStringLiteral("QTreeView::item:!active { background-color: transparent; }"));
            break;
        case StyleRowSelect:
            view->setSelectionBehavior(added ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
            break;
        case StyleBoxMarks:
            d->SetStyleFlags(added ? flags | CustomStyle::BoxBranchMarks : flags & ~CustomStyle::BoxBranchMarks);
            break;
        }
    };
    for (const bool adding : {true, false}) {
        const int flags = adding ? add : remove;
        if (flags <= 0)
            continue;
        for (const int flag : kOrder) {
            if ((flags & flag) && d->Usable())
                apply(flag, adding);
        }
    }
    if (d->GetView())
        d->GetView()->viewport()->update();
}

void TreeView::SetBackgroundColor(RGBColor colour)
{
    const std::shared_ptr<impl> d = impl_;
    if (d->Usable())
        d->AppendStyleRule(QStringLiteral("QTreeView{background-color:%1;}").arg(QColor::fromRgba(colour).name()));
}

void TreeView::SetTextColor(int colour, bool applyToItems)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    d->textColor = colour;
    d->AppendStyleRule(QStringLiteral("QTreeView{color:%1;}").arg(ColourOf(colour).name()));
    if (applyToItems) {
        const std::vector<QStandardItem*> items = d->colourItems;
        for (QStandardItem* item : items)
            SetItemTextColor(item, colour);
    }
}

int TreeView::GetTextColor()
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return -1;
    if (d->textColor >= 0)
        return d->textColor;
    return ValueOf(d->GetView()->palette().color(QPalette::Current, QPalette::Text));
}

void TreeView::SetSelectionColors(int textColour, int backgroundColour)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    if (d->Style())
        d->Style()->SetSelectionColors(true);
    if (backgroundColour < 0) {
        d->AppendStyleRule(QStringLiteral("QTreeView{selection-background-color: transparent; selection-color:%1;}")
                               .arg(ColourOf(textColour).name()));
    } else {
        d->AppendStyleRule(QStringLiteral("QTreeView{selection-background-color: %1; selection-color:%2;}")
                               .arg(ColourOf(backgroundColour).name(), ColourOf(textColour).name()));
    }
}

void TreeView::SetItemHeight(int height)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable() || height <= 0)
        return;
    d->itemHeight = height;
    d->AppendStyleRule(QStringLiteral("QTreeView::item { height: ") + QString::number(height) +
                       QStringLiteral("px }"));
}

int TreeView::GetItemHeight()
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return -1;
    if (d->itemHeight < 0)
        d->itemHeight = d->GetView()->sizeHintForRow(0);
    return d->itemHeight;
}

FontData TreeView::GetFont() { return impl_->GetFont(); }

void TreeView::SetFont(FontData& font, bool applyToItems)
{
    const std::shared_ptr<impl> d = impl_;
    if (!d->Usable())
        return;
    d->GetView()->setFont(MergeFont(font, d->GetFont()));
    if (applyToItems) {
        const std::vector<QStandardItem*> items = d->fontItems;
        for (QStandardItem* item : items)
            SetItemFont(item, font);
    }
    if (d->Usable() && d->GetView()->wordWrap())
        d->UpdateWrappedTextSizeHint(false);
}

FontData TreeView::GetItemFont(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid())
        return FontData{};
    const QVariant font = index.data(Qt::FontRole);
    if (!font.isValid())
        return d->GetFont();
    const QFont value = qvariant_cast<QFont>(font);
    return FontDataOf(value, value.weight() > kItemBoldAbove);
}

void TreeView::SetItemFont(QStandardItem* item, FontData& font)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid())
        return;
    d->Model()->setData(index, MergeFont(font, GetItemFont(item)), Qt::FontRole);
    if (d->GetView()->wordWrap())
        d->UpdateItemSizeHint(item, false);
    if (std::find(d->fontItems.begin(), d->fontItems.end(), item) == d->fontItems.end())
        d->fontItems.push_back(item);
}

void TreeView::SetItemBold(QStandardItem* item, bool bold)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid())
        return;
    QFont font = qvariant_cast<QFont>(index.data(Qt::FontRole));
    font.setWeight(bold ? kBoldWeight : kNormalWeight);
    d->Model()->setData(index, font, Qt::FontRole);
}

bool TreeView::IsItemBold(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    return index.isValid() && qvariant_cast<QFont>(index.data(Qt::FontRole)).weight() > kItemBoldAbove;
}

void TreeView::SetItemTextColor(QStandardItem* item, int colour)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid())
        return;
    // The sheet's text colour would win over the item's own: lifted while
    // the colour is set, then put back.
    TreeViewQt* view = d->GetView();
    const QString sheet = view->styleSheet();
    view->setStyleSheet(QString());
    d->Model()->setData(index, ColourOf(colour), Qt::ForegroundRole);
    view->setStyleSheet(sheet);
    if (std::find(d->colourItems.begin(), d->colourItems.end(), item) == d->colourItems.end())
        d->colourItems.push_back(item);
}

int TreeView::GetItemTextColor(QStandardItem* item)
{
    const std::shared_ptr<impl> d = impl_;
    const QModelIndex index = d->IndexOf(item);
    if (!index.isValid())
        return -1;
    const QVariant value = index.data(Qt::ForegroundRole);
    QColor colour;
    if (value.userType() == QMetaType::QBrush)
        colour = qvariant_cast<QBrush>(value).color();
    else if (value.canConvert<QColor>())
        colour = qvariant_cast<QColor>(value);
    return colour.isValid() ? ValueOf(colour) : GetTextColor();
}

} // namespace AUILib
