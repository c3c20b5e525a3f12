// ScrollArea: a scrolled viewport; the form puts the scrolled content in it.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ScrollArea : public BaseGUIObject {
public:
    class impl;

    ScrollArea();
    ~ScrollArea() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
