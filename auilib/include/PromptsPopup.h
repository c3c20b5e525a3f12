// The balloon tip: a small tool-tip window with an optional bold title and
// icon and a text, shown below a point of its target widget for a time and
// hidden again by its timer or by the user's activity at the target.
#pragma once

#include "AUILibTypes.h"

#include <memory>
#include <string>

class QWidget;

namespace AUILib {

class PromptsPopup {
public:
    class impl;

    PromptsPopup();
    virtual ~PromptsPopup();

    PromptsPopup(const PromptsPopup&) = delete;
    PromptsPopup& operator=(const PromptsPopup&) = delete;

    // False, changing nothing, for a null parent. duration is in
    // milliseconds, -1 for the long time (50 s). With hideOnActivity the
    // popup hides on key, focus and leave events of the target and when the
    // mouse moves over the target outside the popup; without it, it shows
    // itself again on mouse and paint events of the target's window. Either
    // way it follows that window's moves and hides when the window is
    // closed, activated or deactivated. The third argument is not used.
    virtual bool Create(QWidget* parent, const std::wstring& text, int, int duration, bool hideOnActivity);
    // Shows at (x, y) on the screen, or below the target's top-left corner
    // when x or y is negative, and starts the display timer; false hides.
    // Nothing before a successful Create.
    virtual void Show(bool show, int x, int y);
    virtual void SetTitleIcon(BalloonTipIconType icon);
    virtual void SetTitleIcon(const std::wstring& path);
    virtual bool SetTitleIcon(const unsigned char* data, int size);
    // An empty title keeps the current one.
    virtual void SetTitle(const std::wstring& title);

    bool IsDisplayed() const;

private:
    std::unique_ptr<impl> impl_;
};

} // namespace AUILib
