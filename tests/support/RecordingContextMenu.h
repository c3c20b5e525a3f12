// A context menu that records how it is created and shown instead of
// popping up (a real menu's Show runs its own event loop until the menu
// closes), for tests of when and where the code shows a control's menu.
#pragma once

#include "ContextMenu.h"

#include <QPoint>

#include <vector>

class QWidget;

class RecordingContextMenu : public AUILib::ContextMenu {
public:
    bool Create(QWidget* parent) override
    {
        parents.push_back(parent);
        return parent != nullptr;
    }
    void Show(bool show) override { shows.push_back(show); }
    void Show(int x, int y) override { shownAt.emplace_back(x, y); }

    std::vector<QWidget*> parents;
    std::vector<bool> shows;
    std::vector<QPoint> shownAt;
};
