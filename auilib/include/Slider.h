// Slider: the slider.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class Slider : public BaseGUIObject {
public:
    class impl;

    Slider();
    ~Slider() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
