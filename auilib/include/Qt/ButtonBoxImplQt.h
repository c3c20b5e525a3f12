// The implementation of ButtonBox: watches the box widget, deletes it only if
// it goes while the widget was never placed, and keeps the standard buttons
// form loading wrapped, in their order.
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "ButtonBox.h"
#include "ButtonBoxQt.h"


#include <memory>
#include <vector>

namespace AUILib {

class ButtonBox::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    ButtonBoxQt* GetWidget() const { return widget_.data(); }

    // Form loading appends one wrapper per standard button it finds.
    void AppendButton(std::shared_ptr<Button> button) { buttons_.push_back(std::move(button)); }
    const std::vector<std::shared_ptr<Button>>& GetButtons() const { return buttons_; }

private:
    ControlLifetime<ButtonBoxQt> widget_;
    std::vector<std::shared_ptr<Button>> buttons_;
};

} // namespace AUILib
