// Button: the push button. The default constructor makes its own ButtonQt;
// the other wraps an existing push button (the standard buttons of a
// dialog button box).
#pragma once

#include "BaseGUIObject.h"

#include <memory>

class QPushButton;

namespace AUILib {

class Button : public BaseGUIObject {
public:
    class impl;

    Button();
    explicit Button(QPushButton* widget);
    ~Button() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
