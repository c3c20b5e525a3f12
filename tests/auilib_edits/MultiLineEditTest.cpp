// The multi-line edit: pastes cut back to the limit in one step (a large
// paste included), selection by positions, the text signals, the style
// bits, the adaptive height and the focus signal.
#include "TextEditsTestKit.h"

#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"
#include "BaseImplQt.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QTextDocument>

using namespace AUILib;

namespace {

struct PasteRow {
    const char* name;
    int limit;             // 0: none set
    const char* before;    // text set by code first
    int cursor;            // where the paste goes (UTF-16 position)
    QString pasted;
    QString expected;
    int expectedCursor;    // UTF-16 position after the paste
};

const QString kFace = QString::fromUcs4(U"\U0001F600");

// An edit in a shown, active window, with the focus: ready to type into.
struct ShownEdit {
    ShownEdit()
    {
        edit.Create(window.Get());
        widget = WidgetOf<MultiLineEditQt>(edit);
        active = window.ShowWith(widget);
    }
    EditWindow window;
    MultiLineEdit edit;
    MultiLineEditQt* widget = nullptr;
    bool active = false;
};

std::vector<PasteRow> PasteRows()
{
    return {
        {"eight into five", 5, "", 0, QStringLiteral("abcdefgh"), QStringLiteral("abcde"), 5},
        {"100,000 into five", 5, "", 0, QString(100000, QLatin1Char('x')), QStringLiteral("xxxxx"), 5},
        // The excess goes from just before the cursor: the end of the paste.
        {"into the middle", 5, "12", 1, QStringLiteral("abcd"), QStringLiteral("1abc2"), 4},
        // Three code points fit; positions count UTF-16 units.
        {"outside the BMP", 3, "", 0, QStringLiteral("a") + kFace + QStringLiteral("b") + kFace + QStringLiteral("c"),
         QStringLiteral("a") + kFace + QStringLiteral("b"), 4},
        {"no limit", 0, "", 0, QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"), 8},
        {"exactly the limit", 5, "", 0, QStringLiteral("abcde"), QStringLiteral("abcde"), 5},
    };
}

TEST(MultiLineEdit, PasteIsCutBackToTheLimitWithOnePairOfSignals)
{
    for (const PasteRow& row : PasteRows()) {
        for (const bool byKey : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (byKey ? ", paste key" : ", paste()"));
            EditWindow window;
            MultiLineEdit edit;
            edit.Create(window.Get());
            auto* widget = WidgetOf<MultiLineEditQt>(edit);
            ASSERT_TRUE(window.ShowWith(widget));
            edit.SetLimitText(row.limit);
            edit.SetText(QString::fromLatin1(row.before).toStdWString());
            QTextCursor cursor = widget->textCursor();
            cursor.setPosition(row.cursor);
            widget->setTextCursor(cursor);

            TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
            SetClipboardText(row.pasted);
            if (byKey)
                QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
            else
                widget->paste();

            EXPECT_EQ(widget->toPlainText(), row.expected);
            EXPECT_EQ(edit.GetText(), row.expected.toStdWString());
            EXPECT_EQ(widget->textCursor().position(), row.expectedCursor);
            EXPECT_EQ(order.Take(), "EC");
        }
    }
}

// A text longer than the limit (set by code, or there before the limit) is
// the user's: an edit in it takes away only what the edit itself added.
TEST(MultiLineEdit, AnEditOfAnOverlongTextTrimsOnlyWhatItAdded)
{
    struct Row {
        const char* name;
        bool limitFirst;  // the limit before the text, or after it
        Qt::Key key;
        const wchar_t* expected;
        int expectedCursor;
    };
    const Row rows[] = {
        {"backspace, text by code", true, Qt::Key_Backspace, L"abdefgh", 2},
        {"backspace, text before the limit", false, Qt::Key_Backspace, L"abdefgh", 2},
        {"delete", true, Qt::Key_Delete, L"abcefgh", 3},
        {"typed character refused alone", true, Qt::Key_X, L"abcdefgh", 3},
        {"typed character, text before the limit", false, Qt::Key_X, L"abcdefgh", 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ShownEdit f;
        ASSERT_TRUE(f.active);
        if (row.limitFirst)
            f.edit.SetLimitText(5);
        f.edit.SetText(L"abcdefgh");
        f.edit.SetLimitText(5);
        ASSERT_EQ(f.edit.GetText(), L"abcdefgh");
        QTextCursor cursor = f.widget->textCursor();
        cursor.setPosition(3);  // after "c"
        f.widget->setTextCursor(cursor);
        QTest::keyClick(f.widget, row.key);
        EXPECT_EQ(f.edit.GetText(), row.expected);
        EXPECT_EQ(f.widget->textCursor().position(), row.expectedCursor);
    }
}

TEST(MultiLineEdit, ALimitIsKeptByZeroAndNegativeValues)
{
    EditWindow window;
    MultiLineEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    edit.SetLimitText(5);
    edit.SetLimitText(0);
    edit.SetLimitText(-3);
    QTest::keyClicks(widget, QStringLiteral("abcdefg"));
    EXPECT_EQ(edit.GetText(), L"abcde");
}

TEST(MultiLineEdit, TextByCodeGivesChangedOnlyAndTypingGivesEditedThenChanged)
{
    EditWindow window;
    MultiLineEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);

    edit.SetText(L"first");
    EXPECT_EQ(order.Take(), "C");
    EXPECT_EQ(edit.GetText(), L"first");
    edit.SetText(L"first");  // nothing differs
    EXPECT_EQ(order.Take(), "");
    widget->moveCursor(QTextCursor::End);
    QTest::keyClick(widget, Qt::Key_X);
    EXPECT_EQ(order.Take(), "EC");
    EXPECT_EQ(edit.GetText(), L"firstx");
    edit.SetText(L"a\U0001F600\nb");
    EXPECT_EQ(order.Take(), "C");
    EXPECT_EQ(edit.GetText(), L"a\U0001F600\nb");
    EXPECT_FALSE(std::static_pointer_cast<BaseImplQt>(edit.GetBaseImpl())->IsChangeInProgress());
}

TEST(MultiLineEdit, SelectionByPositionsThenTypingReplacesIt)
{
    struct Row {
        const char* name;
        const wchar_t* text;
        MultiLineEdit::Selection set;
        long long start, end;      // read back
        const wchar_t* afterKey;   // after typing "X"
    };
    const Row rows[] = {
        {"two to the end", L"hello", {2, -1}, 2, 5, L"heX"},
        {"fresh empty edit", L"", {0, -1}, 0, 0, L"X"},
        {"a range", L"hello", {1, 3}, 1, 3, L"hXlo"},
        {"end before start: a cursor", L"hello", {3, 1}, 3, 3, L"helXlo"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ShownEdit shown;
        ASSERT_TRUE(shown.active);
        MultiLineEdit& edit = shown.edit;
        MultiLineEditQt* widget = shown.widget;
        edit.SetText(row.text);
        edit.SetSel(row.set);
        const MultiLineEdit::Selection read = edit.GetSel();
        EXPECT_EQ(read.start, row.start);
        EXPECT_EQ(read.end, row.end);
        QTest::keyClicks(widget, QStringLiteral("X"));
        EXPECT_EQ(edit.GetText(), row.afterKey);
    }
}

TEST(MultiLineEdit, ANegativePositionLeavesTheSelection)
{
    MultiLineEdit edit;
    edit.SetText(L"hello");
    edit.SetSel({1, 4});
    edit.SetSel({-1, 2});
    edit.SetSel({2, -5});
    EXPECT_EQ(edit.GetSel().start, 1);
    EXPECT_EQ(edit.GetSel().end, 4);
    // Beyond int: refused by Qt (the selection collapses), not wrapped to 1.
    edit.SetSel({(1LL << 32) + 1, -1});
    EXPECT_EQ(edit.GetSel().start, edit.GetSel().end);
}

TEST(MultiLineEdit, StyleBitsSwitchOnThenOff)
{
    QWidget parent;
    MultiLineEdit edit;
    edit.Create(&parent);
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    parent.show();
    EXPECT_EQ(widget->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    edit.SetStyle(MultiLineEdit::WrapLines, MultiLineEdit::ReadOnly);
    EXPECT_TRUE(widget->isReadOnly());
    EXPECT_EQ(widget->lineWrapMode(), QPlainTextEdit::NoWrap);

    edit.SetStyle(static_cast<MultiLineEdit::flag>(MultiLineEdit::Framed | MultiLineEdit::Visible), MultiLineEdit::flag(0));
    EXPECT_EQ(widget->frameStyle(), 0);
    EXPECT_FALSE(widget->isVisible());

    // Both at once: on first, then off.
    edit.SetStyle(MultiLineEdit::ReadOnly, static_cast<MultiLineEdit::flag>(MultiLineEdit::ReadOnly | MultiLineEdit::Framed |
                                                                             MultiLineEdit::Visible | MultiLineEdit::WrapLines));
    EXPECT_FALSE(widget->isReadOnly());
    EXPECT_EQ(widget->frameStyle(), static_cast<int>(QFrame::StyledPanel));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST(MultiLineEdit, ScrollBarPolicy)
{
    MultiLineEdit edit;
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const std::pair<int, Qt::ScrollBarPolicy> rows[] = {
        {1, Qt::ScrollBarAlwaysOff}, {2, Qt::ScrollBarAlwaysOn}, {0, Qt::ScrollBarAsNeeded}, {7, Qt::ScrollBarAsNeeded}};
    for (const auto& row : rows) {
        edit.SetScrollBarPolicy(static_cast<MultiLineEdit::ScrollBarPolicy>(row.first));
        EXPECT_EQ(widget->verticalScrollBarPolicy(), row.second) << row.first;
        EXPECT_EQ(widget->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
}

TEST(MultiLineEdit, AdaptiveHeightGrowsByOneLineSpacingPerLine)
{
    EditWindow window;
    MultiLineEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    ASSERT_TRUE(window.ShowWith(widget));
    widget->setFixedHeight(200);
    edit.SetAdaptiveHeight(false);
    EXPECT_EQ(widget->height(), 200);  // off: a fixed height stays

    edit.SetText(L"one");
    edit.SetAdaptiveHeight(true);
    const int oneLine = widget->height();
    EXPECT_LT(oneLine, 200);
    widget->moveCursor(QTextCursor::End);
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClicks(widget, QStringLiteral("two"));
    EXPECT_EQ(widget->height() - oneLine, QFontMetrics(widget->font()).lineSpacing());
    EXPECT_EQ(widget->minimumHeight(), widget->maximumHeight());
}

TEST(MultiLineEdit, FocusLeavingEmitsFocusLostAndArrivingNothing)
{
    EditWindow window;
    MultiLineEdit edit;
    edit.Create(window.Get());
    auto* widget = WidgetOf<MultiLineEditQt>(edit);
    QWidget other(window.Get());
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(10, 150, 50, 20);
    int lost = 0;
    edit.OnFocusLost.Connect([&] { ++lost; });
    ASSERT_TRUE(window.ShowWith(widget));
    EXPECT_EQ(lost, 0);
    other.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(lost, 1);
    widget->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(lost, 1);
}

TEST(MultiLineEdit, TypeAndFactoryName)
{
    MultiLineEdit edit;
    EXPECT_EQ(edit.GetControlType(), ControlTypeMultiLineEdit);
    EXPECT_NE(edit.GetSkinManager(), nullptr);
    EXPECT_EQ(edit.IdealSize().width, WidgetOf<MultiLineEditQt>(edit)->sizeHint().width());
}

} // namespace
