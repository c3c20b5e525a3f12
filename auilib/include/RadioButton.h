// RadioButton: the radio button.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class RadioButton : public BaseGUIObject {
public:
    class impl;

    RadioButton();
    ~RadioButton() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
