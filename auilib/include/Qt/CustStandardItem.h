// The item class of the tree control's standard model. Every item the
// control makes is one of these, so that behaviour shared by all items
// (their ordering among siblings) has one place to live.
#pragma once

#include <QStandardItem>

namespace AUILib {

class CustStandardItem : public QStandardItem {
public:
    // Role where the tree's widget keeps the item's last known text, to
    // report it as the previous text when the text changes.
    static constexpr int LastTextRole = Qt::UserRole + 1;
    // Role holding the id of the item's value in the control's item data;
    // -1 (or nothing) for no value.
    static constexpr int DataIdRole = Qt::UserRole;

    explicit CustStandardItem(const QString& text);
    ~CustStandardItem() override;

    int type() const override { return QStandardItem::UserType + 18; }
    QStandardItem* clone() const override;
};

} // namespace AUILib
