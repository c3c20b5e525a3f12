// StackedDialog: a stack of pages showing one at a time. The form loader
// adds the pages (child dialogs); the control gives access to them.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

namespace AUILib {

class ChildDialog;

class StackedDialog : public BaseGUIObject {
public:
    class impl;

    StackedDialog();
    ~StackedDialog() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Qt ignores an index outside the pages. Nothing once the widget is gone.
    virtual void SetCurrentIndex(int index);
    // 0 once the widget is gone.
    virtual int GetCurrentIndex();
    // The page at index, null for an index outside the pages; throws
    // AgnosticUIException ("Control is not valid.") once the widget is gone.
    virtual QWidget* GetPage(int index);

    // Has no effect: pages come from the form.
    void AddChildDialog(ChildDialog* page);
    // The index the page got; -1 for a null page, 0 once the widget is gone.
    int InsertChildDialog(int index, QWidget* page);
    // Nothing for an index outside the pages; throws as GetPage once the
    // widget is gone.
    void EnablePage(int index, bool enable, bool recursive);

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
