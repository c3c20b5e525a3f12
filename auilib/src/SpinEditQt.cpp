#include "SpinEditQt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <limits>

namespace AUILib {

namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

// Stepping near the 64-bit limits must stop at a limit, never wrap around
// into the other sign.
long long SaturatingMultiply(long long a, long long b)
{
    long long result = 0;
    if (!__builtin_mul_overflow(a, b, &result))
        return result;
    return (a < 0) == (b < 0) ? kMax : kMin;
}

long long SaturatingAdd(long long a, long long b)
{
    long long result = 0;
    if (!__builtin_add_overflow(a, b, &result))
        return result;
    return b > 0 ? kMax : kMin;
}

} // namespace

SpinEditQt::SpinEditQt() : QAbstractSpinBox(nullptr) { SetValue(0); }

SpinEditQt::~SpinEditQt() = default;

void SpinEditQt::SetRange(long long a, long long b)
{
    minimum_ = std::min(a, b);
    maximum_ = std::max(a, b);
    SetValue(value_);
}

void SpinEditQt::SetSuffix(const QString& suffix)
{
    suffix_ = suffix;
    SetValue(value_);
}

void SpinEditQt::SetValue(long long expectedNewValue)
{
    const long long value = std::max(minimum_, std::min(maximum_, expectedNewValue));
    lineEdit()->setText(TextOf(value));
    typedValue_ = value;
    if (value == value_)
        return;
    value_ = value;
    emit valueChanged(value);
}

QValidator::State SpinEditQt::validate(QString& input, int& pos) const
{
    if (!suffix_.isEmpty()) {
        if (input.endsWith(suffix_)) {
            input.remove(suffix_);
        } else {
            // The user cut into the suffix: drop what is left of it, the
            // whole suffix comes back below with the cursor before it.
            const QString cut = suffix_.left(suffix_.size() - 1);
            if (!cut.isEmpty())
                input.remove(cut);
            pos = input.size();
        }
    }

    if (input.isEmpty() || (input == QLatin1String("-") && (minimum_ < 0 || maximum_ < 0))) {
        typedValue_ = 0;
        input += suffix_;
        return QValidator::Acceptable;
    }

    bool ok = false;
    const long long value = input.toLongLong(&ok, 10);
    if (!ok)
        return QValidator::Invalid;

    if (value > maximum_) {
        if (!correction_ && value >= 1) {
            input = QString::number(maximum_);
            typedValue_ = maximum_;
        } else if (value >= 0) {
            return QValidator::Invalid;
        } else {
            typedValue_ = value;  // may still grow into range
        }
    } else if (value < minimum_) {
        if (value >= 0) {
            typedValue_ = value;  // may still grow into range
        } else if (correction_) {
            return QValidator::Invalid;
        } else {
            input = QString::number(minimum_);
            typedValue_ = minimum_;
        }
    } else {
        typedValue_ = value;
    }
    input += suffix_;
    return QValidator::Acceptable;
}

void SpinEditQt::CommitText()
{
    const QString text = lineEdit()->text();
    bool ok = false;
    const long long value = text.toLongLong(&ok, 10);
    if (ok) {
        SetValue(value);
        return;
    }
    if (!suffix_.isEmpty()) {
        const long long number = text.left(text.size() - suffix_.size()).toLongLong(&ok, 10);
        if (!text.endsWith(suffix_) || !ok)
            SetValue(value_);
        else
            SetValue(number);
        return;
    }
    // An empty text or a lone minus: what validate took it for.
    SetValue(0);
}

void SpinEditQt::SelectNumberText() { lineEdit()->setSelection(0, lineEdit()->text().size() - suffix_.size()); }

int SpinEditQt::SuffixStart() const { return suffix_.isEmpty() ? -1 : lineEdit()->text().lastIndexOf(suffix_); }

void SpinEditQt::keyPressEvent(QKeyEvent* event)
{
    QPointer<SpinEditQt> alive(this);
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SelectNumberText();
        CommitText();
        if (!alive)
            return;
    }
    // With wrapping the key steps on round, as a click on the arrow does, and
    // that step is what gets reported.
    if (!wrapping() && ((key == Qt::Key_Up && value_ == maximum_) || (key == Qt::Key_Down && value_ == minimum_))) {
        emit arrowValueChanged(value_, 0);
        if (!alive)
            return;
    }
    QAbstractSpinBox::keyPressEvent(event);
    if (!alive)
        return;
    const int start = SuffixStart();
    if (start >= 0 && lineEdit()->cursorPosition() > start) {
        if (key == Qt::Key_Backspace || key == Qt::Key_Left)
            lineEdit()->setCursorPosition(start);
        else if (key == Qt::Key_Right)
            lineEdit()->setCursorPosition(lineEdit()->text().size());
    }
}

void SpinEditQt::focusOutEvent(QFocusEvent* event)
{
    QPointer<SpinEditQt> alive(this);
    if (correction_ && (typedValue_ < minimum_ || typedValue_ > maximum_))
        SetValue(value_);
    else
        CommitText();
    if (alive)
        QAbstractSpinBox::focusOutEvent(event);
}

void SpinEditQt::stepBy(int steps)
{
    if (isReadOnly())
        return;
    QPointer<SpinEditQt> alive(this);
    if (lineEdit()->text() != TextOf(value_)) {
        CommitText();
        if (!alive)
            return;
    }
    const long long amount = SaturatingMultiply(steps, step_);
    long long next = SaturatingAdd(value_, amount);
    if (!wrapping()) {
        next = std::max(minimum_, std::min(maximum_, next));
    } else if (next > maximum_) {
        next = value_ == maximum_ ? minimum_ : maximum_;
    } else if (next < minimum_) {
        next = value_ == minimum_ ? maximum_ : minimum_;
    }
    SetValue(next);
    if (!alive)
        return;
    emit arrowValueChanged(next, amount);
    if (alive)
        SelectNumberText();
}

QAbstractSpinBox::StepEnabled SpinEditQt::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (wrapping() || value_ < maximum_)
        enabled |= StepUpEnabled;
    if (wrapping() || value_ > minimum_)
        enabled |= StepDownEnabled;
    return enabled;
}

void SpinEditQt::mousePressEvent(QMouseEvent* event)
{
    QPointer<SpinEditQt> alive(this);
    QAbstractSpinBox::mousePressEvent(event);
    if (!alive)
        return;
    // A press that changed nothing since the last one stands at a limit.
    if (value_ == valueAtLastPress_) {
        QStyleOptionSpinBox option;
        initStyleOption(&option);
        const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
        const QRect down = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, this);
        if (up.contains(event->pos()) && value_ == maximum_)
            emit arrowValueChanged(value_, 0);
        else if (down.contains(event->pos()) && value_ == minimum_)
            emit arrowValueChanged(value_, 0);
        if (!alive)
            return;
    }
    valueAtLastPress_ = value_;
}

} // namespace AUILib
