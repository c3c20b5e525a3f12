// MultiLineEdit: the plain multi-line edit.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class MultiLineEdit : public BaseGUIObject {
public:
    class impl;

    MultiLineEdit();
    ~MultiLineEdit() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
