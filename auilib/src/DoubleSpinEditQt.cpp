#include "DoubleSpinEditQt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace AUILib {

DoubleSpinEditQt::DoubleSpinEditQt() : QDoubleSpinBox(nullptr), step_(singleStep()) {}

DoubleSpinEditQt::~DoubleSpinEditQt() = default;

// The widget's locale is the application's default unless someone set one
// on the widget; either way it is the one the base reads and writes with.
QChar DoubleSpinEditQt::LocaleDecimal() const { return locale().decimalPoint(); }

bool DoubleSpinEditQt::SetDecimalChar(char decimal)
{
    if (decimal >= '0' && decimal <= '9')
        return false;
    decimalChar_ = decimal;
    setValue(value());  // shows the text again with the new character
    return true;
}

QValidator::State DoubleSpinEditQt::validate(QString& input, int& pos) const
{
    const QString suffixText = suffix();
    if (!suffixText.isEmpty() && input.endsWith(suffixText))
        input.remove(suffixText);
    const QChar localeDecimal = LocaleDecimal();
    if (decimalChar_)
        input.replace(QChar::fromLatin1(decimalChar_), localeDecimal);
    if (!correction_) {
        // A limit written the way the base writes numbers, so that it reads
        // back as that limit in any locale.
        bool ok = false;
        const double typed = locale().toDouble(input, &ok);
        if (ok && typed > maximum() && typed > 0)
            input = QDoubleSpinBox::textFromValue(maximum());
        else if (ok && typed < minimum() && typed < 0)
            input = QDoubleSpinBox::textFromValue(minimum());
    }
    const QValidator::State state = QDoubleSpinBox::validate(input, pos);
    if (!input.endsWith(suffixText))
        input += suffixText;
    if (decimalChar_)
        input.replace(localeDecimal, QChar::fromLatin1(decimalChar_));
    return state;
}

double DoubleSpinEditQt::valueFromText(const QString& text) const
{
    if (!decimalChar_)
        return QDoubleSpinBox::valueFromText(text);
    // Qt hands over the whole display text, prefix and suffix included.
    QString number = text;
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    number = number.trimmed();
    number.replace(QChar::fromLatin1(decimalChar_), LocaleDecimal());
    return locale().toDouble(number);
}

QString DoubleSpinEditQt::textFromValue(double value) const
{
    if (!decimalChar_)
        return QDoubleSpinBox::textFromValue(value);
    // QString::number always writes '.', whatever the locale.
    QString text = QString::number(value, 'f', decimals());
    text.replace(QLatin1Char('.'), QChar::fromLatin1(decimalChar_));
    return text;
}

void DoubleSpinEditQt::keyPressEvent(QKeyEvent* event)
{
    QPointer<DoubleSpinEditQt> alive(this);
    const int key = event->key();
    QDoubleSpinBox::keyPressEvent(event);
    if (!alive)
        return;
    const double current = value();
    if (key == Qt::Key_Down && valueAtLastPress_ == current && current == minimum())
        emit arrowValueChanged(minimum(), 0);
    else if (key == Qt::Key_Up && valueAtLastPress_ == current && current == maximum())
        emit arrowValueChanged(maximum(), 0);
    if (!alive)
        return;
    valueAtLastPress_ = value();
    if (key == Qt::Key_Backspace && !suffix().isEmpty()) {
        const int start = lineEdit()->text().lastIndexOf(suffix());
        if (start >= 0 && start < lineEdit()->cursorPosition())
            lineEdit()->setCursorPosition(start);
    }
}

void DoubleSpinEditQt::focusOutEvent(QFocusEvent* event)
{
    QPointer<DoubleSpinEditQt> alive(this);
    if (!correction_) {
        const double typed = valueFromText(lineEdit()->text());
        if (typed == minimum())
            setValue(minimum());
        else if (typed == maximum())
            setValue(maximum());
    }
    if (alive)
        QDoubleSpinBox::focusOutEvent(event);
}

void DoubleSpinEditQt::stepBy(int steps)
{
    if (singleStep() != step_)
        setSingleStep(step_);
    QPointer<DoubleSpinEditQt> alive(this);
    QDoubleSpinBox::stepBy(steps);
    if (alive)
        emit arrowValueChanged(value(), steps * singleStep());
}

void DoubleSpinEditQt::mousePressEvent(QMouseEvent* event)
{
    QPointer<DoubleSpinEditQt> alive(this);
    QDoubleSpinBox::mousePressEvent(event);
    if (!alive)
        return;
    // A press that changed nothing since the last one stands at a limit.
    const double current = value();
    if (current == valueAtLastPress_) {
        QStyleOptionSpinBox option;
        initStyleOption(&option);
        const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
        const QRect down = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, this);
        if (up.contains(event->pos()) && current == maximum())
            emit arrowValueChanged(current, 0);
        else if (down.contains(event->pos()) && current == minimum())
            emit arrowValueChanged(current, 0);
        if (!alive)
            return;
    }
    valueAtLastPress_ = value();
}

} // namespace AUILib
