#include "BaseGUIObject.h"

#include "AUILibConfig.h"
#include "BaseImpl.h"
#include "ContextMenu.h"
#include "PromptsPopup.h"

namespace AUILib {

BaseGUIObject::BaseGUIObject() = default;

BaseGUIObject::~BaseGUIObject() = default;

// Each forwarder keeps the implementation alive for the duration of the call,
// and asks for it through the virtual GetBaseImpl so overrides are reached.
Size BaseGUIObject::IdealSize() { return GetBaseImpl()->IdealSize(); }
Size BaseGUIObject::MinimumIdealSize() { return GetBaseImpl()->MinimumIdealSize(); }
Size BaseGUIObject::MinimumSize() { return GetBaseImpl()->MinimumSize(); }
Size BaseGUIObject::MaximumSize() { return GetBaseImpl()->MaximumSize(); }
void BaseGUIObject::Show(bool show, bool repaint) { GetBaseImpl()->Show(show, repaint); }
bool BaseGUIObject::IsVisible() { return GetBaseImpl()->IsVisible(); }
void BaseGUIObject::Enable(bool enable, bool recursive) { GetBaseImpl()->Enable(enable, recursive); }
bool BaseGUIObject::IsEnabled() { return GetBaseImpl()->IsEnabled(); }

void BaseGUIObject::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    GetBaseImpl()->MoveWindow(x, y, width, height, repaint);
}

void BaseGUIObject::MoveWindowUnscaled(int x, int y, int width, int height, bool repaint)
{
    GetBaseImpl()->MoveWindow(x, y, width, height, repaint);
}

void BaseGUIObject::Update() { GetBaseImpl()->Update(); }
void BaseGUIObject::Update(const Region& region) { GetBaseImpl()->Update(region); }
void BaseGUIObject::Repaint() { GetBaseImpl()->Repaint(); }
void BaseGUIObject::Repaint(const Region& region) { GetBaseImpl()->Repaint(region); }
int BaseGUIObject::GetLogicalPixelsX() { return GetBaseImpl()->GetLogicalPixelsX(); }
int BaseGUIObject::GetLogicalPixelsY() { return GetBaseImpl()->GetLogicalPixelsY(); }
Rect BaseGUIObject::GetWindowRect() { return GetBaseImpl()->GetWindowRect(); }
Rect BaseGUIObject::GetWindowRectUnscaled() { return GetBaseImpl()->GetWindowRect(); }
Rect BaseGUIObject::GetClientRect() { return GetBaseImpl()->GetClientRect(); }
Point BaseGUIObject::ScreenToClient(Point point) { return GetBaseImpl()->ScreenToClient(point); }
Point BaseGUIObject::ClientToScreen(Point point) { return GetBaseImpl()->ClientToScreen(point); }
QWidget* BaseGUIObject::GetParentWindow() { return parentWindow_; }
void BaseGUIObject::SetParentWindow(QWidget* parent) { parentWindow_ = parent; }
int BaseGUIObject::SetTimer(unsigned id, unsigned elapse) { return GetBaseImpl()->SetTimer(id, elapse); }
void BaseGUIObject::KillTimer(unsigned id) { GetBaseImpl()->KillTimer(id); }
SizePolicy BaseGUIObject::GetSizePolicy() const { return GetBaseImpl()->GetSizePolicy(); }
void BaseGUIObject::SetSizePolicy(const SizePolicy& policy) { GetBaseImpl()->SetSizePolicy(policy); }
SkinManager* BaseGUIObject::GetSkinManager() { return GetGlobalSkinManager(); }
bool BaseGUIObject::SetSkinMode(SkinMode, bool) { return false; }

int BaseGUIObject::GetFrarmeWidth() { return GetBaseImpl()->GetFrarmeWidth(); }
void BaseGUIObject::SetMinimumSize(const Size& size) { GetBaseImpl()->SetMinimumSize(size); }
void BaseGUIObject::SetMaximumSize(const Size& size) { GetBaseImpl()->SetMaximumSize(size); }
void BaseGUIObject::SetAcceptDrops(bool accept) { GetBaseImpl()->SetAcceptDrops(accept); }
bool BaseGUIObject::IsAcceptDrops() { return GetBaseImpl()->IsAcceptDrops(); }
void BaseGUIObject::SetTrackMouseEvent() { GetBaseImpl()->SetTrackMouseEvent(); }

int BaseGUIObject::GetWidthForText(std::wstring& text, FontData* font)
{
    return GetBaseImpl()->GetWidthForText(text, font);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& text, const std::wstring& iconPath, bool flag,
                                     bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(text, iconPath, flag, keepShown);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& text, const unsigned char* iconData, int iconSize,
                                     bool flag, bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(text, iconData, iconSize, flag, keepShown);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& text, BalloonTipIconType icon, bool flag, bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(text, icon, flag, keepShown);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text,
                                     const std::wstring& iconPath, bool flag, bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(title, text, iconPath, flag, keepShown);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text,
                                     const unsigned char* iconData, int iconSize, bool flag, bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(title, text, iconData, iconSize, flag, keepShown);
}

bool BaseGUIObject::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon,
                                     bool flag, bool keepShown)
{
    return GetBaseImpl()->ShowBalloonTipEx(title, text, icon, flag, keepShown);
}

bool BaseGUIObject::HideBalloonTipEx() { return GetBaseImpl()->HideBalloonTipEx(); }
bool BaseGUIObject::IsBalloonTipDisplayed() { return GetBaseImpl()->IsBalloonTipDisplayed(); }

void* BaseGUIObject::GetPlatformHandle() const { return GetBaseImpl()->GetWndPtr(); }
QWidget* BaseGUIObject::GetPlatformWindow() const { return GetBaseImpl()->GetWndPtr(); }

std::shared_ptr<PromptsPopup> BaseGUIObject::InsertPromptsPopup(const std::wstring& text, int a, int b,
                                                                bool autoHide)
{
    promptsPopup_ = std::make_shared<PromptsPopup>();
    QWidget* widget = GetBaseImpl()->GetWndPtr();
    promptsPopup_->Create(widget, text, a, b, autoHide);
    return promptsPopup_;
}

void BaseGUIObject::ShowPromptsPopup(const std::shared_ptr<PromptsPopup>& popup, bool show)
{
    if (popup)
        popup->Show(show, -1, -1);
}

void BaseGUIObject::InsertContextMenu(const std::shared_ptr<ContextMenu>& menu) { contextMenu_ = menu; }
void BaseGUIObject::RemoveContextMenu() { contextMenu_.reset(); }
std::shared_ptr<ContextMenu> BaseGUIObject::GetContextMenu() { return contextMenu_; }

} // namespace AUILib
