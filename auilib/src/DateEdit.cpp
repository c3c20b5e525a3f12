#include "DateEdit.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "DateEditImplQt.h"
#include "WideQt.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace AUILib {

namespace {

KwDateTime ToKwDateTime(const QDateTime& value)
{
    const QDate date = value.date();
    const QTime time = value.time();
    KwDateTime result;
    result.year = static_cast<uint16_t>(date.year());
    result.month = static_cast<uint16_t>(date.month());
    result.day = static_cast<uint16_t>(date.day());
    result.hour = static_cast<uint16_t>(time.hour());
    result.minute = static_cast<uint16_t>(time.minute());
    result.second = static_cast<uint16_t>(time.second());
    return result;
}

// A CSS string body: the path may hold quotes, backslashes, blanks and
// parentheses, none of which may end the url early.
QString CssString(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

} // namespace

DateEdit::impl::impl(DateEdit& owner) : widget_(new DateEditQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QDateTimeEdit::dateTimeChanged,
                    [this](const QDateTime& value) { OnDateTimeChanged(value); });
}

DateEdit::impl::~impl() = default;

QWidget* DateEdit::impl::GetWndPtr() { return widget_.data(); }

void DateEdit::impl::OnDateTimeChanged(const QDateTime& value)
{
    DateEdit* owner = widget_.Owner();
    if (!owner)
        return;
    // A handler may drop the control, and with it this object.
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnDateTimeChanged.Emit(ToKwDateTime(value));
}

DateEdit::DateEdit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeDateEdit); }

DateEdit::~DateEdit() { impl_->ForgetOwner(); }

bool DateEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size DateEdit::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> DateEdit::GetBaseImpl() const { return impl_; }

SkinManager* DateEdit::GetSkinManager() { return GetGlobalSkinManager(); }

QWidget* DateEdit::GetWndPtr() { return impl_->GetWndPtr(); }

bool DateEdit::SetDateTime(const KwDateTime& value)
{
    const QDate date(value.year, value.month, value.day);
    const QTime time(value.hour, value.minute, value.second, 0);
    // Qt would silently keep its value for these; the caller is told.
    if (!date.isValid() || !time.isValid())
        return false;
    // Held across the change: a handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    DateEditQt* widget = hold->GetWidget();
    if (!widget)
        return false;
    // Outside the edit's range Qt would hold the nearest limit instead (and
    // tell that); a time that local time skips it would move.
    const QDateTime dateTime(date, time, Qt::LocalTime);
    if (!dateTime.isValid() || dateTime.date() != date || dateTime.time() != time ||
        dateTime < widget->minimumDateTime() || dateTime > widget->maximumDateTime())
        return false;
    ChangeFlagGuard guard(*hold);
    widget->setDateTime(dateTime);
    return true;
}

KwDateTime DateEdit::GetDateTime() const
{
    DateEditQt* widget = impl_->GetWidget();
    return widget ? ToKwDateTime(widget->dateTime()) : KwDateTime{};
}

void DateEdit::LoadPicture(const std::wstring& path)
{
    DateEditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    const std::wstring untilNul = path.substr(0, path.find(L'\0'));
    const QString absolute = QDir(QFileInfo(ToQString(untilNul)).absoluteFilePath()).absolutePath();
    if (!untilNul.empty() && QFile::exists(absolute)) {
        widget->setStyleSheet(QStringLiteral("QDateEdit::drop-down{background-color: white;image: url(\"") +
                              CssString(absolute) + QStringLiteral("\");image-position: left;}"));
    } else {
        widget->setStyleSheet(QString());
    }
}

void DateEdit::LoadPicture(const unsigned char*, int, ImageTypes) {}

} // namespace AUILib
