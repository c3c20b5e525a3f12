// Rows fit their contents: a row's height follows what its cells hold
// however often the table lays its rows out, through every kind of change.
#include "ListBoxTestKit.h"

#include <QHeaderView>

namespace {

using AUILib::ListBox;

TEST_F(ListBoxTest, RowHeightsFollowTheCellsAcrossLayouts)
{
    for (int row = 0; row < 30; ++row)
        list->AddItem(L"row " + std::to_wstring(row));
    QApplication::processEvents();
    table()->resizeRowsToContents();
    const int plain = table()->rowHeight(0);
    ASSERT_GT(plain, 0);
    const auto relayout = [this] {
        QApplication::processEvents();
        table()->resizeRowsToContents();
    };
    QFont large = table()->font();
    large.setPointSize(large.pointSize() * 3);
    const struct {
        const char* name;
        std::function<void(ListBoxTest&)> change;
        int row;
        bool taller;
    } changes[] = {
        {"two lines", [](ListBoxTest& t) { t.list->SetItemText(3, L"two\nlines"); }, 3, true},
        {"one line again", [](ListBoxTest& t) { t.list->SetItemText(3, L"one"); }, 3, false},
        {"a large font on a cell", [large](ListBoxTest& t) { t.table()->item(6, 0)->setFont(large); }, 6, true},
        {"rows moved by a sort", [](ListBoxTest& t) { t.list->SortColumn(0, ListBox::SortDescending, true); }, 6,
         false},
        {"a two-line row added", [](ListBoxTest& t) { t.list->AddItem(L"zz\nadded"); }, 0, true},
        {"a row deleted", [](ListBoxTest& t) { t.list->DeleteItem(0); }, 0, false},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        c.change(*this);
        relayout();
        if (c.taller)
            EXPECT_GT(table()->rowHeight(c.row), plain);
        else
            EXPECT_EQ(table()->rowHeight(c.row), plain);
        int plainRows = 0;
        for (int row = 0; row < table()->rowCount(); ++row)
            plainRows += table()->rowHeight(row) == plain ? 1 : 0;
        EXPECT_GE(plainRows, table()->rowCount() - 2);
    }
}

} // namespace
