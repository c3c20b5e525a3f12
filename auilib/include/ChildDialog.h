// ChildDialog: a plain child area of a dialog (form class QWidget).
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ChildDialog : public BaseGUIObject {
public:
    class impl;

    ChildDialog();
    ~ChildDialog() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
