// Label: the text or picture label.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class Label : public BaseGUIObject {
public:
    class impl;

    Label();
    ~Label() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
