#include "CustomQTableWidgetItem.h"

#include "ListBoxImplQt.h"
#include "PlainRowHeights.h"
#include "WideQt.h"

#include <QVariant>

#include <algorithm>

namespace AUILib {

namespace {

// 0 whole numbers, 1 floating point, 2 anything else (text).
int ValueClass(const QVariant& value)
{
    switch (static_cast<QMetaType::Type>(value.type())) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::QChar:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return 0;
    case QMetaType::Double:
    case QMetaType::Float:
        return 1;
    default:
        return 2;
    }
}

int IdOf(const QTableWidgetItem& cell)
{
    const QVariant id = cell.data(Qt::UserRole);
    return id.isValid() ? id.toInt() : -1;
}

} // namespace

void CustomQTableWidgetItem::setData(int role, const QVariant& value)
{
    QTableWidgetItem::setData(role, value);
    NoteRole(role, data(role));
}

void CustomQTableWidgetItem::NoteRole(int role, const QVariant& value)
{
    const auto flag = [&](unsigned bit) { shape_ = value.isValid() ? (shape_ | bit) : (shape_ & ~bit); };
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        isText_ = static_cast<QMetaType::Type>(value.type()) == QMetaType::QString;
        text_ = isText_ ? value.toString() : QString();
        unsigned text = NoText;
        if (!value.isNull()) {
            const QString shown = value.toString();
            text = shown.isEmpty() ? EmptyText : (IsPlainLine(shown) ? PlainText : OtherText);
        }
        shape_ = (shape_ & ~static_cast<unsigned>(TextMask)) | text;
        break;
    }
    case Qt::CheckStateRole:
        flag(HasCheck);
        break;
    case Qt::DecorationRole:
        flag(HasPicture);
        break;
    case Qt::FontRole:
        flag(HasFont);
        break;
    case Qt::SizeHintRole:
        flag(HasSizeHint);
        break;
    default:
        break;
    }
}

bool CustomQTableWidgetItem::operator<(const QTableWidgetItem& other) const
{
    // Before the column is asked for: that may search the table's items.
    if (rules_ && rules_->byRank) {
        if (const CustomQTableWidgetItem* custom = Of(other))
            return rank_ < custom->rank_;
    }
    return LessThan(other, other.tableWidget() ? other.column() : -1);
}

bool CustomQTableWidgetItem::LessThan(const QTableWidgetItem& other, int column) const
{
    // Two texts of the list box, the common case, without their values.
    const CustomQTableWidgetItem* peer = Of(other);
    if (peer && isText_ && peer->isText_ && rules_ && !pinned_ && !peer->pinned_ &&
        rules_->functions.find(column) == rules_->functions.end()) {
        const Qt::CaseSensitivity cs = rules_->caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        return QString::compare(text_, peer->text_, cs) < 0;
    }
    const QVariant mine = data(Qt::DisplayRole);
    const QVariant theirs = other.data(Qt::DisplayRole);
    const int kind = std::max(ValueClass(mine), ValueClass(theirs));
    if (kind == 0)
        return mine.toLongLong() < theirs.toLongLong();
    if (kind == 1)
        return mine.toReal() < theirs.toReal();

    // A cell made elsewhere (a plain table item) counts as unpinned, without
    // item data.
    const CustomQTableWidgetItem* custom = Of(other);
    if (pinned_ || (custom && custom->pinned_))
        return false;
    const ListBox::SortFunction* func = nullptr;
    if (rules_) {
        const auto found = rules_->functions.find(column);
        if (found != rules_->functions.end())
            func = &found->second;
    }
    if (!func) {
        const Qt::CaseSensitivity cs = (rules_ && !rules_->caseSensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return QString::compare(mine.toString(), theirs.toString(), cs) < 0;
    }
    any mineData;
    any theirData;
    if (rules_->itemData) {
        mineData = ListBoxItemDataValue(rules_->itemData, IdOf(*this), column);
        theirData = ListBoxItemDataValue(rules_->itemData, IdOf(other), column);
    }
    return (*func)(ToWide(mine.toString()), mineData, ToWide(theirs.toString()), theirData);
}

} // namespace AUILib
