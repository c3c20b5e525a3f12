#include "HyperLinkElementQt.h"

#include "HyperLinkElement.h"
#include "WideQt.h"

#include <QDesktopServices>
#include <QEvent>
#include <QPointer>
#include <QUrl>

namespace AUILib {

bool HyperLinkElementQt::mouseOver_ = false;

void HyperLinkElementQt::SetLinkMarkup(RGBColor colour, bool underline)
{
    HyperLinkElement* link = GetOwner();
    if (!link)
        return;
    QString url = ToQString(link->GetURL());
    if (url.isEmpty())
        url = QStringLiteral(" ");
    // A link from a form keeps the form's text until it is given one.
    if (link->GetText().empty())
        link->SetText(ToWide(text()));
    const QString linkText = ToQString(link->GetText());
    const QString colourName = QStringLiteral("#%1").arg(colour, 8, 16, QLatin1Char(' '));
    QString markup;
    if (underline) {
        markup = QStringLiteral("<a href=\"") + url + QStringLiteral("\" style=\"color: ") + colourName +
                 QStringLiteral(";\">") + linkText + QStringLiteral("</a>");
    } else {
        markup = QStringLiteral("<font color = \"") + colourName + QStringLiteral("\">") + linkText +
                 QStringLiteral("< / font>");
    }
    setText(markup);
}

void HyperLinkElementQt::SetRestingMarkup()
{
    HyperLinkElement* link = GetOwner();
    if (!link)
        return;
    SetLinkMarkup(link->GetVisited() ? link->GetVisitedColor() : link->GetLinkColor(), link->GetUnderline());
}

bool HyperLinkElementQt::event(QEvent* e)
{
    HyperLinkElement* link = GetOwner();
    if (!link)
        return QLabel::event(e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        link->SetVisited(true);
        break;
    case QEvent::Enter:
        SetLinkMarkup(link->GetHoverColor(), true);
        mouseOver_ = true;
        break;
    case QEvent::Leave:
        SetRestingMarkup();
        mouseOver_ = false;
        break;
    case QEvent::Paint:
        if (dirty_) {
            // The flag belongs to the whole process: the mouse may be over
            // another link.
            if (mouseOver_)
                SetLinkMarkup(link->GetHoverColor(), true);
            else
                SetRestingMarkup();
            dirty_ = false;
        }
        break;
    case QEvent::Show:
        SetLinkMarkup(link->GetLinkColor(), link->GetUnderline());
        break;
    case QEvent::Shortcut:
        if (openExternalLinks()) {
            QDesktopServices::openUrl(QUrl(ToQString(link->GetURL()), QUrl::TolerantMode));
        } else {
            // A handler may close the window and take this widget with it.
            QPointer<HyperLinkElementQt> self(this);
            link->OnClick.Emit();
            if (!self)
                return true;
        }
        break;
    default:
        break;
    }
    return QLabel::event(e);
}

} // namespace AUILib
