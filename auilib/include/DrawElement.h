// DrawElement: the application-drawn surface.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class DrawElement : public BaseGUIObject {
public:
    class impl;

    DrawElement();
    ~DrawElement() override;

    // Places the widget under parent; the parent is not recorded in the base.
    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
