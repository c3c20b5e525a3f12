// TabView: pages with tabs. The form loader adds the pages (child dialogs);
// the control gives access to them and reports every change of the
// current tab.
#pragma once

#include "BaseGUIObject.h"
#include "Signal.h"

#include <memory>
#include <string>

namespace AUILib {

class TabView : public BaseGUIObject {
public:
    class impl;

    TabView();
    ~TabView() override;

    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Qt ignores an index outside the tabs. Nothing once the widget is gone.
    virtual void SetCurrentIndex(int index);
    // The text up to its first NUL character. Nothing once the widget is gone.
    virtual void SetTabText(int index, const std::wstring& text);
    // Empty for an index outside the tabs or a gone widget.
    virtual std::wstring GetTabText(int index);
    // Nothing for an index outside the pages; throws AgnosticUIException
    // ("Control is not valid.") once the widget is gone.
    virtual void EnablePage(int index, bool enable, bool recursive);

    // -1 and 0 once the widget is gone.
    int GetCurrentIndex();
    int GetItemCount();
    // After the last tab comes the first and before the first the last;
    // both go through SetCurrentIndex. Nothing without tabs or widget.
    void ActivateNextTab();
    void ActivatePreviousTab();

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the current tab (-1 when no page is left), whether the
    // user, code or the pages changed it.
    Signal<int> OnCurrentChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
