#include "ButtonBoxQt.h"

#include "Translator.h"
#include "WideQt.h"

#include <QEvent>
#include <QPushButton>

#include <string>

namespace AUILib {

namespace {

struct StandardRow {
    QDialogButtonBox::StandardButton button;
    const wchar_t* text;
};

// The standard buttons form loading wraps, in its order.
const StandardRow kRows[ButtonBoxQt::kRowCount] = {
    {QDialogButtonBox::Reset, L"Reset"}, {QDialogButtonBox::Yes, L"Yes"},
    {QDialogButtonBox::Ok, L"OK"},       {QDialogButtonBox::Retry, L"Retry"},
    {QDialogButtonBox::Ignore, L"Ignore"}, {QDialogButtonBox::No, L"No"},
    {QDialogButtonBox::Abort, L"Abort"}, {QDialogButtonBox::Cancel, L"Cancel"},
};

// The row's text in the current language, looked up at each call so a
// language change is followed.
QString TranslatedText(const StandardRow& row)
{
    const std::wstring text(row.text);
    const std::wstring translated = TrString(std::wstring(), L"AUILib::BBox" + text, text);
    return ToQString(translated);
}

int RowOf(QDialogButtonBox::StandardButton which)
{
    for (int i = 0; i < ButtonBoxQt::kRowCount; ++i) {
        if (kRows[i].button == which)
            return i;
    }
    return -1;
}

// The text inside [text='...'], with the characters that would end it early
// escaped.
QString QuotedText(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return text;
}

} // namespace

ButtonBoxQt::~ButtonBoxQt() = default;

void ButtonBoxQt::SetButtonStyleSheet(const QString& buttonText, const QString& sheet)
{
    if (!buttonText.isEmpty() && !sheet.isEmpty()) {
        for (const StandardRow& row : kRows) {
            if (TranslatedText(row) == buttonText)
                sheets_[static_cast<int>(row.button)] = sheet;
        }
    }
    if (sized_)
        UpdateButtonSizes();
}

void ButtonBoxQt::UpdateButtonSizes()
{
    for (int i = 0; i < kRowCount; ++i) {
        const StandardRow& row = kRows[i];
        QPushButton* button = this->button(row.button);
        if (!button)
            continue;
        if (!sized_)
            recordedSizes_[i] = button->geometry().size();
        const auto found = sheets_.find(static_cast<int>(row.button));
        if (found == sheets_.end())
            continue;
        const QSize size = recordedSizes_[i];
        const QString selector = QStringLiteral("QDialogButtonBox [text='") + QuotedText(button->text()) +
                                 QStringLiteral("']");
        QString sheet = found->second;
        sheet.replace(QStringLiteral("QPushButton"), selector);
        QString declarations = selector + QStringLiteral(" {min-width:") + QString::number(size.width() - 14) +
                               QStringLiteral("px;min-height:");
        if (orientation() == Qt::Horizontal)
            declarations += QString::number(size.height() - 12) + QStringLiteral("px;margin-top:2px;");
        else
            declarations += QString::number(size.height() - 14) + QStringLiteral("px;");
        const QString opening = selector + QStringLiteral(" {");
        const int at = sheet.indexOf(opening);
        if (at >= 0)
            sheet.replace(at, opening.size(), declarations);
        sheet.replace(QStringLiteral("\\u3A"), QStringLiteral(":"));
        button->setStyleSheet(sheet);
    }
}

QString ButtonBoxQt::GetRegisteredSheet(StandardButton which) const
{
    const auto found = sheets_.find(static_cast<int>(which));
    return found == sheets_.end() ? QString() : found->second;
}

QSize ButtonBoxQt::GetRecordedSize(StandardButton which) const
{
    const int row = RowOf(which);
    return row < 0 ? QSize() : recordedSizes_[row];
}

bool ButtonBoxQt::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        if (!sized_)
            UpdateButtonSizes();
        sized_ = true;
    }
    return QDialogButtonBox::event(e);
}

} // namespace AUILib
