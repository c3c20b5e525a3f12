// Changes one property of a Qt style sheet under one selector. The sheet is
// read into a model of blocks ("selector", "properties") and declarations
// ("name", "value"), edited, and written back in a fixed layout:
// "selector { name: value; } " per block. Existing declarations are changed;
// nothing is ever added. Pure text operations, usable on any thread.
#pragma once

#include <QJsonArray>
#include <QString>

namespace AUILib {

QString SetStyleSheetProperty(const QString& sheet, const QString& selector, const QString& name,
                              const QString& value);

QJsonArray StyleSheetToJson(const QString& sheet);
// The name is the text before the first colon, the value all after it, so
// values such as url(:/x.png) stay whole. An item without a colon is both
// name and value.
QJsonArray DeclarationsToJson(const QString& declarations);
QJsonArray ReplacePropertyValue(const QString& selector, const QString& name, const QString& value,
                                const QJsonArray& model);
QString JsonToStyleSheet(const QJsonArray& model);

} // namespace AUILib
