// ButtonBox: a dialog's row of standard buttons. Form loading wraps each
// standard push button of the box in a Button and hands it to the
// implementation; GetButton finds it again.
#pragma once

#include "BaseGUIObject.h"

#include <cstdint>
#include <memory>

namespace AUILib {

class Button;

// Qt's QDialogButtonBox::StandardButton values, passed to Qt unchanged.
enum StandardButton : int32_t {
    NoButton = 0x00000000,
    Ok = 0x00000400,
    Save = 0x00000800,
    SaveAll = 0x00001000,
    Open = 0x00002000,
    Yes = 0x00004000,
    YesToAll = 0x00008000,
    No = 0x00010000,
    NoToAll = 0x00020000,
    Abort = 0x00040000,
    Retry = 0x00080000,
    Ignore = 0x00100000,
    Close = 0x00200000,
    Cancel = 0x00400000,
    Discard = 0x00800000,
    Help = 0x01000000,
    Apply = 0x02000000,
    Reset = 0x04000000,
    RestoreDefaults = 0x08000000,
};

class ButtonBox : public BaseGUIObject {
public:
    class impl;

    ButtonBox();
    ~ButtonBox() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Stacks the buttons (vertical) or puts them in a row; nothing once the
    // box is gone.
    void SetOrientation(bool vertical);
    // The wrapped button whose widget is the box's button for which; empty
    // when the box shows no such button, it has no wrapper or the box is
    // gone.
    std::shared_ptr<Button> GetButton(StandardButton which);

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
