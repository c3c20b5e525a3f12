// The Qt widget of ButtonBox: made with no parent; ButtonBox::Create places
// it. It keeps one style sheet per standard button and whether the buttons'
// sizes were recorded.
#pragma once

#include <QDialogButtonBox>
#include <QString>

#include <map>

namespace AUILib {

class ButtonBoxQt : public QDialogButtonBox {
    Q_OBJECT

public:
    ButtonBoxQt() : QDialogButtonBox(nullptr) {}

private:
    std::map<int, QString> sheets_;
    bool sized_ = false;
};

} // namespace AUILib
