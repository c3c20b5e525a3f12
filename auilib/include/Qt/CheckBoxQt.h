// The Qt widget of CheckBox: made with no parent; CheckBox::Create places it.
// With the wrap flag it paints its text word-wrapped beside the indicator
// and takes clicks anywhere in the widget.
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
    bool wrap_ = false;
};

} // namespace AUILib
