// HyperLinkElement: a clickable text link. It is drawn as an anchor in the
// link colour (the hover colour under the mouse, the visited colour after
// a click once the mouse left) and on activation either tells the
// application through OnClick (the default) or opens its URL with the
// desktop's handler (SetbDefaultClickProcess(false)); its mnemonic does the
// same. The markup is rebuilt on show, enter, leave and the repaint after a
// change of colours, visited state or click handling; SetText, SetURL and
// SetUnderline wait for one of those.
#pragma once

#include "AUILibTypes.h"
#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class HyperLinkElementImpl;

class HyperLinkElement : public BaseGUIObject {
public:
    HyperLinkElement();
    ~HyperLinkElement() override;

    // Places the widget under parent; the parent is not recorded in the base.
    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    void SetURL(const std::wstring& url);
    std::wstring GetURL() const;
    // '&' marks a mnemonic.
    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    // true: activation emits OnClick; false: the desktop opens the URL.
    void SetbDefaultClickProcess(bool on);
    // 0xAARRGGBB each.
    void SetColors(RGBColor link, RGBColor visited, RGBColor hover);
    RGBColor GetLinkColor() const;
    RGBColor GetVisitedColor() const;
    RGBColor GetHoverColor() const;
    void SetVisited(bool visited);
    bool GetVisited() const;
    void SetUnderline(bool underline) const;
    bool GetUnderline() const;

    Signal<> OnClick;

private:
    std::shared_ptr<HyperLinkElementImpl> impl_;
};

} // namespace AUILib
