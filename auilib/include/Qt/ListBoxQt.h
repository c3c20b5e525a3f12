// The Qt widget of ListBox: made with no parent; ListBox::Create places it.
#pragma once

#include <QTableWidget>

namespace AUILib {

class ListBoxQt : public QTableWidget {
    Q_OBJECT

public:
    ListBoxQt() : QTableWidget(nullptr) {}
};

} // namespace AUILib
