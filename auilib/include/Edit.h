// Edit: the single-line edit.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class Edit : public BaseGUIObject {
public:
    class impl;

    Edit();
    ~Edit() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
