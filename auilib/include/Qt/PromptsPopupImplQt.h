// The private part of PromptsPopup: the content of the next Show and the
// popup window, watched only (its Qt parent owns it).
#pragma once

#include "PromptsPopup.h"
#include "PromptsPopupQt.h"

#include <QImage>
#include <QPointer>
#include <QStyle>

namespace AUILib {

class PromptsPopup::impl {
public:
    impl();
    virtual ~impl();

    // The popup window, or null once it is gone (its parent or a watched
    // widget was destroyed).
    virtual PromptsPopupQt* GetLabel() const { return label_.data(); }

    enum IconKind { NoIcon = 0, StandardIcon = 1, ImageIcon = 2 };

    QWidget* parent = nullptr;
    std::wstring text;
    std::wstring title;
    QStyle::StandardPixmap standardPixmap = QStyle::SP_CustomBase;
    int iconKind = NoIcon;
    QImage icon;

private:
    QPointer<PromptsPopupQt> label_;
};

} // namespace AUILib
