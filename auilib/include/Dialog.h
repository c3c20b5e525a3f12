// Dialog: a top-level dialog built from an enciphered Qt Designer form,
// translated for the current language; its widgets are reached as library
// controls by their form names. An application derives from it and
// overrides FilterDone and InitializeControls.
#pragma once

#include "AUILibEnums.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

class QRect;
class QString;

namespace AUILib {

class Button;

class Dialog : public BaseGUIObject {
public:
    class impl;

    // Handed on unchanged as the window's result code.
    enum DoneState : int { DoneCancel = 0, DoneOK = 1 };

    // Throws AgnosticUIException "Create from ui fails" when the form
    // cannot be built. flags 0 means GetDefaultDialogStyle().
    explicit Dialog(const std::wstring& uiName, QWidget* parent = nullptr, unsigned long flags = 0,
                    double screenRatio = 0.9);
    ~Dialog() override;

    // Dialog, title, system menu and close button.
    static unsigned long GetDefaultDialogStyle() { return 0x08003003; }

    bool Create(QWidget*) override { return true; }
    void Show(bool show, bool repaint) override;
    void Enable(bool enable, bool recursive) override;
    void Update() override;
    void Update(const Region& region) override;
    void Repaint() override;
    void Repaint(const Region& region) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // The result the window closes with; -1 keeps it open.
    virtual int FilterDone(int result) { return result; }
    virtual void ShowButKeepHiddenChildren(bool show);
    virtual void CreateTabWindow(QWidget* parent, bool);
    virtual void CreateTabWindowEx(BaseGUIObject* placeholder, bool);
    // Where a derived dialog fills its controls before showing.
    virtual bool InitializeControls() { return true; }

    // The window's result; the window deletes itself on return, so values
    // are read in FilterDone or handlers. 0 without a window.
    int DoModal();
    void DoModeless(bool stayOnTop = false);
    // Keeps the window a top-level dialog under parent.
    void DoModeless(QWidget* parent, bool stayOnTop = false);
    // Throws AgnosticUIException "Invalid Control!" without a window.
    void Done(DoneState state);

    std::shared_ptr<BaseGUIObject> GetElementByName(const std::wstring& name) const;
    template <typename T>
    T GetControlPtr(const std::wstring& name) const
    {
        return dynamic_cast<T>(GetElementByName(name).get());
    }
    // Makes a control created after the form was loaded (an item editor, a
    // page made at run time) one of the dialog's own: its widget and the
    // widgets below it get the dialog's event filter, so the control
    // receives its event procedure's events and its queued signal calls, and
    // GetElementByName finds it under its name (the control's, else its
    // widget's object name; the widget's object name is set to it). The
    // dialog holds the control until its widget is destroyed; then its
    // OnDestroyed is emitted and the entry goes. Widgets its widget creates
    // later are not watched. False, attaching nothing, when the control has
    // no widget, the widget is not placed inside the loaded dialog's window,
    // there is no name, or the name belongs to another control whose widget
    // still exists.
    bool AttachControl(const std::shared_ptr<BaseGUIObject>& control);
    std::shared_ptr<BaseGUIObject> GetFocusedCtrlPtr() const;
    void SetFocusToCtrl(BaseGUIObject* ctrl);
    void SetDefaultButton(Button* button);
    // Adds a rich-text tip for area (null: the target's client rectangle)
    // of ctrl, or of the dialog when ctrl is empty.
    void SetToolTip(const std::shared_ptr<BaseGUIObject>& ctrl, const std::wstring& text, const std::wstring& title,
                    int maxWidth, QRect* area);

    QWidget* GetWndPtr() const;
    QWidget* GetHandle() const { return GetWndPtr(); }
    void SetWindowTitle(const std::wstring& title);
    void SetUIPath(const std::wstring& path) { uiPath_ = path; }
    const std::wstring& GetUIPath() const { return uiPath_; }
    void UpdateWindow();
    void SetSkinManager(const SkinManager&, bool) {}
    // colour is 0xRRGGBB; the answer is 0xFFRRGGBB.
    void SetBackgroundColor(int colour);
    int GetBackgroundColor() const;
    // Override cursors are application-wide and stack: every set needs its
    // SetCursorType(CursorNormal).
    void SetCursorType(CursorTypes type);
    bool LoadCustomCursor(const std::wstring& path, int hotX, int hotY);
    bool LoadCustomCursor(const unsigned char* data, int length, int hotX, int hotY, ImageTypes type);
    // Fits a dialog whose first layout item is a scroll area to the screen.
    void ResizeDialogAccordingScreen(BaseGUIObject* ctrl);

    bool IsModal() const { return modal_; }

    // Emitted on every resize of the window. Qt's resize goes on using the
    // window after its handlers: they must not delete the window at once,
    // but end the dialog with Done, close() or deleteLater (see Signal.h).
    Signal<> OnResize;

private:
    double screenRatio_;
    std::wstring uiPath_;
    bool modal_ = false;
    std::wstring secondName_;
    std::shared_ptr<impl> impl_;
    bool positioned_ = false;
};

// The rich text of a tool tip: a bold title line, then text, wrapped at
// blanks to maxWidth pixels of the tool-tip font when maxWidth > 0.
QString BuildToolTipText(const QString& text, const QString& title, int maxWidth);

} // namespace AUILib
