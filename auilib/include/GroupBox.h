// GroupBox: a titled frame around other controls of a form.
#pragma once

#include "BaseGUIObject.h"

#include <memory>
#include <string>

namespace AUILib {

class GroupBox : public BaseGUIObject {
public:
    class impl;

    GroupBox();
    ~GroupBox() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // The title; nothing (an empty text) once the widget is gone.
    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    // Kept for callers written against other platforms: has no effect.
    void SetColors(unsigned long, unsigned long);

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
