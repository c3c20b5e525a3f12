// HyperLinkElement: the hyperlink.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class HyperLinkElementImpl;

class HyperLinkElement : public BaseGUIObject {
public:
    HyperLinkElement();
    ~HyperLinkElement() override;

    // Places the widget under parent; the parent is not recorded in the base.
    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<HyperLinkElementImpl> impl_;
};

} // namespace AUILib
