// Form loading: Qt's form loader with the library's widget creation, the
// reader of enum properties in the form text, and the wrapping of a button
// box's standard buttons.
#pragma once

#include "ButtonBoxImplQt.h"
#include "DialogImplQt.h"

#include <QByteArray>
#include <QString>
#include <QUiLoader>

namespace AUILib {

class KwQUiLoader : public QUiLoader {
public:
    explicit KwQUiLoader(Dialog::impl* dialog) : QUiLoader(nullptr), dialog_(dialog) {}

    // "QDialog": the dialog's window, for the first such element only (a
    // nested one gets nothing, so the window never contains itself). Any
    // other class: the registered control's widget, the control recorded
    // under name (the first of a name stays; a later one lives as long as
    // its widget). Unregistered classes get nothing, nor do their children.
    QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                          const QString& name = QString()) override;

private:
    Dialog::impl* dialog_;
    bool windowGiven_ = false;
};

// The enum text of property propertyName of the first widget element named
// widgetName that has it among its direct children; null when none, or at
// the first reader error.
QString GetControlEnumProp(QByteArray formXml, QString widgetName, QString propertyName);

// Wraps the box's standard buttons (table order) as Buttons with translated
// texts, after removing the form's connections of the box's own signals.
void WrapButtonBoxButtons(ButtonBox::impl* box);

} // namespace AUILib
