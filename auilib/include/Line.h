// Line: a horizontal or vertical separator line (form class Line). Its
// direction is no operation: form loading sets the frame shape from the
// form's "orientation"; a line made by code shows nothing until a frame
// shape is set on its widget.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class Line : public BaseGUIObject {
public:
    class impl;

    Line();
    ~Line() override;

    // Places the widget under parent; the parent is not recorded in the base.
    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // The colour the line is drawn in, 0xRRGGBB (the top byte is not used).
    // Nothing once the widget is gone.
    void SetLineColor(unsigned int colour);
    // The line's widget, null once it is gone.
    QWidget* GetWndPtr();

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
