// Exact sheets the push-button tests expect, shared by the tests on single
// buttons and those on the buttons of a loaded form.
#pragma once

#include "Button.h"
#include "ButtonSheets.h"
#include "StyleSheetProperty.h"

#include <QString>

#include <functional>
#include <vector>

// The prepared gradient and standard sheets as the editor writes them back.
inline const QString kGradientRelaid = QStringLiteral(
    R"(QPushButton { color: #000000; background-color: qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #e5e5e5, stop\u3A1 #f7f7f7); border-width: 1px; border-style: solid; border-color: #afafaf; } )"
    R"(QPushButton:hover { background-color: qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #e5e5e5, stop\u3A1 #f7f7f7); border-color: #afafaf; } )"
    R"(QPushButton:focus { color: #000000; background-color: #e5e5e5; border-color: #afafaf; } )"
    R"(QPushButton:disabled { color: #c3c3c3; background-color: #ececec; border-color: #d6d6d6; } )"
    R"(QPushButton:pressed { background-color: #bfbfbf; } )");

inline const QString kStandardPressed = QStringLiteral(
    R"(QPushButton:pressed { background-color: qlineargradient(x1\u3A0, y1\u3A0, x2\u3A0, y2\u3A1, )"
    R"(stop\u3A0 #5ca5ff, stop\u3A1 #0075ea); border-color: #2b90ff; } )");

// A style, then SetText("Add") on a button 100 x 30 (labels: 100 x 60).
struct StyleCase {
    int style;
    const char* widgetText;
    const char* getText;
    bool labels;
    std::function<QString(const AUILib::ButtonSheets&)> sheet;
};

inline const std::vector<StyleCase>& StyleCases()
{
    static const std::vector<StyleCase> kCases = {
        {0, "Add", "Add", false, [](const AUILib::ButtonSheets&) { return QString(); }},
        {1, "Add", "Add", false, [](const AUILib::ButtonSheets& s) { return s.transparent; }},
        {2, "", "Add", true, [](const AUILib::ButtonSheets& s) { return s.transparent; }},
        {3, "", "", false, [](const AUILib::ButtonSheets& s) { return s.transparent; }},
        {4, "Add", "Add", false,
         [](const AUILib::ButtonSheets& s) {
             return AUILib::SetStyleSheetProperty(s.rounded, "QPushButton", "border-radius", "15px");
         }},
        {5, "+ Add", "Add", false, [](const AUILib::ButtonSheets& s) { return s.plus; }},
        {6, "Add", "Add", false, [](const AUILib::ButtonSheets& s) { return s.hoverBorder; }},
        {7, "Add", "Add", false, [](const AUILib::ButtonSheets& s) { return s.hoverBorderNoFocus; }},
        {8, "Add", "Add", false,
         [](const AUILib::ButtonSheets& s) {
             return AUILib::SetStyleSheetProperty(s.rounded, "QPushButton", "border-radius", "15px");
         }},
        {9, "", "Add", true,
         [](const AUILib::ButtonSheets& s) {
             return AUILib::SetStyleSheetProperty(s.rounded, "QPushButton", "border-radius", "15px");
         }},
        {10, "Add", "Add", false, [](const AUILib::ButtonSheets&) { return QString(); }},
    };
    return kCases;
}

// A button of the given height and parent, with an operation run on it.
struct SetterCase {
    const char* why;
    int height;
    std::function<void(AUILib::Button&)> run;
    QString sheet;
};

inline const std::vector<SetterCase>& SetterCases()
{
    static const std::vector<SetterCase> kCases = {
        {"five backgrounds, focus and pressed unset", 40,
         [](AUILib::Button& b) { b.SetBackgroundColor(0xFF112233, 0xFF445566, 0xFF778899, 0xFFFFFFFF, 0xFFFFFFFF); },
         QStringLiteral("QPushButton { color: #000000; background-color: #ff112233; border-width: 1px; "
                        "border-style: solid; border-color: #afafaf; } "
                        "QPushButton:hover { background-color: #ff445566; border-color: #afafaf; } "
                        "QPushButton:focus { color: #000000; background-color: #ff445566; border-color: #afafaf; } "
                        "QPushButton:disabled { color: #c3c3c3; background-color: #ff778899; "
                        "border-color: #d6d6d6; } "
                        "QPushButton:pressed { background-color: #ff112233; } ")},
        {"white given as a colour stays opaque white", 40,
         [](AUILib::Button& b) { b.SetBackgroundColor(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x01020304, 0x05060708); },
         QStringLiteral("QPushButton { color: #000000; background-color: #ffffffff; border-width: 1px; "
                        "border-style: solid; border-color: #afafaf; } "
                        "QPushButton:hover { background-color: #ffffffff; border-color: #afafaf; } "
                        "QPushButton:focus { color: #000000; background-color: #01020304; border-color: #afafaf; } "
                        "QPushButton:disabled { color: #c3c3c3; background-color: #ffffffff; "
                        "border-color: #d6d6d6; } "
                        "QPushButton:pressed { background-color: #05060708; } ")},
        {"one colour on all: alpha forced", 40, [](AUILib::Button& b) { b.SetBackgroundColor(0x00123456u, true); },
         QStringLiteral("QPushButton { color: #000000; background-color: #ff123456; border-width: 1px; "
                        "border-style: solid; border-color: #ff123456; } "
                        "QPushButton:hover { background-color: #ff123456; border-color: #ff123456; } "
                        "QPushButton:focus { color: #000000; background-color: #ff123456; "
                        "border-color: #ff123456; } "
                        "QPushButton:disabled { color: #c3c3c3; background-color: #ff123456; "
                        "border-color: #ff123456; } "
                        "QPushButton:pressed { background-color: #ff123456; } ")},
        {"integer text colour: RGB form", 40, [](AUILib::Button& b) { b.SetTextColor(0x7F654321); },
         QString(kGradientRelaid).replace(QStringLiteral("QPushButton { color: #000000;"),
                                          QStringLiteral("QPushButton { color: #654321;"))},
        {"one colour, not all: RGB form, alpha dropped", 30,
         [](AUILib::Button& b) { b.SetBackgroundColor(0x00123456u, false); },
         QStringLiteral("QPushButton { color: #000000; background-color: #123456; border-width: 1px; "
                        "border-style: solid; border-color: #c7c7c7; border-radius: 5px; } "
                        "QPushButton:hover { background-color: #123456; border-color: #c7c7c7; } "
                        "QPushButton:focus { color: #000000; background-color: #ffffff; border-color: #c7c7c7; } "
                        "QPushButton:disabled { color: #7f7f7f; background-color: #f7f7f7; "
                        "border-color: #e0e0e0; } ") +
             kStandardPressed},
        {"border colours: focus takes hover", 30,
         [](AUILib::Button& b) { b.SetBorderColor(0x80102030, 0xFF405060, 0x00708090); },
         QStringLiteral("QPushButton { color: #000000; background-color: #ffffff; border-width: 1px; "
                        "border-style: solid; border-color: #80102030; border-radius: 5px; } "
                        "QPushButton:hover { background-color: #ffffff; border-color: #ff405060; } "
                        "QPushButton:focus { color: #000000; background-color: #ffffff; border-color: #ff405060; } "
                        "QPushButton:disabled { color: #7f7f7f; background-color: #f7f7f7; "
                        "border-color: #00708090; } ") +
             kStandardPressed},
        {"two text colours: ARGB form", 30, [](AUILib::Button& b) { b.SetTextColor(0x80AABBCC, 0xFF010203); },
         QStringLiteral("QPushButton { color: #80aabbcc; background-color: #ffffff; border-width: 1px; "
                        "border-style: solid; border-color: #c7c7c7; border-radius: 5px; } "
                        "QPushButton:hover { background-color: #ffffff; border-color: #c7c7c7; } "
                        "QPushButton:focus { color: #000000; background-color: #ffffff; border-color: #c7c7c7; } "
                        "QPushButton:disabled { color: #ff010203; background-color: #f7f7f7; "
                        "border-color: #e0e0e0; } ") +
             kStandardPressed},
    };
    return kCases;
}
