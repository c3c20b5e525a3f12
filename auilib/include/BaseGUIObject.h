// The public base of every control. It holds no widget: geometry,
// visibility, timers and balloon tips forward to the control's
// implementation (GetBaseImpl), whose Qt base acts on the widget.
#pragma once

#include "AUIObject.h"
#include "AUILibTypes.h"
#include "ControlType.h"
#include "Event.h"
#include "SkinManager.h"
#include "Signal.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace AUILib {

class BaseImpl;
class ContextMenu;
class PromptsPopup;

class BaseGUIObject : public AUIObject {
public:
    using EventProcedureFunction = std::function<bool(BaseGUIObject*, Event*)>;
    using PreTranslateFunction = std::function<int(void*)>;

    BaseGUIObject();
    ~BaseGUIObject() override;

    // Places the control's widget under parent.
    virtual bool Create(QWidget* parent) = 0;
    virtual Size IdealSize();
    virtual Size MinimumIdealSize();
    virtual Size MinimumSize();
    virtual Size MaximumSize();
    virtual void Show(bool show, bool repaint);
    virtual bool IsVisible();
    virtual void Enable(bool enable, bool recursive);
    virtual bool IsEnabled();
    virtual void MoveWindow(int x, int y, int width, int height, bool repaint);
    // Qt already works in device-independent pixels: the same as MoveWindow.
    virtual void MoveWindowUnscaled(int x, int y, int width, int height, bool repaint);
    virtual void Update();
    virtual void Update(const Region& region);
    virtual void Repaint();
    virtual void Repaint(const Region& region);
    virtual int GetLogicalPixelsX();
    virtual int GetLogicalPixelsY();
    virtual Rect GetWindowRect();
    virtual Rect GetWindowRectUnscaled();
    virtual Rect GetClientRect();
    virtual Point ScreenToClient(Point point);
    virtual Point ClientToScreen(Point point);
    // The recorded parent window; setting it does not re-parent the widget.
    virtual QWidget* GetParentWindow();
    virtual void SetParentWindow(QWidget* parent);
    virtual BaseGUIObject* SetUserValue(void* value)
    {
        userValue_ = value;
        return this;
    }
    virtual void* GetUserValue() { return userValue_; }
    // Never null once the control is constructed.
    virtual std::shared_ptr<BaseImpl> GetBaseImpl() const = 0;
    // Returns Qt's timer id; the id argument is not used.
    virtual int SetTimer(unsigned id, unsigned elapse);
    virtual void KillTimer(unsigned id);
    virtual SizePolicy GetSizePolicy() const;
    virtual void SetSizePolicy(const SizePolicy& policy);
    virtual SkinManager* GetSkinManager();
    virtual bool SetSkinMode(SkinMode mode, bool);

    int GetFrarmeWidth();
    void SetMinimumSize(const Size& size);
    void SetMaximumSize(const Size& size);
    void SetAcceptDrops(bool accept);
    bool IsAcceptDrops();
    void SetTrackMouseEvent();
    int GetWidthForText(std::wstring& text, FontData* font);

    bool ShowBalloonTipEx(const std::wstring& text, const std::wstring& iconPath, bool, bool keepShown);
    bool ShowBalloonTipEx(const std::wstring& text, const unsigned char* iconData, int iconSize, bool,
                          bool keepShown);
    bool ShowBalloonTipEx(const std::wstring& text, BalloonTipIconType icon, bool, bool keepShown);
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, const std::wstring& iconPath, bool,
                          bool keepShown);
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, const unsigned char* iconData,
                          int iconSize, bool, bool keepShown);
    bool ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon, bool,
                          bool keepShown);
    bool HideBalloonTipEx();
    bool IsBalloonTipDisplayed();

    // On this platform a window handle is the widget pointer itself.
    void* GetPlatformHandle() const;
    QWidget* GetPlatformWindow() const;

    const EventProcedureFunction& EventProcedure() const { return eventProcedure_; }
    void SetEventProcedure(const EventProcedureFunction& procedure) { eventProcedure_ = procedure; }
    const PreTranslateFunction& PreTranslateMessage() const { return preTranslate_; }
    void SetPreTranslateMessage(const PreTranslateFunction& hook) { preTranslate_ = hook; }

    // A new popup on the control's widget each call, not shown: b is its
    // display time in milliseconds (-1 the long one), a is not used.
    std::shared_ptr<PromptsPopup> InsertPromptsPopup(const std::wstring& text, int a, int b, bool autoHide);
    void ShowPromptsPopup(const std::shared_ptr<PromptsPopup>& popup, bool show);

    void InsertContextMenu(const std::shared_ptr<ContextMenu>& menu);
    void RemoveContextMenu();
    std::shared_ptr<ContextMenu> GetContextMenu();

    ControlType GetControlType() const { return controlType_; }
    // The widget name under which form loading recorded the control.
    const std::wstring& GetName() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }

    // Emitted with the control when its widget is destroyed (form loading
    // connects the widget's QObject::destroyed to it).
    Signal<BaseGUIObject*> OnDestroyed;

protected:
    void SetControlType(ControlType type) { controlType_ = type; }

private:
    std::wstring name_;
    ControlType controlType_ = ControlTypeBase;
    QWidget* parentWindow_ = nullptr;
    EventProcedureFunction eventProcedure_;
    PreTranslateFunction preTranslate_;
    void* userValue_ = nullptr;
    std::shared_ptr<PromptsPopup> promptsPopup_;
    std::shared_ptr<ContextMenu> contextMenu_;
};

} // namespace AUILib
