// The Qt widget of SpinEdit: a spin box over 64-bit whole numbers with its
// own range, step, committed value and suffix. Every keystroke is checked
// here (validate), so the text never holds something that is not a number;
// the committed value moves only on Enter, focus loss, stepping or SetValue.
// Made with no parent; SpinEdit::Create places it.
#pragma once

#include <QAbstractSpinBox>
#include <QString>

namespace AUILib {

class SpinEditQt : public QAbstractSpinBox {
    Q_OBJECT

public:
    SpinEditQt();
    ~SpinEditQt() override;

    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;

    long long GetMinimum() const { return minimum_; }
    long long GetMaximum() const { return maximum_; }
    // Orders the two limits, then re-clamps and re-shows the value.
    void SetRange(long long a, long long b);
    long long GetStep() const { return step_; }
    void SetStep(long long step) { step_ = step; }
    long long GetCommittedValue() const { return value_; }
    const QString& GetSuffix() const { return suffix_; }
    void SetSuffix(const QString& suffix);
    bool GetCorrection() const { return correction_; }
    void SetCorrection(bool correction) { correction_ = correction; }
    void SetBalloonTexts(const QString& title, const QString& text)
    {
        balloonTitle_ = title;
        balloonText_ = text;
    }
    const QString& GetBalloonTitle() const { return balloonTitle_; }
    const QString& GetBalloonText() const { return balloonText_; }

signals:
    void valueChanged(long long value);
    // A step by arrow, key or wheel (the new value and the amount moved), or
    // an arrow pressed at a limit (the value and 0).
    void arrowValueChanged(long long value, long long step);

public slots:
    // The last value the typed text stood for.
    long long GetValue() const { return typedValue_; }
    // Clamps into the range, shows it and commits it (valueChanged when it
    // differs from the committed value).
    void SetValue(long long expectedNewValue);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    StepEnabled stepEnabled() const override;

private:
    QString TextOf(long long value) const { return QString::number(value) + suffix_; }
    void CommitText();
    void SelectNumberText();
    // Where the suffix's last occurrence starts in the text, -1 without one.
    int SuffixStart() const;

    QString suffix_;
    long long step_ = 1;
    long long minimum_ = 0;
    long long maximum_ = 100;
    long long value_ = 0;
    QString balloonTitle_;
    QString balloonText_;
    // Written by validate, which Qt calls on a const widget.
    mutable long long typedValue_ = 0;
    long long valueAtLastPress_ = 0;
    bool correction_ = true;
};

} // namespace AUILib
