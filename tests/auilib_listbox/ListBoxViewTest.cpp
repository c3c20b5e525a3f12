// What the user's pointer does beyond clicks: dragging a column border and
// tooltips of clipped texts and header sections.
#include "ListBoxTestKit.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QToolTip>

namespace {

using AUILib::ListBox;

TEST_F(ListBoxTest, DraggingAColumnBorderStoresTheWidthAndProgramResizesDoNot)
{
    list->SetColumnsCount(2);
    list->SetColumnName(0, L"First");
    QApplication::processEvents();
    QHeaderView* header = table()->horizontalHeader();
    table()->setColumnWidth(0, 100);
    EXPECT_EQ(list->GetColumnsWidth()[0], -1);

    const int border = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(border, y));
    // Offscreen, QTest moves only the cursor: the move is sent by hand.
    QMouseEvent move(QEvent::MouseMove, QPointF(border + 40, y), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(border + 40, y));
    EXPECT_GT(header->sectionSize(0), 100);
    EXPECT_EQ(list->GetColumnsWidth()[0], header->sectionSize(0));
}

TEST_F(ListBoxTest, AutoTooltipShowsOnlyClippedTextsAndHeaderTips)
{
    list->SetColumnsCount(2);
    list->SetColumnWidth(0, 60);
    std::list<std::wstring> clipped{L"a text far too long for a column sixty pixels wide", L"b"};
    std::list<std::wstring> fits{L"ok", L"b"};
    list->AddItemEx(clipped);
    list->AddItemEx(fits);
    QApplication::processEvents();
    auto tipAt = [&](QPoint viewportPoint) {
        QToolTip::hideText();
        // The slot takes screen coordinates; client coordinates exclude the
        // header, which is what the viewport's are.
        const AUILib::Point client{viewportPoint.x(), viewportPoint.y()};
        const AUILib::Point screen = list->GetImpl()->ClientToScreen(client);
        return list->GetImpl()->ShowToolTipAt(screen);
    };
    EXPECT_FALSE(tipAt(CellCentre(0, 0)));  // off unless asked for
    list->EnableItemsAutoTooltip(true);
    EXPECT_TRUE(tipAt(CellCentre(0, 0)));
    EXPECT_EQ(QToolTip::text().toStdWString(), clipped.front());
    EXPECT_FALSE(tipAt(CellCentre(1, 0)));
    EXPECT_FALSE(tipAt(QPoint(5, 200)));  // no header shown
    QToolTip::hideText();
}

} // namespace
