// The style of the list box's horizontal header: draws a section's picture
// to the right of its label for the sections given a picture alignment.
#pragma once

#include "ListBox.h"

#include <QProxyStyle>
#include <QSize>

#include <unordered_map>

namespace AUILib {

class HeaderProxyStyle : public QProxyStyle {
    Q_OBJECT

public:
    HeaderProxyStyle() : QProxyStyle(nullptr) {}
    ~HeaderProxyStyle() override = default;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    std::unordered_map<int, ListBox::HeaderStyle> pictureAlign;
    // Sections without an entry draw their picture at 16 by 16.
    std::unordered_map<int, QSize> pictureSize;
};

} // namespace AUILib
