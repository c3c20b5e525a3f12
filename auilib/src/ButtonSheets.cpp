#include "ButtonSheets.h"

namespace AUILib {

ButtonSheetColours::ButtonSheetColours(const QColor& textColour)
    : focusText(textColour),
      hoverBackground(background),
      hoverGradientBottom(gradientBottom),
      standardHoverBackground(standardBackground),
      hoverBorder(border),
      standardHoverBorder(standardBorder)
{
}

namespace {

QString N(const QColor& colour) { return colour.name(); }

} // namespace

ButtonSheets::ButtonSheets(const ButtonSheetColours& c, const QColor& text, const QColor& disabledText)
{
    const QString hoverRules = QStringLiteral("QPushButton:hover{background-color:transparent;");
    const QString pressedRules = QStringLiteral("QPushButton:pressed{background-color:transparent;");

    transparent = QStringLiteral("QPushButton{color: ") + N(text) + QStringLiteral(";") +
                  QStringLiteral("background-color: transparent; text-align:center; border: 0px;}") +
                  QStringLiteral("QPushButton:focus{ outline:0; border-width: 1px; border-style: dashed; "
                                 "border-color: black; background-color: transparent;}") +
                  QStringLiteral("QPushButton:disabled{color: ") + N(disabledText) + QStringLiteral(";") +
                  QStringLiteral("background-color: transparent;}") + hoverRules +
                  QStringLiteral("border:none; border-color:none;}") + pressedRules +
                  QStringLiteral("border:none; border-color:transparent; }");

    plus = QStringLiteral("QPushButton{color: ") + N(text) +
           QStringLiteral("; background-color: transparent; border: 0px; }") +
           QStringLiteral("QPushButton:focus{outline: none;}") + QStringLiteral("QPushButton:disabled{color: ") +
           N(disabledText) + QStringLiteral(";") + QStringLiteral("background-color: transparent;border-color: ") +
           N(c.disabledBorder) + QStringLiteral(";}") + hoverRules +
           QStringLiteral("border:none; border-color:transparent;}") + pressedRules +
           QStringLiteral("border:none; border-color:transparent; }");

    rounded = QStringLiteral("QPushButton{color: ") + N(text) + QStringLiteral(";") +
              QStringLiteral("background-color: ") + N(c.background) + QStringLiteral(";") +
              QStringLiteral("border:1px solid; border-radius: 0px;") + QStringLiteral("border-color: ") +
              N(c.border) + QStringLiteral(";}QPushButton:focus{outline: none; background-color:") +
              N(c.hoverBackground) + QStringLiteral(";") + QStringLiteral("border-color: ") + N(c.hoverBorder) +
              QStringLiteral(";}") + QStringLiteral("QPushButton:disabled{color: ") + N(disabledText) +
              QStringLiteral(";") + QStringLiteral("background-color: ") + N(c.disabledBackground) +
              QStringLiteral(";border-color: ") + N(c.disabledBorder) + QStringLiteral(";}") +
              QStringLiteral("QPushButton:hover{background-color:") + N(c.hoverBackground) + QStringLiteral(";") +
              QStringLiteral("border-color:") + N(c.hoverBorder) + QStringLiteral(";}") +
              QStringLiteral("QPushButton:pressed{background-color:") + N(c.background) + QStringLiteral("; }");

    auto hoverBorderSheet = [&](const QString& focusRule) {
        return QStringLiteral("QPushButton{color: ") + N(text) +
               QStringLiteral("; background-color: transparent; text-align:center; border: 0px;}") + focusRule +
               QStringLiteral("QPushButton:disabled{color: ") + N(disabledText) + QStringLiteral(";") +
               QStringLiteral("background-color: transparent;border-color: ") + N(c.disabledBorder) +
               QStringLiteral(";}") + hoverRules + QStringLiteral("border-color:") + N(c.hoverBorder) +
               QStringLiteral(";}") + pressedRules + QStringLiteral("border-color:") + N(c.hoverBorder) +
               QStringLiteral("; }");
    };
    hoverBorder = hoverBorderSheet(QStringLiteral("QPushButton:focus{outline: none;}"));
    hoverBorderNoFocus =
        hoverBorderSheet(QStringLiteral("QPushButton:focus{outline: none; border-width: 0px; border-style: dotted;}"));

    const QString vertical = QStringLiteral("qlineargradient(x1\\u3A0, y1\\u3A0, x2\\u3A0, y2\\u3A1, ");
    gradient = QStringLiteral("QPushButton{color: ") + N(text) + QStringLiteral(";") +
               QStringLiteral("background-color:") + vertical + QStringLiteral("stop\\u3A0 ") + N(c.background) +
               QStringLiteral(", stop\\u3A1 ") + N(c.gradientBottom) + QStringLiteral(");") +
               QStringLiteral("border-width: 1px;") + QStringLiteral("border-style: solid;") +
               QStringLiteral("border-color:") + N(c.border) + QStringLiteral(";}") +
               QStringLiteral("QPushButton:hover{background-color:") + vertical + QStringLiteral("stop\\u3A0 ") +
               N(c.hoverBackground) + QStringLiteral(", stop\\u3A1 ") + N(c.hoverGradientBottom) +
               QStringLiteral(");") + QStringLiteral("border-color:") + N(c.hoverBorder) + QStringLiteral(";}") +
               QStringLiteral("QPushButton:focus{color: ") + N(c.focusText) + QStringLiteral(";") +
               QStringLiteral("background-color:") + N(c.hoverBackground) + QStringLiteral(";") +
               QStringLiteral("border-color: ") + N(c.hoverBorder) +
               QStringLiteral(";}QPushButton:disabled{color: ") + N(disabledText) + QStringLiteral(";") +
               QStringLiteral("background-color: ") + N(c.disabledBackground) + QStringLiteral(";border-color: ") +
               N(c.disabledBorder) + QStringLiteral(";}") + QStringLiteral("QPushButton:pressed{background-color:") +
               N(c.pressedBackground) + QStringLiteral("; }");

    standard = QStringLiteral("QPushButton{color: ") + N(c.standardText) + QStringLiteral(";") +
               QStringLiteral("background-color:") + N(c.standardBackground) + QStringLiteral(";") +
               QStringLiteral("border-width: 1px;") + QStringLiteral("border-style: solid;") +
               QStringLiteral("border-color:") + N(c.standardBorder) + QStringLiteral(";") +
               QStringLiteral("border-radius: 5px;}") + QStringLiteral("QPushButton:hover{background-color:") +
               N(c.standardHoverBackground) + QStringLiteral(";") + QStringLiteral("border-color:") +
               N(c.standardHoverBorder) + QStringLiteral(";}") + QStringLiteral("QPushButton:focus{color: ") +
               N(c.standardFocusText) + QStringLiteral(";") + QStringLiteral("background-color:") +
               N(c.standardHoverBackground) + QStringLiteral(";") + QStringLiteral("border-color: ") +
               N(c.standardHoverBorder) + QStringLiteral(";}QPushButton:disabled{color: ") +
               N(c.standardDisabledText) + QStringLiteral(";") + QStringLiteral("background-color: ") +
               N(c.standardDisabledBackground) + QStringLiteral(";border-color: ") + N(c.standardDisabledBorder) +
               QStringLiteral(";}") + QStringLiteral("QPushButton:pressed{background-color:") + vertical +
               QStringLiteral("stop\\u3A0 ") + N(c.pressedGradientTop) + QStringLiteral(", stop\\u3A1 ") +
               N(c.pressedGradientBottom) + QStringLiteral(");border-color:") + N(c.pressedBorder) +
               QStringLiteral(";}");

    label = QStringLiteral("QLabel{background-color: transparent; text-align:center; border: 0px; color:") +
            N(text) + QStringLiteral(";}") + QStringLiteral("QLabel:disabled{color:") + vertical +
            QStringLiteral("stop\\u3A0 ") + N(c.pressedBorder) + QStringLiteral(", stop\\u3A1 ") +
            N(c.pressedGradientBottom) + QStringLiteral(");}");
}

QString DecodeSheetColons(const QString& sheet)
{
    QString decoded = sheet;
    decoded.replace(QStringLiteral("\\u3A"), QStringLiteral(":"));
    return decoded;
}

} // namespace AUILib
