// The Qt widget of CheckBox: made with no parent; CheckBox::Create places it.
// With the wrap flag it paints its text word-wrapped beside the indicator
// and takes clicks anywhere in the widget. Its box keeps an outline on a
// dark palette.
#pragma once

#include <QCheckBox>

namespace AUILib {

class CheckBoxQt : public QCheckBox {
    Q_OBJECT

public:
    CheckBoxQt() : QCheckBox(nullptr) {}

    bool IsWrap() const { return wrap_; }
    void SetWrap(bool wrap) { wrap_ = wrap; }

protected:
    void paintEvent(QPaintEvent* e) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void PaintBox(QPaintEvent* e);

    bool wrap_ = false;
};

} // namespace AUILib
