// StackedDialog: a stack of pages showing one at a time.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class StackedDialog : public BaseGUIObject {
public:
    class impl;

    StackedDialog();
    ~StackedDialog() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
