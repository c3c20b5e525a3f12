// The rich text edit: the selection's character format replaced and read
// back, no change without a selection, rich paste only when switched on,
// the text signals, selection and style bits.
#include "TextEditsTestKit.h"

#include "BaseImplQt.h"
#include "RichEdit.h"
#include "RichEditQt.h"

#include <QTextCharFormat>
#include <QTextCursor>

using namespace AUILib;

namespace {

QTextCharFormat FormatAt(QTextEdit* widget, int position)
{
    QTextCursor cursor(widget->document());
    cursor.setPosition(position);
    return cursor.charFormat();
}

TEST(RichEdit, SelectionFormatIsReplacedAndReadBack)
{
    struct Row {
        const char* name;
        bool bold, italic;   // the selection's format before
        RichEdit::CharFormat_ set;
        int flags;           // read back
        int size;            // read back (0: none)
        int color;           // read back
        const wchar_t* face; // read back
    };
    const Row rows[] = {
        {"bold on italic: bold only", false, true, {-1, -1, RichEdit::CharBold, L""}, RichEdit::CharBold, 0, 0, L""},
        {"zero on bold italic: plain", true, true, {-1, -1, 0, L""}, 0, 0, 0, L""},
        {"colour, size and face", false, false, {14, 0x3366CC, RichEdit::CharItalic, L"Courier"}, RichEdit::CharItalic,
         14, 0x3366CC, L"Courier"},
        {"top byte of the colour ignored", false, false, {-1, 0x7F00FF00, 0, L""}, 0, 0, 0x00FF00, L""},
        {"underline and strike-out", true, false, {-1, -1, RichEdit::CharUnderline | RichEdit::CharStrikeOut, L""},
         RichEdit::CharUnderline | RichEdit::CharStrikeOut, 0, 0, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichEdit edit;
        auto* widget = WidgetOf<RichEditQt>(edit);
        edit.SetText(L"hello world");
        QTextCursor cursor(widget->document());
        cursor.setPosition(0);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        QTextCharFormat before;
        before.setFontWeight(row.bold ? QFont::Bold : QFont::Normal);
        before.setFontItalic(row.italic);
        cursor.setCharFormat(before);

        edit.SetSel({0, 5});
        TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
        edit.SetSelectionCharFormat(row.set);
        EXPECT_EQ(order.Take(), "C");  // code's change, not the user's

        const RichEdit::CharFormat_ read = edit.GetSelectionCharFormat();
        EXPECT_EQ(read.flags, row.flags);
        EXPECT_EQ(read.size, row.size);
        EXPECT_EQ(read.color, row.color);
        EXPECT_EQ(read.faceName, row.face);
        // Only the selection: the text after it keeps no format of its own.
        EXPECT_FALSE(FormatAt(widget, 7).hasProperty(QTextFormat::FontWeight));
        EXPECT_EQ(edit.GetText(), L"hello world");
    }
}

TEST(RichEdit, NoSelectionChangesNothing)
{
    RichEdit edit;
    auto* widget = WidgetOf<RichEditQt>(edit);
    edit.SetText(L"hello world");
    edit.SetSel({3, 3});
    const QString html = widget->toHtml();
    TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
    edit.SetSelectionCharFormat({20, 0xFF0000, RichEdit::CharBold, L"Courier"});
    EXPECT_EQ(widget->toHtml(), html);
    EXPECT_EQ(order.Take(), "");
}

TEST(RichEdit, RichPasteOnlyAfterItIsSwitchedOn)
{
    EditWindow window;
    RichEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<RichEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    EXPECT_FALSE(edit.acceptRichText());
    SetClipboardHtml(QStringLiteral("<b>bold</b>"), QStringLiteral("bold"));

    TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.GetText(), L"bold");
    EXPECT_NE(FormatAt(widget, 2).fontWeight(), QFont::Bold);
    EXPECT_EQ(order.Take(), "EC");

    edit.setAcceptRichText(true);
    EXPECT_TRUE(edit.acceptRichText());
    widget->selectAll();
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.GetText(), L"bold");
    EXPECT_EQ(FormatAt(widget, 2).fontWeight(), QFont::Bold);
}

TEST(RichEdit, TextByCodeGivesChangedEvenForTheSameText)
{
    EditWindow window;
    RichEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<RichEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
    edit.SetText(L"same");
    EXPECT_EQ(order.Take(), "C");
    edit.SetText(L"same");
    EXPECT_EQ(order.Take(), "C");
    widget->moveCursor(QTextCursor::End);
    QTest::keyClicks(widget, QStringLiteral("x"));
    EXPECT_EQ(order.Take(), "EC");
    EXPECT_EQ(edit.GetText(), L"samex");
    EXPECT_FALSE(std::static_pointer_cast<BaseImplQt>(edit.GetBaseImpl())->IsChangeInProgress());
}

TEST(RichEdit, SelectionByPositionsThenTyping)
{
    EditWindow window;
    RichEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<RichEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    edit.SetText(L"hello");
    edit.SetSel({2, -1});
    EXPECT_EQ(edit.GetSel().start, 2);
    EXPECT_EQ(edit.GetSel().end, 5);
    QTest::keyClicks(widget, QStringLiteral("X"));
    EXPECT_EQ(edit.GetText(), L"heX");
    edit.SetSel({-1, 1});
    EXPECT_EQ(edit.GetSel().start, 3);
}

TEST(RichEdit, StyleBitsAndNoWrapAtFirst)
{
    QWidget parent;
    RichEdit edit;
    edit.Create(&parent);
    auto* widget = WidgetOf<RichEditQt>(edit);
    parent.show();
    EXPECT_EQ(widget->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(edit.GetControlType(), ControlTypeRichEdit);

    edit.SetStyle(RichEdit::flag(0), static_cast<RichEdit::flag>(RichEdit::WrapLines | RichEdit::ReadOnly));
    EXPECT_EQ(widget->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_TRUE(widget->isReadOnly());
    edit.SetStyle(static_cast<RichEdit::flag>(RichEdit::Framed | RichEdit::Visible | RichEdit::ReadOnly),
                  RichEdit::flag(0));
    EXPECT_EQ(widget->frameStyle(), 0);
    EXPECT_FALSE(widget->isVisible());
    EXPECT_FALSE(widget->isReadOnly());
    edit.SetStyle(RichEdit::WrapLines, static_cast<RichEdit::flag>(RichEdit::Framed | RichEdit::Visible));
    EXPECT_EQ(widget->frameStyle(), static_cast<int>(QFrame::StyledPanel));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->lineWrapMode(), QTextEdit::NoWrap);
}

} // namespace
