// TabView: the tab view.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class TabView : public BaseGUIObject {
public:
    class impl;

    TabView();
    ~TabView() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
