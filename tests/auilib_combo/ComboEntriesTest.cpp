// Entries of the combo box: positions, headers and separators, values and
// their ids, search, disabled entries, fonts, and a box whose widget went.
#include "ComboTestKit.h"

#include "AgnosticUIException.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QStandardItemModel>

#include <string>
#include <vector>

namespace {

using AUILib::any;
using AUILib::any_cast;
using AUILib::ComboBox;
using AUILib::FontData;

FontData Font(const wchar_t* face, double size, int bold, int italic, int underline)
{
    FontData data;
    data.faceName = face;
    data.pointSize = size;
    data.bold = bold;
    data.italic = italic;
    data.underline = underline;
    return data;
}

std::vector<std::wstring> Texts(ComboBox& box)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < box.Count(); ++i)
        texts.push_back(box.GetItemText(i));
    return texts;
}

TEST(ComboEntries, InsertPositionsAreClamped)
{
    ComboOnWindow c(false);
    EXPECT_EQ(c.box->AddItem(L"b", any()), 0);
    EXPECT_EQ(c.box->InsertItem(-5, L"a", any()), 0);
    EXPECT_EQ(c.box->InsertItem(99, L"c", any()), 2);
    EXPECT_EQ(c.box->AddItem(L"d", any()), 3);
    EXPECT_EQ(Texts(*c.box), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
}

TEST(ComboEntries, HeadersAndSeparators)
{
    ComboOnWindow c(false);
    c.box->AddItem(L"one", any(1));
    EXPECT_EQ(c.box->InsertSeparator(99, L"Section", any(2)), 99);  // index handed back unchanged
    EXPECT_EQ(c.box->AddSeparator(L"", any(3)), 2);
    EXPECT_EQ(c.box->Count(), 3);
    auto* model = qobject_cast<QStandardItemModel*>(c.widget()->model());
    QStandardItem* header = model->item(1);
    EXPECT_EQ(header->text(), QStringLiteral("Section"));
    EXPECT_EQ(header->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("header"));
    EXPECT_FALSE(header->isSelectable());
    EXPECT_FALSE(header->isEnabled());
    EXPECT_EQ(header->data(Qt::FontRole).value<QFont>().family(), QStringLiteral("Arial"));
    EXPECT_EQ(any_cast<int>(c.box->GetItemData(1)), 2);
    EXPECT_EQ(model->item(2)->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("separator"));
    EXPECT_FALSE(c.box->GetItemData(2).has_value());  // a plain separator keeps no value
    EXPECT_TRUE(c.box->IsItemDisabled(1));
}

TEST(ComboEntries, ValuesAndTheirIds)
{
    ComboOnWindow c(false);
    c.box->AddItem(L"none", any());
    c.box->AddItem(L"text", any(std::wstring(L"v")));
    EXPECT_FALSE(c.box->GetItemData(0).has_value());
    EXPECT_EQ(any_cast<std::wstring>(c.box->GetItemData(1)), L"v");
    EXPECT_EQ(c.widget()->itemData(1, Qt::UserRole).toInt(), 1);

    EXPECT_TRUE(c.box->RemoveItemData(1));
    EXPECT_EQ(c.widget()->itemData(1, Qt::UserRole).toInt(), -1);
    EXPECT_FALSE(c.box->GetItemData(1).has_value());
    EXPECT_FALSE(c.box->RemoveItemData(1));
    EXPECT_FALSE(c.box->RemoveItemData(0));
    EXPECT_FALSE(c.box->RemoveItemData(7));

    EXPECT_TRUE(c.box->SetItemData(0, any(5)));
    EXPECT_EQ(c.widget()->itemData(0, Qt::UserRole).toInt(), 2);
    EXPECT_FALSE(c.box->SetItemData(2, any(6)));
    EXPECT_FALSE(c.box->SetItemData(-1, any(6)));

    // Ids go on after Clear.
    c.box->Clear();
    EXPECT_EQ(c.box->Count(), 0);
    c.box->AddItem(L"again", any(7));
    EXPECT_EQ(c.widget()->itemData(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(any_cast<int>(c.box->GetItemData(0)), 7);

    c.box->AddItem(L"gone", any(8));
    c.box->DeleteString(0);
    EXPECT_EQ(Texts(*c.box), std::vector<std::wstring>{L"gone"});
    EXPECT_EQ(any_cast<int>(c.box->GetItemData(0)), 8);
}

TEST(ComboEntries, FindStringWraps)
{
    ComboOnWindow c(false);
    for (const wchar_t* text : {L"Apple", L"banana", L"apricot", L"Cherry"})
        c.box->AddItem(text, any());
    const struct {
        const wchar_t* text;
        int start;
        int expected;
    } cases[] = {
        {L"ap", -7, 0},  // no row after start: from the first
        {L"ap", -1, 0},
        {L"ap", 0, 2},
        {L"AP", 2, 0},   // wraps, case ignored
        {L"ch", 3, 3},   // last row: from the first, start itself last
        {L"Apple", 3, 0},
        {L"anana", -1, -1},  // prefix only
        {L"x", 1, -1},
    };
    for (const auto& c2 : cases) {
        SCOPED_TRACE((QString::fromWCharArray(c2.text) + QString::number(c2.start)).toStdString());
        EXPECT_EQ(c.box->FindString(c2.text, c2.start), c2.expected);
    }
}

TEST(ComboEntries, DisabledEntries)
{
    ComboOnWindow c(false);
    c.box->AddItem(L"a", any());
    c.box->AddItem(L"b", any());
    c.box->SetCurSel(1);
    c.box->DisableItem(1, true);
    EXPECT_TRUE(c.box->IsItemDisabled(1));
    EXPECT_EQ(c.box->GetCurSel(), -1);
    c.box->DisableItem(1, false);
    EXPECT_FALSE(c.box->IsItemDisabled(1));
    // Outside the list: ignored.
    c.box->DisableItem(5, true);
    c.box->DisableItem(-1, true);
    EXPECT_FALSE(c.box->IsItemDisabled(5));
    EXPECT_FALSE(c.box->IsItemDisabled(-1));
}

TEST(ComboEntries, FontsMergeWithTheEntrysFont)
{
    ComboOnWindow c(false);
    c.box->AddItem(L"a", any());
    const FontData unset;
    FontData none;
    c.box->SetItemFont(0, none);
    EXPECT_TRUE(c.widget()->itemData(0, Qt::FontRole).isNull());
    const FontData read = c.box->GetItemFont(0);
    EXPECT_TRUE(read.faceName.empty());
    EXPECT_EQ(read.bold, -1);
    EXPECT_EQ(read.symbolFamily, -1);

    const struct {
        const char* what;
        FontData (*set)();
        const wchar_t* face;
        double size;
        int bold, italic, underline;
    } steps[] = {
        {"bold and size", [] { return Font(L"", 14.0, 1, -1, -1); }, L"", 14.0, 1, -1, -1},
        {"italic kept bold", [] { return Font(L"", -1.0, -1, 1, -1); }, L"", 14.0, 1, 1, -1},
        {"face", [] { return Font(L"Courier", -1.0, -1, -1, 1); }, L"Courier", 14.0, 1, 1, 1},
        {"bold off", [] { return Font(L"", -1.0, 0, -1, -1); }, L"Courier", 14.0, -1, 1, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        FontData data = s.set();
        c.box->SetItemFont(0, data);
        const FontData got = c.box->GetItemFont(0);
        if (*s.face) {
            EXPECT_EQ(got.faceName, s.face);
        }
        EXPECT_EQ(got.pointSize, s.size);
        EXPECT_EQ(got.bold, s.bold);
        EXPECT_EQ(got.italic, s.italic);
        EXPECT_EQ(got.underline, s.underline);
        EXPECT_EQ(got.symbolFamily, -1);
    }
    FontData outside = Font(L"", 9.0, 1, -1, -1);
    c.box->SetItemFont(3, outside);  // no entry: nothing
    (void)unset;
}

TEST(ComboEntries, TheEntrysFontReachesTheBoxBeforeTheSignal)
{
    ComboOnWindow c(false);
    c.box->AddItem(L"plain", any());
    c.box->AddItem(L"big", any());
    FontData big = Font(L"", 20.0, 1, -1, -1);
    c.box->SetItemFont(1, big);
    double seen = 0;
    c.box->OnCurrentIndexChanged.Connect([&](int) { seen = c.widget()->font().pointSizeF(); });
    c.box->SetCurSel(1);
    EXPECT_EQ(seen, 20.0);
    EXPECT_TRUE(c.widget()->font().bold());
    // An entry without a font leaves the box's font.
    c.box->SetCurSel(0);
    EXPECT_EQ(c.widget()->font().pointSizeF(), 20.0);
}

TEST(ComboEntries, SetFontFromData)
{
    ComboOnWindow c(false);
    c.box->SetFont(Font(L"Courier", 11.0, 1, 1, 0));
    const QFont font = c.widget()->font();
    EXPECT_EQ(font.family(), QStringLiteral("Courier"));
    EXPECT_EQ(font.pointSizeF(), 11.0);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.underline());
}

TEST(ComboEntries, ColoursAppendTheirRules)
{
    ComboOnWindow c(false);
    c.box->SetTextColor(0x12345678u);
    c.box->SetTextColor(0x00345678u);
    c.box->SetSelectedItemTextColor(0xABCDEFu);
    const QString rule =
        QStringLiteral("QComboBox QAbstractItemView { color: #ff345678; } QComboBox { color: #ff345678; }");
    EXPECT_EQ(c.widget()->styleSheet(),
              rule + rule + QStringLiteral("QComboBox QAbstractItemView { selection-color: #ffabcdef; }"));
}

TEST(ComboEntries, AWidgetThatWentGivesNeutralResults)
{
    ComboBox box;
    auto* parent = new QWidget;
    box.Create(parent);
    box.AddItem(L"a", any(1));
    delete parent;
    const struct {
        const char* what;
        std::function<long long()> call;
        long long expected;
    } cases[] = {
        {"AddItem", [&] { return box.AddItem(L"b", any()); }, -1},
        {"InsertSeparator", [&] { return box.InsertSeparator(0, L"h", any()); }, -1},
        {"GetCurSel", [&] { return box.GetCurSel(); }, -1},
        {"Count", [&] { return box.Count(); }, -1},
        {"GetItemText", [&] { return static_cast<long long>(box.GetItemText(0).size()); }, 0},
        {"CurrentText", [&] { return static_cast<long long>(box.CurrentText().size()); }, 0},
        {"GetItemData", [&] { return box.GetItemData(0).has_value(); }, 0},
        {"SetItemData", [&] { return box.SetItemData(0, any(2)); }, 0},
        {"RemoveItemData", [&] { return box.RemoveItemData(0); }, 0},
        {"FindString", [&] { return box.FindString(L"a", -1); }, -1},
        {"IsAutoComplete", [&] { return box.IsAutoComplete(); }, 0},
        {"SelectionLength", [&] { return box.SelectionLength(); }, -1},
        {"SelectionStart", [&] { return box.SelectionStart(); }, -1},
        {"GetCaretPosition", [&] { return box.GetCaretPosition(); }, -1},
        {"GetDroppedState", [&] { return box.GetDroppedState(); }, 0},
        {"IsItemDisabled", [&] { return box.IsItemDisabled(0); }, 0},
        {"GetMaxVisibleItems", [&] { return box.GetMaxVisibleItems(); }, 0},
        {"ShowBalloonTip", [&] { return box.ShowBalloonTip(L"t", L"x", AUILib::BalloonTipIconType(1)); }, 0},
        {"HideBalloonTip", [&] { return box.HideBalloonTip(); }, 0},
        {"GetItemFont", [&] { return box.GetItemFont(0).bold; }, -1},
        {"GetWndPtr", [&] { return box.GetWndPtr() != nullptr; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), c.expected);
    }
    // Nothing happens.
    FontData data = Font(L"", 9.0, 1, -1, -1);
    box.SetItemFont(0, data);
    box.SetFont(data);
    box.SetCurSel(0);
    box.SetCurrentText(L"x");
    box.Clear();
    box.DeleteString(0);
    box.SetEditable(true);
    box.SetAutoComplete(true);
    box.EnableEditListMode(true);
    box.SetEditSel(0, 1);
    box.SetCaretPosition(0);
    box.ShowDropDown(true);
    box.AdjustItemWidth();
    box.SetTextColor(0);
    box.SetSelectedItemTextColor(0);
    box.SetMaxVisibleItems(3);
    box.SetAddToListOnEnterKey(true);
    box.DisableItem(0, true);
    box.AddPicture(0, L"/nonexistent.png", AUILib::ScaleKeep, AUILib::Size{16, 16}, AUILib::BitmapDefault);
    box.OnlyNumbers(true, 0, 9);
    QWidget other;
    EXPECT_THROW(box.Create(&other), AUILib::AgnosticUIException);
}

TEST(ComboEntries, AReleasedControlsWidgetStillTakesEvents)
{
    QWidget window;
    QPointer<AUILib::ComboBoxQt> widget;
    {
        auto box = std::make_shared<ComboBox>();
        box->Create(&window);
        box->AddItem(L"a", any(1));
        box->AddItem(L"b", any(2));
        box->SetEditable(true);
        box->OnlyNumbers(true, 0, 99);
        widget = WidgetOf(*box);
    }
    ASSERT_TRUE(widget);
    window.show();
    widget->setCurrentIndex(1);
    QTest::keyClick(widget, Qt::Key_Down);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(widget->lineEdit(), "x1");
    widget->setEditText(QStringLiteral("abc"));
    widget->showPopup();
    widget->hidePopup();
    EXPECT_EQ(widget->currentText(), QStringLiteral("abc"));  // no filter once the control went
}

} // namespace
