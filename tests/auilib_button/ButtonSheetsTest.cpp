// The eight prepared sheets against their exact texts, and the text colours
// that construction takes from the palette afterwards.
#include "ButtonTestKit.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

namespace {

const QString kTransparent = QStringLiteral(
    "QPushButton{color: #000000;background-color: transparent; text-align:center; border: 0px;}"
    "QPushButton:focus{ outline:0; border-width: 1px; border-style: dashed; border-color: black; "
    "background-color: transparent;}"
    "QPushButton:disabled{color: #c3c3c3;background-color: transparent;}"
    "QPushButton:hover{background-color:transparent;border:none; border-color:none;}"
    "QPushButton:pressed{background-color:transparent;border:none; border-color:transparent; }");

const QString kPlus = QStringLiteral(
    "QPushButton{color: #000000; background-color: transparent; border: 0px; }"
    "QPushButton:focus{outline: none;}"
    "QPushButton:disabled{color: #c3c3c3;background-color: transparent;border-color: #d6d6d6;}"
    "QPushButton:hover{background-color:transparent;border:none; border-color:transparent;}"
    "QPushButton:pressed{background-color:transparent;border:none; border-color:transparent; }");

const QString kRounded = QStringLiteral(
    "QPushButton{color: #000000;background-color: #e5e5e5;border:1px solid; border-radius: 0px;"
    "border-color: #afafaf;}"
    "QPushButton:focus{outline: none; background-color:#e5e5e5;border-color: #afafaf;}"
    "QPushButton:disabled{color: #c3c3c3;background-color: #ececec;border-color: #d6d6d6;}"
    "QPushButton:hover{background-color:#e5e5e5;border-color:#afafaf;}"
    "QPushButton:pressed{background-color:#e5e5e5; }");

const QString kHoverBorder = QStringLiteral(
    "QPushButton{color: #000000; background-color: transparent; text-align:center; border: 0px;}"
    "QPushButton:focus{outline: none;}"
    "QPushButton:disabled{color: #c3c3c3;background-color: transparent;border-color: #d6d6d6;}"
    "QPushButton:hover{background-color:transparent;border-color:#afafaf;}"
    "QPushButton:pressed{background-color:transparent;border-color:#afafaf; }");

const QString kHoverBorderNoFocus = QStringLiteral(
    "QPushButton{color: #000000; background-color: transparent; text-align:center; border: 0px;}"
    "QPushButton:focus{outline: none; border-width: 0px; border-style: dotted;}"
    "QPushButton:disabled{color: #c3c3c3;background-color: transparent;border-color: #d6d6d6;}"
    "QPushButton:hover{background-color:transparent;border-color:#afafaf;}"
    "QPushButton:pressed{background-color:transparent;border-color:#afafaf; }");

const QString kGradient = QStringLiteral(
    R"(QPushButton{color: #000000;background-color:qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #e5e5e5, stop\u3A1 #f7f7f7);border-width: 1px;border-style: solid;border-color:#afafaf;})"
    R"(QPushButton:hover{background-color:qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #e5e5e5, stop\u3A1 #f7f7f7);border-color:#afafaf;})"
    R"(QPushButton:focus{color: #000000;background-color:#e5e5e5;border-color: #afafaf;})"
    R"(QPushButton:disabled{color: #c3c3c3;background-color: #ececec;border-color: #d6d6d6;})"
    R"(QPushButton:pressed{background-color:#bfbfbf; })");

const QString kStandard = QStringLiteral(
    R"(QPushButton{color: #000000;background-color:#ffffff;border-width: 1px;border-style: solid;)"
    R"(border-color:#c7c7c7;border-radius: 5px;})"
    R"(QPushButton:hover{background-color:#ffffff;border-color:#c7c7c7;})"
    R"(QPushButton:focus{color: #000000;background-color:#ffffff;border-color: #c7c7c7;})"
    R"(QPushButton:disabled{color: #7f7f7f;background-color: #f7f7f7;border-color: #e0e0e0;})"
    R"(QPushButton:pressed{background-color:qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #5ca5ff, stop\u3A1 #0075ea);border-color:#2b90ff;})");

const QString kLabel = QStringLiteral(
    R"(QLabel{background-color: transparent; text-align:center; border: 0px; color:#000000;})"
    R"(QLabel:disabled{color:qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #2b90ff, stop\u3A1 #0075ea);})");

// The application palette for the lifetime of one test.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) { QApplication::setPalette(palette); }
    ~PaletteScope() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

TEST(ButtonSheets, PreparedSheetsKeepFixedColoursWhateverThePalette)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(200, 10, 20));
    palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(200, 10, 20));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(30, 40, 50));
    PaletteScope scope(palette);

    AUILib::Button button;
    const AUILib::ButtonSheets& sheets = ImplOf(button).Sheets();
    const struct {
        const char* name;
        const QString& actual;
        const QString& golden;
    } kSheets[] = {
        {"transparent", sheets.transparent, kTransparent},
        {"plus", sheets.plus, kPlus},
        {"rounded", sheets.rounded, kRounded},
        {"hover border", sheets.hoverBorder, kHoverBorder},
        {"hover border, no focus", sheets.hoverBorderNoFocus, kHoverBorderNoFocus},
        {"gradient", sheets.gradient, kGradient},
        {"standard", sheets.standard, kStandard},
        {"label", sheets.label, kLabel},
    };
    for (const auto& sheet : kSheets)
        EXPECT_EQ(sheet.actual, sheet.golden) << sheet.name;

    // The members follow the palette, the sheets did not.
    EXPECT_EQ(ImplOf(button).GetTextColour(), QColor(200, 10, 20));
    EXPECT_EQ(ImplOf(button).GetDisabledTextColour(), QColor(30, 40, 50));
    EXPECT_EQ(ImplOf(button).SheetColours().focusText, QColor(0, 0, 0));
}

TEST(ButtonSheets, ConstructionState)
{
    AUILib::Button button;
    AUILib::Button::impl& impl = ImplOf(button);
    EXPECT_EQ(button.GetControlType(), AUILib::ControlTypeButton);
    EXPECT_EQ(button.GetStyle(), AUILib::Button::Default);
    EXPECT_TRUE(impl.GetAppliedStyleSheet().isEmpty());
    EXPECT_TRUE(impl.GetWidget()->styleSheet().isEmpty());
    EXPECT_FALSE(impl.HasLabels());
    EXPECT_FALSE(impl.HasMenuFlag());
    EXPECT_EQ(impl.GetCornerRadius(), 0);
    EXPECT_FALSE(button.IsDisableFocusRect());
    EXPECT_TRUE(impl.GetIcon().isNull());
    EXPECT_EQ(impl.GetWidget()->parentWidget(), nullptr);

    // Wrapping an existing push button makes no widget of its own.
    QPushButton existing;
    AUILib::Button wrapper(&existing);
    EXPECT_EQ(WidgetOf(wrapper), &existing);
    EXPECT_EQ(wrapper.GetControlType(), AUILib::ControlTypeButton);
}

} // namespace
