// The Qt widget of DoubleSpinEdit: Qt's double spin box with a decimal
// character of its own choosing, a step that applies at the next step,
// optional clamping of typed values past a limit and notifications of
// arrow steps. Made with no parent; DoubleSpinEdit::Create places it.
#pragma once

#include <QDoubleSpinBox>
#include <QString>

namespace AUILib {

class DoubleSpinEditQt : public QDoubleSpinBox {
    Q_OBJECT

public:
    DoubleSpinEditQt();
    ~DoubleSpinEditQt() override;

    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;
    double valueFromText(const QString& text) const override;
    QString textFromValue(double value) const override;

    double GetStep() const { return step_; }
    void SetStep(double step) { step_ = step; }
    bool GetCorrection() const { return correction_; }
    void SetCorrection(bool correction) { correction_ = correction; }
    // 0 for the locale's own; an ASCII digit is refused (returns false).
    char GetDecimalChar() const { return decimalChar_; }
    bool SetDecimalChar(char decimal);
    void SetBalloonTexts(const QString& title, const QString& text)
    {
        balloonTitle_ = title;
        balloonText_ = text;
    }
    const QString& GetBalloonTitle() const { return balloonTitle_; }
    const QString& GetBalloonText() const { return balloonText_; }

signals:
    // A step (the new value and the amount stepped) or an arrow pressed at
    // a limit (the limit and 0).
    void arrowValueChanged(double value, double step);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The decimal point of the widget's locale, the one text is read with.
    QChar LocaleDecimal() const;

    QString balloonTitle_;
    QString balloonText_;
    double valueAtLastPress_ = 0;
    double step_ = 1.0;
    bool correction_ = true;
    char decimalChar_ = 0;
};

} // namespace AUILib
