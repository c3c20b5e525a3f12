#include "CustStandardItem.h"

namespace AUILib {

CustStandardItem::CustStandardItem(const QString& text) : QStandardItem(text) {}

CustStandardItem::~CustStandardItem() = default;

QStandardItem* CustStandardItem::clone() const { return new CustStandardItem(*this); }

} // namespace AUILib
