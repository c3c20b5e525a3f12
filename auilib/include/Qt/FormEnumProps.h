// The enum-valued property of every widget element of a form, read in one
// pass over the text, so that a form with many lines is read once instead of
// once per line.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace AUILib {

// widget name -> the value GetControlEnumProp(formXml, name, propertyName)
// gives, for every name whose value is not null. The result matches that
// reader name by name, repeated names, nesting and reader errors included.
QHash<QString, QString> CollectControlEnumProps(const QByteArray& formXml, const QString& propertyName);

} // namespace AUILib
