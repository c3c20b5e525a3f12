// ScrollBar: the scroll bar.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ScrollBar : public BaseGUIObject {
public:
    class impl;

    ScrollBar();
    ~ScrollBar() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
