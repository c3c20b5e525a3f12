// GroupBox: the group box.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class GroupBox : public BaseGUIObject {
public:
    class impl;

    GroupBox();
    ~GroupBox() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
