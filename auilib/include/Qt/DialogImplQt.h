// The implementation of Dialog: the window (a DialogQt until the form is
// loaded, then the form's root dialog), the controls by widget name, the
// applied window flags and the event filter of the window and its widgets.
#pragma once

#include "BaseImplQt.h"
#include "Dialog.h"

#include <QCursor>
#include <QDialog>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace AUILib {

class DialogQt;
class EventHelper;
class KwQUiLoader;

class Dialog::impl : public QObject, public BaseImplQt {
    Q_OBJECT

public:
    using Controls = std::unordered_map<std::wstring, std::shared_ptr<BaseGUIObject>>;

    impl(Dialog* owner, unsigned flags, QWidget* parent);
    ~impl() override;

    QWidget* GetWndPtr() override { return window_.data(); }

    // The window deletes itself on close, so a dialog outliving it is the
    // ordinary case, not a caller's mistake: without the window these do
    // nothing or answer the empty value, where a control's throw.
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
    // With a font of its own the width needs no window.
    int GetWidthForText(std::wstring& text, FontData* font) override;
    bool SetParent(QWidget* parent) override;

    // Reads the enciphered form at path and builds it.
    bool CreateFromUI(const std::wstring& path, QWidget* parent);
    // Builds the form text; flags is not read (the constructor's are).
    bool CreateFromUI(const std::wstring& text, unsigned long flags, QWidget* parent);
    std::shared_ptr<BaseGUIObject> GetElementByName(const std::wstring& name) const;
    const Controls& GetControls() const { return controls_; }
    // Dialog::AttachControl.
    bool AttachControl(const std::shared_ptr<BaseGUIObject>& control);

    bool Close();
    void SetDefaultButton(Button* button);
    bool GetDefaultButtonFlag() const { return defaultButton_; }
    void SetWindowsToStayOnTop();
    void DisconnectApp();
    unsigned GetWindowFlags() const { return windowFlags_; }
    EventHelper* GetEventHelper() const { return eventHelper_; }
    QCursor& CustomCursor() { return cursor_; }

    // The public dialog is going: the window and the filter act without it.
    void DetachOwner();
    // A construction that failed: the never-shown window goes.
    void DiscardWindow();

public slots:
    void applicationStateChanged(Qt::ApplicationState state);

private:
    friend class KwQUiLoader;

    bool defaultButton_ = true;
    // Held as a widget: events reach the filter while a dialog is being
    // destroyed, when it no longer is a QDialog.
    QPointer<QWidget> window_;
    Controls controls_;
    unsigned windowFlags_;
    bool closed_ = true;
    Dialog* owner_;
    EventHelper* eventHelper_;
    bool stayOnTop_ = false;
    QCursor cursor_;

    // The window made here, whatever the form's root turned out to be.
    QPointer<QWidget> created_;
    QMetaObject::Connection windowDestroyed_;

    // The destroyed connections of attached controls, dropped before the
    // controls map goes (declared last: destroyed first), so a widget
    // destroyed meanwhile does not reach a map being torn down.
    struct AttachedConnections {
        ~AttachedConnections();
        void Add(QMetaObject::Connection connection);
        std::vector<QMetaObject::Connection> list;
    };
    AttachedConnections attached_;
};

} // namespace AUILib
