// The Qt widget of ButtonBox: made with no parent; ButtonBox::Create places
// it. Its standard buttons do not style themselves: each hands its sheet to
// the box, which keeps one per standard button (found by comparing the
// button's text with the translated standard texts). At the first
// activation of its window the box records the size Qt gave each standard
// button and from then on sets every registered sheet readdressed to that
// button by its text, holding the button at its recorded size.
#pragma once

#include <QDialogButtonBox>
#include <QSize>
#include <QString>

#include <array>
#include <map>

namespace AUILib {

class ButtonBoxQt : public QDialogButtonBox {
    Q_OBJECT

public:
    // The standard buttons that take sheets, in the order they are handled.
    static constexpr int kRowCount = 8;

    ButtonBoxQt() : QDialogButtonBox(nullptr) {}
    ~ButtonBoxQt() override;

    // Registers sheet (colons still encoded) for every standard button whose
    // translated text equals buttonText; empty texts or sheets register
    // nothing. A sized box then sets its sheets again.
    void SetButtonStyleSheet(const QString& buttonText, const QString& sheet);
    // Records the buttons' sizes (the first time only) and sets the
    // registered sheets on them.
    void UpdateButtonSizes();

    bool IsSized() const { return sized_; }
    // The sheet registered for a standard button, empty when none.
    QString GetRegisteredSheet(StandardButton which) const;
    QSize GetRecordedSize(StandardButton which) const;

protected:
    bool event(QEvent* e) override;

private:
    std::map<int, QString> sheets_;
    bool sized_ = false;
    // Per box, so boxes laid out differently keep their own sizes.
    std::array<QSize, kRowCount> recordedSizes_{};
};

} // namespace AUILib
