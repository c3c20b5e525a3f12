// The Qt base of every control implementation: the defaults of the
// implementation interface, acting on the widget from GetWndPtr(). Widget
// operations throw AgnosticUIException("", 0, "Control is not valid.") once
// the widget is gone, except where noted.
#pragma once

#include "BaseImpl.h"

#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace AUILib {

class PromptsPopup;

class BaseImplQt : public BaseImpl {
public:
    // An area of the widget with its own tool tip; the dialog fills the list
    // and the event filter shows the first entry under the pointer.
    struct ToolTipEntry {
        QString text;
        QRect area;
    };

    BaseImplQt();
    ~BaseImplQt() override;

    void Show(bool show, bool repaint) override;
    bool IsVisible() override;
    void Enable(bool enable, bool recursive) override;
    bool IsEnabled() override;
    int GetLogicalPixelsX() override;
    int GetLogicalPixelsY() override;
    Rect GetWindowRect() override;
    Rect GetClientRect() override;
    Point ScreenToClient(Point point) override;
    Point ClientToScreen(Point point) override;
    Size IdealSize() override;
    Size MinimumIdealSize() override;
    Size MinimumSize() override;
    Size MaximumSize() override;
    void SetMinimumSize(const Size& size) override;
    void SetMaximumSize(const Size& size) override;
    void MoveWindow(int x, int y, int width, int height, bool repaint) override;
    int GetFrarmeWidth() override;
    int SetTimer(unsigned id, unsigned elapse) override;
    void KillTimer(unsigned id) override;
    void Update() override;
    void Update(const Region& region) override;
    void Repaint() override;
    void Repaint(const Region& region) override;
    SizePolicy GetSizePolicy() const override;
    void SetSizePolicy(const SizePolicy& policy) override;
    // No widget: nothing, the flag stays.
    void SetAcceptDrops(bool accept) override;
    // The flag last set through SetAcceptDrops, not the widget's state.
    bool IsAcceptDrops() override;
    // No widget: nothing.
    void SetTrackMouseEvent() override;
    bool IsTrackMouseEvent() override;
    void SetTrackMouseEventFlag(bool track) override;
    int GetWidthForText(std::wstring& text, FontData* font) override;
    // Path and picture-data tips hide on the user's activity at the widget;
    // stock-icon tips stay for their time. keepShown chooses the popup's
    // long time over 3000 ms. False when the popup cannot be placed on the
    // widget (gone).
    bool ShowBalloonTipEx(const std::wstring& text, const std::wstring& iconPath, bool, bool keepShown) override;
    bool ShowBalloonTipEx(const std::wstring& text, const unsigned char* iconData, int iconSize, bool,
                          bool keepShown) override;
    bool ShowBalloonTipEx(const std::wstring& text, BalloonTipIconType icon, bool, bool keepShown) override;
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, const std::wstring& iconPath, bool,
                          bool keepShown) override;
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, const unsigned char* iconData,
                          int iconSize, bool, bool keepShown) override;
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon, bool,
                          bool keepShown) override;
    bool HideBalloonTipEx() override;
    bool IsBalloonTipDisplayed() override;
    void OnSkinColorChanged() override;
    bool ShowToolTipAt(Point screenPosition) override;
    bool SetParent(QWidget* parent) override;
    void ExtensionHook() override;
    int32_t* GetExtensionValue() override;

    // The font the control's text is drawn with; controls with a font of
    // their own answer it.
    virtual FontData GetFont();

    // Sets every widget below widget, and widget itself, to enable, each once.
    static void EnableChildren(QWidget* widget, bool enable);

    // Raised while the implementation changes its own widget, so handlers
    // of the widget's notifications do not report the change as the user's.
    bool IsChangeInProgress() const { return changeInProgress_; }
    void SetChangeInProgress(bool inProgress) { changeInProgress_ = inProgress; }

    std::vector<ToolTipEntry>& ToolTips() { return toolTips_; }

protected:
    // The widget, or the "Control is not valid." exception.
    QWidget* RequireWidget();
    QWidget* RequireWidget() const;

private:
    std::shared_ptr<PromptsPopup> BalloonPopup();
    bool ShowBalloon(const std::wstring& text, bool autoHide, bool keepShown, const std::function<void(PromptsPopup&)>& decorate);

    bool changeInProgress_ = false;
    std::vector<ToolTipEntry> toolTips_;
    int32_t extensionValue_ = 0;
    QRect savedGeometry_;
    bool trackMouse_ = false;
    bool acceptDrops_ = false;
    std::shared_ptr<PromptsPopup> balloonPopup_;
};

} // namespace AUILib
