#include "StyleSheetProperty.h"

#include <QJsonObject>
#include <QStringList>

namespace AUILib {

namespace {

const QString kSelector = QStringLiteral("selector");
const QString kProperties = QStringLiteral("properties");
const QString kName = QStringLiteral("name");
const QString kValue = QStringLiteral("value");

} // namespace

QJsonArray StyleSheetToJson(const QString& sheet)
{
    QJsonArray model;
    if (sheet.isEmpty())
        return model;
    const QStringList parts = sheet.trimmed().split(QLatin1Char('}'));
    for (const QString& rawPart : parts) {
        const QString part = rawPart.trimmed();
        if (part.isEmpty())
            continue;
        const QStringList pieces = part.split(QLatin1Char('{'));
        QJsonObject block;
        block.insert(kSelector, pieces.first().trimmed());
        block.insert(kProperties, DeclarationsToJson(pieces.last()));
        model.append(block);
    }
    return model;
}

QJsonArray DeclarationsToJson(const QString& declarations)
{
    QJsonArray list;
    if (declarations.isEmpty())
        return list;
    const QStringList items = declarations.trimmed().split(QLatin1Char(';'));
    for (const QString& rawItem : items) {
        const QString item = rawItem.trimmed();
        if (item.isEmpty())
            continue;
        QJsonObject declaration;
        const int colon = item.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            declaration.insert(kName, item);
            declaration.insert(kValue, item);
        } else {
            declaration.insert(kName, item.left(colon).trimmed());
            declaration.insert(kValue, item.mid(colon + 1).trimmed());
        }
        list.append(declaration);
    }
    return list;
}

QJsonArray ReplacePropertyValue(const QString& selector, const QString& name, const QString& value,
                                const QJsonArray& model)
{
    QJsonArray result;
    for (const QJsonValue& blockValue : model) {
        const QJsonObject block = blockValue.toObject();
        const QString blockSelector = block.value(kSelector).toString();
        const bool matches = blockSelector == selector;
        QJsonArray declarations;
        for (const QJsonValue& declarationValue : block.value(kProperties).toArray()) {
            QJsonObject declaration = declarationValue.toObject();
            if (matches && declaration.value(kName).toString() == name)
                declaration.insert(kValue, value);
            declarations.append(declaration);
        }
        QJsonObject edited;
        edited.insert(kSelector, blockSelector);
        edited.insert(kProperties, declarations);
        result.append(edited);
    }
    return result;
}

QString JsonToStyleSheet(const QJsonArray& model)
{
    QString sheet;
    for (const QJsonValue& blockValue : model) {
        const QJsonObject block = blockValue.toObject();
        sheet += block.value(kSelector).toString();
        sheet += QStringLiteral(" {");
        for (const QJsonValue& declarationValue : block.value(kProperties).toArray()) {
            const QJsonObject declaration = declarationValue.toObject();
            sheet += QLatin1Char(' ');
            sheet += declaration.value(kName).toString();
            sheet += QStringLiteral(": ");
            sheet += declaration.value(kValue).toString();
            sheet += QLatin1Char(';');
        }
        sheet += QStringLiteral(" } ");
    }
    return sheet;
}

QString SetStyleSheetProperty(const QString& sheet, const QString& selector, const QString& name,
                              const QString& value)
{
    return JsonToStyleSheet(ReplacePropertyValue(selector, name, value, StyleSheetToJson(sheet)));
}

} // namespace AUILib
