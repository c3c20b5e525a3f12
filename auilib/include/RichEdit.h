// RichEdit: the rich text edit.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class RichEdit : public BaseGUIObject {
public:
    class impl;

    RichEdit();
    ~RichEdit() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
