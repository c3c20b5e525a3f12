// ProgressBar: the progress bar.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ProgressBar : public BaseGUIObject {
public:
    class impl;

    ProgressBar();
    ~ProgressBar() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
