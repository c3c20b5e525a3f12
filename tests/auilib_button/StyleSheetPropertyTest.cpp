// Editing one property of a style sheet: what is changed, what is kept, what
// is dropped, and the fixed output layout.
#include "StyleSheetProperty.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QJsonObject>

namespace {

TEST(StyleSheetProperty, EditTable)
{
    const struct {
        const char* why;
        const char* sheet;
        const char* selector;
        const char* name;
        const char* value;
        const char* result;
    } kCases[] = {
        {"one block", "a{b:c}", "a", "b", "d", "a { b: d; } "},
        {"empty sheet", "", "a", "b", "d", ""},
        {"blank sheet", " \n\t ", "a", "b", "d", ""},
        {"absent property: relaid, nothing added", "a{ b : c ;e:f}", "a", "x", "d", "a { b: c; e: f; } "},
        {"absent selector: nothing added", "a{b:c}", "z", "b", "d", "a { b: c; } "},
        {"two matching blocks", "a{b:c}x{b:c}a{b:e}", "a", "b", "d", "a { b: d; } x { b: c; } a { b: d; } "},
        {"two declarations of the name", "a{b:1;b:2;c:3}", "a", "b", "d", "a { b: d; b: d; c: 3; } "},
        {"selector exact", "QPushButton:hover{color:red}", "QPushButton", "color", "blue",
         "QPushButton:hover { color: red; } "},
        {"selector case-sensitive", "qpushbutton{color:red}", "QPushButton", "color", "blue",
         "qpushbutton { color: red; } "},
        {"name case-sensitive", "a{Color:red}", "a", "color", "blue", "a { Color: red; } "},
        {"white space round the selector", "  a \n{b:c}", "a", "b", "d", "a { b: d; } "},
        {"empty declarations dropped", "a{;;b:c;;}", "a", "b", "d", "a { b: d; } "},
        {"empty blocks between braces dropped", "a{b:c}}}e{f:g}", "e", "f", "h", "a { b: c; } e { f: h; } "},
        {"empty block kept", "a{}b{c:d}", "b", "c", "e", "a { } b { c: e; } "},
        {"trailing text is a block of its own", "a{b:c} tail", "a", "b", "d", "a { b: d; } tail { tail: tail; } "},
        {"item without colon", "a{bare;b:c}", "a", "b", "d", "a { bare: bare; b: d; } "},
        {"colon values survive another edit", "a{background:url(:/img/x.png);b:c}", "a", "b", "d",
         "a { background: url(:/img/x.png); b: d; } "},
        {"gradient with real colons", "a{c:qlineargradient(x1:0, y1:0, stop:0 #fff);b:c}", "a", "b", "d",
         "a { c: qlineargradient(x1:0, y1:0, stop:0 #fff); b: d; } "},
        {"encoded colons are plain text", "a{c:grad(x1\\u3A0);b:c}", "a", "c", "none",
         "a { c: none; b: c; } "},
        {"missing final brace", "a{b:c", "a", "b", "d", "a { b: d; } "},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(AUILib::SetStyleSheetProperty(QString::fromUtf8(c.sheet), QString::fromUtf8(c.selector),
                                                QString::fromUtf8(c.name), QString::fromUtf8(c.value)),
                  QString::fromUtf8(c.result))
            << c.why;
    }
}

TEST(StyleSheetProperty, ModelKeysAndUnchangedArgument)
{
    const QJsonArray model = AUILib::StyleSheetToJson(QStringLiteral("a { b : c ; }"));
    ASSERT_EQ(model.size(), 1);
    const QJsonObject block = model.at(0).toObject();
    EXPECT_EQ(block.keys(), QStringList({QStringLiteral("properties"), QStringLiteral("selector")}));
    EXPECT_EQ(block.value(QStringLiteral("selector")).toString(), QStringLiteral("a"));
    const QJsonObject declaration = block.value(QStringLiteral("properties")).toArray().at(0).toObject();
    EXPECT_EQ(declaration.keys(), QStringList({QStringLiteral("name"), QStringLiteral("value")}));
    EXPECT_EQ(declaration.value(QStringLiteral("name")).toString(), QStringLiteral("b"));
    EXPECT_EQ(declaration.value(QStringLiteral("value")).toString(), QStringLiteral("c"));

    const QJsonArray edited = AUILib::ReplacePropertyValue(QStringLiteral("a"), QStringLiteral("b"),
                                                           QStringLiteral("z"), model);
    EXPECT_EQ(AUILib::JsonToStyleSheet(model), QStringLiteral("a { b: c; } "));
    EXPECT_EQ(AUILib::JsonToStyleSheet(edited), QStringLiteral("a { b: z; } "));
    EXPECT_EQ(AUILib::JsonToStyleSheet(QJsonArray()), QString());
    EXPECT_TRUE(AUILib::DeclarationsToJson(QString()).isEmpty());
    EXPECT_TRUE(AUILib::DeclarationsToJson(QStringLiteral(" ; ; ")).isEmpty());
}

} // namespace
