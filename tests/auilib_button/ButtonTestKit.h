// What the push-button tests share: the implementation behind a button and
// a button of a given size, optionally placed under a parent.
#pragma once

#include "Button.h"
#include "ButtonImplQt.h"

#include <QPushButton>
#include <QWidget>

#include <memory>

inline AUILib::Button::impl& ImplOf(const AUILib::Button& button)
{
    return *std::static_pointer_cast<AUILib::Button::impl>(button.GetBaseImpl());
}

inline QPushButton* WidgetOf(const AUILib::Button& button) { return ImplOf(button).GetWidget(); }

inline std::shared_ptr<AUILib::Button> MakeButton(int width, int height, QWidget* parent = nullptr)
{
    auto button = std::make_shared<AUILib::Button>();
    if (parent)
        button->Create(parent);
    WidgetOf(*button)->resize(width, height);
    return button;
}
