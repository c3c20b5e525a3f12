// A balloon tip that records what it is asked to show instead of showing
// anything, for tests of code that drives the caller's balloons.
#pragma once

#include "PromptsPopup.h"

#include <vector>

class RecordingPromptsPopup : public AUILib::PromptsPopup {
public:
    void Show(bool show, int x, int y) override
    {
        shows.push_back(show);
        lastX = x;
        lastY = y;
    }

    // -1 never asked, else 0 or 1 for the last request.
    int Last() const { return shows.empty() ? -1 : static_cast<int>(shows.back()); }

    std::vector<bool> shows;
    int lastX = 0;
    int lastY = 0;
};
