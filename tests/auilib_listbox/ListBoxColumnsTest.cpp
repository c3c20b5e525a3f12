// Columns, header labels and sorting: the cells' ordering, sort order
// toggling and pinned rows.
#include "ListBoxTestKit.h"

#include <QHeaderView>

namespace {

using AUILib::CustomQTableWidgetItem;
using AUILib::ListBox;

TEST_F(ListBoxTest, SetColumnsCountRebuildsOnlyForANewCount)
{
    Fill({L"a"});
    list->SetColumnsCount(0);
    list->SetColumnsCount(1);
    EXPECT_EQ(list->Count(), 1);
    list->SetColumnsCount(3);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->GetColumnsCount(), 3);
    EXPECT_EQ(list->GetColumnsWidth(), (std::vector<int>{-1, -1, -1}));

    EXPECT_TRUE(list->SetColumnName(1, L"Name"));
    EXPECT_FALSE(list->SetColumnName(3, L"x"));
    EXPECT_FALSE(list->SetColumnName(-1, L"x"));
    EXPECT_FALSE(table()->horizontalHeader()->isHidden());
    QStringList labels;
    for (int c = 0; c < 3; ++c)
        labels << table()->horizontalHeaderItem(c)->text();
    EXPECT_EQ(labels, (QStringList{"Col 0", "Name", "Col 2"}));
}

TEST_F(ListBoxTest, ColumnWidthsKeepTheirMarkers)
{
    list->SetColumnsCount(2);
    list->SetColumnWidth(0, 80);
    list->ResizeColumnToContent(1, true);
    EXPECT_EQ(list->GetColumnsWidth(), (std::vector<int>{80, -2}));
    EXPECT_EQ(table()->columnWidth(0), 80);
    EXPECT_TRUE(list->IsSetResizeColumnToContent(1));
    EXPECT_FALSE(list->IsSetResizeColumnToContent(5));
    list->EnableWordWrapText(true);
    EXPECT_EQ(list->GetColumnsWidth(), (std::vector<int>{-1, -1}));
    list->ResizeColumnToContent(0, true);
    EXPECT_FALSE(list->IsEnableWordWrapText());
    EXPECT_FALSE(table()->wordWrap());
}

TEST_F(ListBoxTest, CellsOrderNumbersByValueAndTextsByCaseRuleOrSortFunction)
{
    AUILib::ListBoxImpl* impl = list->GetImpl();
    auto cell = [&](const QVariant& value, bool pinned = false) {
        auto* item = impl->MakeCell(QString());
        item->setData(Qt::DisplayRole, value);
        item->SetPinned(pinned);
        return std::unique_ptr<CustomQTableWidgetItem>(item);
    };
    struct Case {
        const char* name;
        QVariant a;
        QVariant b;
        bool caseSensitive;
        bool aPinned;
        bool less;     // a < b
        bool greater;  // b < a
    };
    const Case cases[] = {
        {"int/int", 9, 10, true, false, true, false},
        {"int/int equal", 3, 3, true, false, false, false},
        {"double/string", 2.5, QString("10"), true, false, false, true},  // compared as texts
        {"double/double", 2.5, 10.0, true, false, true, false},
        {"int/double", 3, 2.5, true, false, false, true},
        {"case on", QString("a"), QString("B"), true, false, false, true},
        {"case off", QString("a"), QString("B"), false, false, true, false},
        {"case off equal", QString("abc"), QString("ABC"), false, false, false, false},
        {"case on unequal", QString("abc"), QString("ABC"), true, false, false, true},
        {"pinned against text", QString("zzz"), QString("aaa"), true, true, false, false},
        {"pinned number still by value", 1, 2, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        impl->sortRules->caseSensitive = c.caseSensitive;
        const auto a = cell(c.a, c.aPinned);
        const auto b = cell(c.b);
        EXPECT_EQ(*a < *b, c.less);
        EXPECT_EQ(*b < *a, c.greater);
    }
    impl->sortRules->caseSensitive = true;
}

TEST_F(ListBoxTest, SortColumnTogglesTheOrderAndKeepsPinnedRowsOnTop)
{
    Fill({L"m", L"b", L"pinned", L"z", L"a"});
    list->DisableSortingForRow(2);
    table()->horizontalHeader()->setSortIndicator(-1, Qt::DescendingOrder);
    list->SortColumn(0, true);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"pinned", L"a", L"b", L"m", L"z"}));
    list->SortColumn(0, true);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"pinned", L"z", L"m", L"b", L"a"}));
    list->SortColumn(0, true);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"pinned", L"a", L"b", L"m", L"z"}));
    // New rows go below the pinned one whatever their text.
    EXPECT_EQ(list->AddItem(L"0"), 1);
    list->SortColumn(0, ListBox::SortDescending, true);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"pinned", L"z", L"m", L"b", L"a", L"0"}));
}

TEST_F(ListBoxTest, EnablingSortingReordersNothingUntilAColumnIsSorted)
{
    Fill({L"b", L"a", L"c"});
    list->SortingEnable(true);
    EXPECT_TRUE(list->IsSortingEnabled());
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"b", L"a", L"c"}));
    EXPECT_EQ(list->AddItem(L"0"), 3);
}

TEST_F(ListBoxTest, SortFunctionDecidesItsColumnAndAnEmptyOneKeepsIt)
{
    list->SetColumnsCount(2);
    std::list<std::wstring> r1{L"x", L"bb"}, r2{L"y", L"a"}, r3{L"z", L"ccc"};
    list->AddItemEx(r1);
    list->AddItemEx(r2);
    list->AddItemEx(r3);
    std::vector<std::pair<std::wstring, std::wstring>> calls;
    list->SetColumnSortFunc(1, [&](std::wstring a, AUILib::any, std::wstring b, AUILib::any) {
        calls.emplace_back(a, b);
        return a.size() < b.size();
    });
    list->SetColumnSortFunc(1, ListBox::SortFunction());
    list->SortColumn(1, ListBox::SortAscending, true);
    EXPECT_FALSE(calls.empty());
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"y", L"x", L"z"}));
}

TEST_F(ListBoxTest, HeaderPictureAlignKeepsOnlyTheRightAlignment)
{
    list->SetColumnsCount(2);
    list->SetHeaderPictureAlign(0, ListBox::HeaderPictureDefault);
    EXPECT_EQ(list->GetHeaderPictureAlign(0), ListBox::HeaderPictureDefault);
    list->SetHeaderPictureAlign(1, ListBox::HeaderPictureRight);
    EXPECT_EQ(list->GetHeaderPictureAlign(1), ListBox::HeaderPictureRight);
    // Header items come with the labels.
    list->SetHeaderTooltip(1, L"tip");
    EXPECT_EQ(table()->horizontalHeaderItem(1), nullptr);
    list->SetColumnName(1, L"Size");
    list->SetHeaderTooltip(1, L"tip");
    ASSERT_NE(table()->horizontalHeaderItem(1), nullptr);
    EXPECT_EQ(table()->horizontalHeaderItem(1)->toolTip(), "tip");
}

} // namespace

// Where the header's picture is drawn: after the column's name when aligned
// right, before it otherwise (the style's own placement).
TEST_F(ListBoxTest, HeaderPictureRightIsDrawnAfterTheName)
{
    list->SetColumnsCount(2);
    const QColor marker(230, 20, 200);
    for (int column = 0; column < 2; ++column) {
        list->SetColumnName(column, L"Name");
        const QByteArray png = PicturePng(12, marker);
        list->AddPictureToHeader(column, Bytes(png), png.size(), AUILib::ImagePNG, 12, AUILib::BitmapDefault);
    }
    list->SetHeaderPictureAlign(1, ListBox::HeaderPictureRight);
    QHeaderView* header = table()->horizontalHeader();
    header->resizeSection(0, 160);
    header->resizeSection(1, 160);
    QApplication::processEvents();
    const QImage shot = header->grab().toImage();
    const int nameWidth = header->fontMetrics().horizontalAdvance(QStringLiteral("Name"));

    // The leftmost marker pixel of a section, relative to its start.
    auto markerAt = [&](int section) {
        const int start = header->sectionViewportPosition(section);
        for (int x = start; x < start + header->sectionSize(section); ++x)
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixelColor(x, y) == marker)
                    return x - start;
        return -1;
    };
    const int plain = markerAt(0);
    const int right = markerAt(1);
    ASSERT_GE(plain, 0);
    ASSERT_GE(right, 0);
    EXPECT_LT(plain, nameWidth);
    EXPECT_GT(right, nameWidth);
}
