// The implementation object behind every control. A control holds no widget
// itself: its public operations forward to these, and the Qt base
// (BaseImplQt) carries the defaults on top of the widget from GetWndPtr().
#pragma once

#include "AUILibTypes.h"

#include <cstdint>
#include <string>

class QWidget;

namespace AUILib {

class BaseImpl {
public:
    virtual void Show(bool show, bool repaint) = 0;
    virtual bool IsVisible() = 0;
    virtual void Enable(bool enable, bool recursive) = 0;
    virtual bool IsEnabled() = 0;
    virtual int GetLogicalPixelsX() = 0;
    virtual int GetLogicalPixelsY() = 0;
    virtual Rect GetWindowRect() = 0;
    virtual Rect GetClientRect() = 0;
    virtual Point ScreenToClient(Point point) = 0;
    virtual Point ClientToScreen(Point point) = 0;
    virtual Size IdealSize() = 0;
    virtual Size MinimumIdealSize() = 0;
    virtual Size MinimumSize() = 0;
    virtual Size MaximumSize() = 0;
    virtual void SetMinimumSize(const Size& size) = 0;
    virtual void SetMaximumSize(const Size& size) = 0;
    virtual void MoveWindow(int x, int y, int width, int height, bool repaint) = 0;
    virtual int GetFrarmeWidth() = 0;
    // Returns Qt's timer id; the id argument is not used.
    virtual int SetTimer(unsigned id, unsigned elapse) = 0;
    virtual void KillTimer(unsigned id) = 0;
    virtual void Update() = 0;
    virtual void Update(const Region& region) = 0;
    virtual void Repaint() = 0;
    virtual void Repaint(const Region& region) = 0;
    virtual SizePolicy GetSizePolicy() const = 0;
    virtual void SetSizePolicy(const SizePolicy& policy) = 0;
    virtual void SetAcceptDrops(bool accept) = 0;
    virtual bool IsAcceptDrops() = 0;
    virtual void SetTrackMouseEvent() = 0;
    virtual bool IsTrackMouseEvent() = 0;
    virtual void SetTrackMouseEventFlag(bool track) = 0;
    virtual int GetWidthForText(std::wstring& text, FontData* font) = 0;
    // The first flag of every balloon tip is accepted and not used.
    virtual bool ShowBalloonTipEx(const std::wstring& text, const std::wstring& iconPath, bool, bool keepShown) = 0;
    virtual bool ShowBalloonTipEx(const std::wstring& text, const unsigned char* iconData, int iconSize, bool,
                                  bool keepShown) = 0;
    virtual bool ShowBalloonTipEx(const std::wstring& text, BalloonTipIconType icon, bool, bool keepShown) = 0;
    virtual bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, const std::wstring& iconPath,
                                  bool, bool keepShown) = 0;
    virtual bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text,
                                  const unsigned char* iconData, int iconSize, bool, bool keepShown) = 0;
    virtual bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon,
                                  bool, bool keepShown) = 0;
    virtual bool HideBalloonTipEx() = 0;
    virtual bool IsBalloonTipDisplayed() = 0;
    // Called by a skin manager on its owner when its colours change.
    virtual void OnSkinColorChanged() = 0;
    virtual bool ShowToolTipAt(Point screenPosition) = 0;
    virtual ~BaseImpl() = default;
    // The control's widget, or null once it is gone.
    virtual QWidget* GetWndPtr() = 0;
    virtual bool SetParent(QWidget* parent) = 0;
    virtual void ExtensionHook() = 0;
    virtual int32_t* GetExtensionValue() = 0;
};

} // namespace AUILib
