// ChildDialog: a plain panel of a form (form class QWidget), and so also the
// page of a tab view or stacked dialog.
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

    // Shows or hides the panel and repaints it; throws AgnosticUIException
    // ("Control is not valid.") once the widget is gone.
    virtual void SetVisible(bool visible);

    // Fills the panel with colour, 0xRRGGBB (the top byte is not used, the
    // colour is opaque), and keeps the value as given. Nothing once the
    // widget is gone.
    void SetBackgroundColor(int colour);
    // The value last given to SetBackgroundColor, -1 before.
    int BackgroundColor() const;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
