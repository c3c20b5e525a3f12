// The push-button widget's tests share: the implementation and widget
// behind a button, a button in a window, and one property of a sheet.
#pragma once

#include "Button.h"
#include "ButtonImplQt.h"
#include "ButtonQt.h"
#include "StyleSheetProperty.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPushButton>
#include <QWidget>

#include <memory>

inline AUILib::Button::impl& ButtonImpl(const AUILib::Button& button)
{
    return *std::static_pointer_cast<AUILib::Button::impl>(button.GetBaseImpl());
}

inline AUILib::ButtonQt* ButtonWidget(const AUILib::Button& button)
{
    return qobject_cast<AUILib::ButtonQt*>(ButtonImpl(button).GetWidget());
}

inline std::shared_ptr<AUILib::Button> PlaceButton(QWidget* parent, const QRect& area, const QString& text)
{
    auto button = std::make_shared<AUILib::Button>();
    button->Create(parent);
    ButtonWidget(*button)->setGeometry(area);
    ButtonWidget(*button)->setText(text);
    ButtonWidget(*button)->show();
    return button;
}

// The value of name under selector in sheet, empty when it has none.
inline QString SheetProperty(const QString& sheet, const QString& selector, const QString& name)
{
    for (const QJsonValue& block : AUILib::StyleSheetToJson(sheet)) {
        if (block.toObject().value(QStringLiteral("selector")).toString() != selector)
            continue;
        for (const QJsonValue& declaration : block.toObject().value(QStringLiteral("properties")).toArray()) {
            if (declaration.toObject().value(QStringLiteral("name")).toString() == name)
                return declaration.toObject().value(QStringLiteral("value")).toString();
        }
    }
    return QString();
}
