// The implementation of HyperLinkElement: watches its widget (deletes it
// only if it goes while the widget was never placed), keeps the link's text,
// URL, colours and flags, and reports link activation through the control's
// OnClick while the control exists.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "HyperLinkElement.h"
#include "HyperLinkElementQt.h"

#include <string>

namespace AUILib {

class HyperLinkElementImpl : public BaseImplQt {
public:
    // The colour of all three states until SetColors: rgb(33, 137, 247).
    static constexpr RGBColor kDefaultColour = 0xFF2189F7u;

    explicit HyperLinkElementImpl(HyperLinkElement& owner);
    ~HyperLinkElementImpl() override;

    QWidget* GetWndPtr() override;
    HyperLinkElementQt* GetWidget() const { return widget_.data(); }

    const std::wstring& GetText() const { return text_; }
    void SetText(const std::wstring& text);
    const std::wstring& GetURL() const { return url_; }
    void SetURL(const std::wstring& url) { url_ = url; }
    RGBColor GetLinkColor() const { return linkColour_; }
    RGBColor GetVisitedColor() const { return visitedColour_; }
    RGBColor GetHoverColor() const { return hoverColour_; }
    void SetColors(RGBColor link, RGBColor visited, RGBColor hover);
    bool GetVisited() const { return visited_; }
    void SetVisited(bool visited);
    bool GetUnderline() const { return underline_; }
    void SetUnderline(bool underline) { underline_ = underline; }
    void SetDefaultClickProcess(bool on);

    // Marks the markup dirty and repaints at once.
    void DirtyAndRepaint();

    // Called by the control as it goes.
    void ForgetOwner() { widget_.ForgetOwner(); }

private:
    std::wstring text_;
    std::wstring url_;
    RGBColor linkColour_ = kDefaultColour;
    RGBColor visitedColour_ = kDefaultColour;
    RGBColor hoverColour_ = kDefaultColour;
    bool visited_ = false;
    bool underline_ = true;
    ControlLifetime<HyperLinkElementQt, HyperLinkElement> widget_;
};

} // namespace AUILib
