// Splitter: panes with movable dividers. The form loader adds the panes;
// the control sets their sizes and how the dividers move.
#pragma once

#include "BaseGUIObject.h"

#include <list>
#include <memory>
#include <vector>

namespace AUILib {

class Splitter : public BaseGUIObject {
public:
    class impl;

    Splitter();
    ~Splitter() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // True: the panes follow a divider while it is dragged. False once the
    // widget is gone.
    bool DynamicResizing();
    // Each does nothing once the widget is gone.
    void SetDynamicResizing(bool dynamic);
    // In pane order; sizes beyond the last pane are not used.
    void SetSizes(std::list<int> sizes);
    void SetHandleWidth(int pixels);
    // Has no effect: panes come from the form.
    void AddView(BaseGUIObject* view);
    // Always empty: the splitter keeps no list of views.
    std::vector<BaseGUIObject*> GetViews();

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
