// Tooltip wrapping, item tooltips and word-wrapped rows.
#include "TreeTestKit.h"

#include "WrapTooltipText.h"

#include <QFontMetrics>
#include <QToolTip>

using AUILib::Point;
using AUILib::WrapTooltipText;

namespace {

class TooltipFont : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = QToolTip::font();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        QToolTip::setFont(font);
    }
    void TearDown() override { QToolTip::setFont(saved_); }
    static int Width(const QString& text) { return QFontMetrics(QToolTip::font()).horizontalAdvance(text); }
    QFont saved_;
};

const QString kOpen = QStringLiteral("<div style = 'white-space:pre'>");
const QString kClose = QStringLiteral("</div>");

TEST_F(TooltipFont, WrapTable)
{
    const QString longWord = QString(60, QLatin1Char('w'));
    struct Case {
        std::wstring text;
        int width;
        std::function<void(const QString&)> check;
    };
    const Case cases[] = {
        {L"fits", 200, [](const QString& out) { EXPECT_EQ(out, kOpen + "fits" + kClose); }},
        {L"one\ntwo", 200, [](const QString& out) { EXPECT_EQ(out, kOpen + "one\ntwo" + kClose); }},
        {L"a few words that go on well past the width\nand a second line", 120,
         [](const QString& out) {
             const QString body = out.mid(kOpen.size(), out.size() - kOpen.size() - kClose.size());
             const QStringList lines = body.split(QStringLiteral("<br>"));
             EXPECT_GT(lines.size(), 2);
             EXPECT_FALSE(body.contains(QLatin1Char('\n')));
             for (const QString& line : lines)
                 EXPECT_LE(Width(line.trimmed()), 122) << line.toStdString();
             EXPECT_EQ(lines.join(QString()), QStringLiteral("a few words that go on well past the widthand a second line"));
         }},
        {longWord.toStdWString(), 100,
         [&](const QString& out) {
             const QString body = out.mid(kOpen.size(), out.size() - kOpen.size() - kClose.size());
             const QStringList lines = body.split(QStringLiteral("<br>"));
             EXPECT_GT(lines.size(), 1);
             for (const QString& line : lines)
                 EXPECT_LE(Width(line), 102);
             EXPECT_GT(Width(lines.first() + "w"), 102);   // cut at the limit, not before
             EXPECT_EQ(lines.join(QString()), longWord);
         }},
        {longWord.toStdWString(), 0, [&](const QString& out) { EXPECT_EQ(out, kOpen + longWord + kClose); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        c.check(WrapTooltipText(c.text, c.width));
    }
}

class TreeTooltipTest : public treekit::TreeFixture {};

TEST_F(TreeTooltipTest, ItemTooltipsAndTheirWidth)
{
    const std::wstring text = L"a tooltip with enough words in it to be broken at a small width";
    tree_->SetItemTooltip(I("A2"), text);
    EXPECT_EQ(tree_->GetItemToolTip(I("A2")), WrapTooltipText(text, 32767).toStdWString());
    for (int ignored : {50, 32767})
        tree_->SetItemToolTipMaxWidth(ignored);
    EXPECT_EQ(Impl()->tooltipWidth, 32767);
    tree_->SetItemToolTipMaxWidth(51);
    EXPECT_EQ(Impl()->tooltipWidth, 51);
    // Rewrapped from the text as given, not from the HTML of the old width.
    EXPECT_EQ(tree_->GetItemToolTip(I("A2")), WrapTooltipText(text, 51).toStdWString());
    tree_->SetItemToolTipMaxWidth(32766);
    EXPECT_EQ(tree_->GetItemToolTip(I("A2")), WrapTooltipText(text, 32766).toStdWString());
    tree_->SetItemTooltip(I("A2"), L"");
    EXPECT_EQ(tree_->GetItemToolTip(I("A2")), L"");
}

TEST_F(TreeTooltipTest, TooltipHookShowsTheItemsTooltip)
{
    ExpandAll();
    tree_->SetItemTooltip(I("A2"), L"tip");
    const QPoint onItem = View()->viewport()->mapToGlobal(TextPoint(I("A2")));
    const QPoint elsewhere = View()->viewport()->mapToGlobal(TextPoint(I("B")));
    EXPECT_TRUE(Impl()->ShowToolTipAt(Point{onItem.x(), onItem.y()}));
    EXPECT_FALSE(Impl()->ShowToolTipAt(Point{elsewhere.x(), elsewhere.y()}));
    QToolTip::hideText();
}

TEST_F(TreeTooltipTest, WordWrapSetsAndClearsRowHeights)
{
    QStandardItem* item = tree_->InsertItem(
        L"a long item text that needs several lines once the column is as narrow as this view", nullptr,
        AUILib::TreeItemLast);
    tree_->EnableWordWrapText(true);
    EXPECT_TRUE(tree_->IsEnabledWordWrapText());
    const QSize hint = item->data(Qt::SizeHintRole).toSize();
    EXPECT_GT(hint.height(), QFontMetrics(View()->font()).height() * 2);
    // The row shows all its lines.
    EXPECT_EQ(View()->visualRect(item->index()).height(), hint.height());
    tree_->EnableWordWrapText(false);
    EXPECT_FALSE(item->data(Qt::SizeHintRole).isValid());
}

TEST_F(TreeTooltipTest, CheckModeOneWrapsNarrower)
{
    tree_->EnableWordWrapText(true);
    const int plain = Impl()->ComputeWordWrapRect(I("A2")).width();
    tree_->SetCheckMode(1);
    const int withBoxes = Impl()->ComputeWordWrapRect(I("A2")).width();
    EXPECT_EQ(plain - withBoxes, 20);
    tree_->SetCheckMode(2);
    EXPECT_EQ(Impl()->ComputeWordWrapRect(I("A2")).width(), plain);
}

} // namespace
