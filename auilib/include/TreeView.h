// TreeView: the tree view.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class TreeView : public BaseGUIObject {
public:
    class impl;

    TreeView();
    ~TreeView() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
