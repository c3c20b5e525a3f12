// The push button's fixed sheet colours and the eight style sheets built
// from them once per button. Colons inside property values are written
// "\u3A" so the style-sheet editor keeps those values whole; they become
// colons only when a sheet is handed to a widget (DecodeSheetColons).
#pragma once

#include <QColor>
#include <QString>

namespace AUILib {

struct ButtonSheetColours {
    QColor standardText{0, 0, 0};
    QColor standardDisabledText{127, 127, 127};
    QColor focusText;  // the text colour before the palette is read
    QColor standardFocusText{0, 0, 0};
    QColor pressedBackground{191, 191, 191};
    QColor pressedGradientTop{92, 165, 255};
    QColor pressedGradientBottom{0, 117, 234};
    QColor background{229, 229, 229};
    QColor gradientBottom{247, 247, 247};
    QColor standardBackground{255, 255, 255};
    QColor disabledBackground{236, 236, 236};
    QColor standardDisabledBackground{247, 247, 247};
    QColor hoverBackground;
    QColor hoverGradientBottom;
    QColor standardHoverBackground;
    QColor border{175, 175, 175};
    QColor standardBorder{199, 199, 199};
    QColor hoverBorder;
    QColor standardHoverBorder;
    QColor disabledBorder{214, 214, 214};
    QColor standardDisabledBorder{224, 224, 224};
    QColor pressedBorder{43, 144, 255};

    // The copies take their sources' values as they are now.
    explicit ButtonSheetColours(const QColor& textColour);
};

struct ButtonSheets {
    QString transparent;
    QString plus;
    QString rounded;
    QString hoverBorder;
    QString hoverBorderNoFocus;
    QString gradient;
    QString standard;
    QString label;

    ButtonSheets(const ButtonSheetColours& colours, const QColor& text, const QColor& disabledText);
};

// A copy of sheet with every "\u3A" turned into a colon.
QString DecodeSheetColons(const QString& sheet);

} // namespace AUILib
