#include "KwQUiLoader.h"

#include "AUILibObjectFactory.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"
#include "Button.h"
#include "Translator.h"
#include "WideQt.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QXmlStreamReader>

namespace AUILib {

namespace {

// Keeps control alive until widget goes, and reports the widget's end.
void KeepWhileWidgetLives(QWidget* widget, const std::shared_ptr<BaseGUIObject>& control)
{
    QObject::connect(widget, &QObject::destroyed, widget, [control]() { control->OnDestroyed.Emit(control.get()); });
}

} // namespace

QWidget* KwQUiLoader::createWidget(const QString& className, QWidget* parent, const QString& name)
{
    if (className == QLatin1String("QDialog")) {
        QWidget* window = dialog_->GetWndPtr();
        if (windowGiven_ || !window)
            return nullptr;
        windowGiven_ = true;
        window->setParent(parent, window->windowFlags());
        return window;
    }
    std::shared_ptr<BaseGUIObject> control;
    try {
        control = AUILibObjectFactory::Instance()->Create(className.toStdString());
    } catch (const std::exception&) {
        return nullptr;   // a control that cannot be made is a class the library does not know
    }
    if (!control || !control->Create(parent))
        return nullptr;
    QWidget* widget = control->GetBaseImpl()->GetWndPtr();
    if (!widget)
        return nullptr;
    const std::wstring wideName = ToWide(name);
    control->SetName(wideName);
    if (!dialog_->controls_.emplace(wideName, control).second)
        KeepWhileWidgetLives(widget, control);   // a repeated name: not in the map
    widget->setParent(parent);
    return widget;
}

QString GetControlEnumProp(QByteArray formXml, QString widgetName, QString propertyName)
{
    QXmlStreamReader reader(formXml);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.isStartElement() && reader.name() == QLatin1String("widget") &&
            reader.attributes().hasAttribute(QLatin1String("class")) &&
            reader.attributes().value(QLatin1String("name")) == widgetName) {
            while (reader.readNextStartElement()) {
                if (reader.name() == QLatin1String("property") &&
                    reader.attributes().value(QLatin1String("name")) == propertyName) {
                    if (reader.readNextStartElement() && reader.name() == QLatin1String("enum"))
                        return reader.readElementText();
                    break;
                }
                reader.skipCurrentElement();
            }
        }
        reader.readNext();
    }
    return QString();
}

void WrapButtonBoxButtons(ButtonBox::impl* box)
{
    QDialogButtonBox* widget = box ? box->GetWidget() : nullptr;
    if (!widget)
        return;
    // Only the form's connections of the box's own signals go: the box's
    // destroyed keeps its control alive and the buttons must still reach
    // the box.
    QObject::disconnect(widget, &QDialogButtonBox::accepted, nullptr, nullptr);
    QObject::disconnect(widget, &QDialogButtonBox::rejected, nullptr, nullptr);
    QObject::disconnect(widget, &QDialogButtonBox::clicked, nullptr, nullptr);
    QObject::disconnect(widget, &QDialogButtonBox::helpRequested, nullptr, nullptr);

    static const struct {
        QDialogButtonBox::StandardButton which;
        const wchar_t* text;
    } kButtons[] = {
        {QDialogButtonBox::Reset, L"Reset"}, {QDialogButtonBox::Yes, L"Yes"},       {QDialogButtonBox::Ok, L"OK"},
        {QDialogButtonBox::Retry, L"Retry"}, {QDialogButtonBox::Ignore, L"Ignore"}, {QDialogButtonBox::No, L"No"},
        {QDialogButtonBox::Abort, L"Abort"}, {QDialogButtonBox::Cancel, L"Cancel"},
    };
    for (const auto& row : kButtons) {
        QPushButton* button = widget->button(row.which);
        if (!button)
            continue;
        auto wrapped = std::make_shared<Button>(button);
        button->setText(ToQString(TrString(std::wstring(), std::wstring(L"AUILib::BBox") + row.text, row.text)));
        box->AppendButton(std::move(wrapped));
    }
}

} // namespace AUILib
