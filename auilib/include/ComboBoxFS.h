// ComboBoxFS: the file-system combo box.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ComboBoxFS : public BaseGUIObject {
public:
    class impl;

    ComboBoxFS();
    ~ComboBoxFS() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
