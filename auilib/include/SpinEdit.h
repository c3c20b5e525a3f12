// SpinEdit: the whole-number spin edit.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class SpinEdit : public BaseGUIObject {
public:
    class impl;

    SpinEdit();
    ~SpinEdit() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
