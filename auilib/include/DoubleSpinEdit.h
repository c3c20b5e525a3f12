// DoubleSpinEdit: the decimal spin edit.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class DoubleSpinEdit : public BaseGUIObject {
public:
    class impl;

    DoubleSpinEdit();
    ~DoubleSpinEdit() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
