// Building a menu: ids drawn from the tree's counter, refused entries,
// positions, flags, finding entries in submenus, removal and flag lists,
// and what a menu without implementation or without window answers.
#include "MenuTestKit.h"

#include "AUILibConfig.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <list>
#include <vector>

namespace {

using AUILib::ContextMenu;

const std::function<void()> kNothing = [] {};

std::vector<int> IdsInOrder(ContextMenu& menu)
{
    std::vector<int> ids;
    for (int i = 0; i < menu.Count(); ++i)
        ids.push_back(menu.GetMenuItemID(i));
    return ids;
}

TEST(MenuEntries, IdsComeFromTheTreeCounter)
{
    MenuOnWindow m;
    EXPECT_EQ(m.menu->AddItem(L"Open", kNothing, 0), 0);
    EXPECT_EQ(m.menu->AddSeparator(), 1);
    auto sub = m.menu->AddSubmenu(L"More");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->AddItem(L"Deeper", kNothing, 0), 3);  // the submenu entry drew 2
    EXPECT_EQ(m.menu->AddItem(L"Close", kNothing, 0), 4);

    EXPECT_EQ(m.menu->Count(), 4);
    EXPECT_EQ(sub->Count(), 1);
    EXPECT_EQ(IdsInOrder(*m.menu), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(ActionAt(*m.menu, 2)->text(), QStringLiteral("More"));
    EXPECT_EQ(ActionAt(*m.menu, 2)->menu(), MenuWidget(*sub));
    EXPECT_TRUE(ActionAt(*m.menu, 1)->isSeparator());
    EXPECT_EQ(m.menu->GetMenuItemID(m.menu->Count()), -1);
    EXPECT_EQ(m.menu->GetMenuItemID(-1), -1);

    // Removing never gives an id back.
    EXPECT_TRUE(m.menu->RemoveItem(4));
    EXPECT_EQ(m.menu->AddItem(L"Close", kNothing, 0), 5);
}

TEST(MenuEntries, RefusedEntriesChangeNothing)
{
    MenuOnWindow m;
    ASSERT_EQ(m.menu->AddItem(L"Copy", kNothing, 0), 0);
    ASSERT_TRUE(m.menu->AddSubmenu(L"View"));
    const std::function<void(int)> noIdHandler;
    const struct {
        const char* what;
        std::function<int()> add;
    } cases[] = {
        {"same text", [&] { return m.menu->AddItem(L"Copy", kNothing, 0); }},
        {"same text, id handler", [&] { return m.menu->AddItem(L"Copy", [](int) {}, 0); }},
        {"a submenu's title", [&] { return m.menu->InsertItem(0, L"View", kNothing, 0); }},
        {"empty handler", [&] { return m.menu->AddItem(L"Paste", std::function<void()>(), 0); }},
        {"empty id handler", [&] { return m.menu->AddItem(L"Paste", noIdHandler, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.add(), -1);
        EXPECT_EQ(m.menu->Count(), 2);
    }
    // A separator's text is empty: an item with empty text is refused next.
    EXPECT_EQ(m.menu->AddItem(L"", kNothing, 0), 2);
    EXPECT_EQ(m.menu->AddSeparator(), 3);
    EXPECT_EQ(m.menu->Count(), 4);
    // Texts compare in full and case-sensitively.
    EXPECT_EQ(m.menu->AddItem(L"copy", kNothing, 0), 4);
    EXPECT_EQ(m.menu->AddItem(L"Cop", kNothing, 0), 5);
}

TEST(MenuEntries, EmptyTextAfterASeparatorIsRefused)
{
    MenuOnWindow m;
    m.menu->AddSeparator();
    EXPECT_EQ(m.menu->AddItem(L"", kNothing, 0), -1);
    EXPECT_EQ(m.menu->Count(), 1);
}

TEST(MenuEntries, PositionsOfInsertedEntries)
{
    MenuOnWindow m;
    m.menu->AddItem(L"B", kNothing, 0);
    m.menu->AddItem(L"C", kNothing, 0);
    EXPECT_EQ(m.menu->InsertItem(0, L"A", kNothing, 0), 2);
    EXPECT_EQ(m.menu->InsertItem(99, L"D", kNothing, 0), 3);
    EXPECT_EQ(m.menu->InsertItem(-3, L"E", kNothing, 0), 4);
    EXPECT_EQ(m.menu->InsertSeparator(1), 5);
    EXPECT_EQ(IdsInOrder(*m.menu), (std::vector<int>{2, 5, 0, 1, 3, 4}));
    EXPECT_EQ(m.menu->GetMenuItemIndex(3), 4);
    EXPECT_EQ(m.menu->GetMenuItemIndex(-1), -1);
    EXPECT_EQ(m.menu->GetMenuItemIndex(77), -1);

    const auto menuWindows = [&] { return MenuWidget(*m.menu)->findChildren<QMenu*>().size(); };
    const int windowsBefore = menuWindows();
    EXPECT_FALSE(m.menu->InsertSubmenu(6, L"Past"));
    EXPECT_FALSE(m.menu->InsertSubmenu(-1, L"Before"));
    EXPECT_EQ(m.menu->Count(), 6);
    EXPECT_EQ(menuWindows(), windowsBefore);  // no hidden submenu left behind
    auto sub = m.menu->InsertSubmenu(1, L"Inside");
    ASSERT_TRUE(sub);
    EXPECT_EQ(m.menu->GetMenuItemIndex(6), 1);  // the failed ones drew no id
}

TEST(MenuEntries, CheckableNeedsItsOwnFlag)
{
    MenuOnWindow m;
    const struct {
        int flags;
        bool checkable, checked;
    } cases[] = {{12, true, true}, {8, false, false}, {4, true, false}, {0, false, false}, {3, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        const int id = m.menu->AddItem(L"Item " + std::to_wstring(c.flags), kNothing, c.flags);
        QAction* action = ActionAt(*m.menu, m.menu->GetMenuItemIndex(id));
        ASSERT_TRUE(action);
        EXPECT_EQ(action->isCheckable(), c.checkable);
        EXPECT_EQ(action->isChecked(), c.checked);
        EXPECT_EQ(m.menu->IsCheckedItem(id), c.checked);
        EXPECT_EQ(m.menu->GetItemFlags(id), c.flags);
        EXPECT_EQ(m.menu->CheckItem(id, true), c.checkable);
    }
}

TEST(MenuEntries, SubmenuEntriesAreFoundByIdButHaveNoIndexAbove)
{
    MenuOnWindow m;
    auto sub = m.menu->AddSubmenu(L"Sub");
    const int inner = sub->AddItem(L"Inner", kNothing, ContextMenu::Checkable);
    EXPECT_EQ(m.menu->GetMenuItemIndex(inner), -1);
    EXPECT_EQ(sub->GetMenuItemIndex(inner), 0);
    EXPECT_EQ(m.menu->GetItemFlags(inner), 0);  // own records only
    EXPECT_EQ(sub->GetItemFlags(inner), ContextMenu::Checkable);

    EXPECT_TRUE(m.menu->IsEnabledItem(inner));
    EXPECT_TRUE(m.menu->EnableItem(inner, false, true));
    EXPECT_FALSE(ActionAt(*sub, 0)->isEnabled());
    EXPECT_FALSE(m.menu->IsEnabledItem(inner));
    EXPECT_TRUE(m.menu->CheckItem(inner, true));
    EXPECT_TRUE(m.menu->IsCheckedItem(inner));
    EXPECT_EQ(m.menu->ItemsChecked(), std::list<int>{inner});

    EXPECT_FALSE(m.menu->EnableItem(-1, true, false));
    EXPECT_FALSE(m.menu->EnableItem(99, true, false));

    // Removed from the top, gone from the submenu, action and record.
    EXPECT_TRUE(m.menu->RemoveItem(inner));
    EXPECT_EQ(sub->Count(), 0);
    EXPECT_EQ(sub->GetItemFlags(inner), 0);
    EXPECT_FALSE(m.menu->RemoveItem(inner));
    EXPECT_EQ(m.menu->ItemsCheckable(), std::list<int>{});
}

TEST(MenuEntries, RemovingASubmenuEntryDropsTheSubmenu)
{
    MenuOnWindow m;
    std::weak_ptr<ContextMenu> watched;
    int entry = -1;
    {
        auto sub = m.menu->AddSubmenu(L"Sub");
        sub->AddItem(L"Inner", kNothing, ContextMenu::DisabledIfReadOnly);
        watched = sub;
        entry = m.menu->GetMenuItemID(0);
    }
    EXPECT_EQ(m.menu->ItemsDisabledIfReadOnly().size(), 1u);
    EXPECT_TRUE(m.menu->RemoveItem(entry));
    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(m.menu->Count(), 0);
    EXPECT_TRUE(m.menu->ItemsDisabledIfReadOnly().empty());
}

TEST(MenuEntries, FlagListsFollowTheRecords)
{
    MenuOnWindow m;
    using M = ContextMenu;
    const int first = m.menu->AddItem(L"First", kNothing, M::DisabledIfReadOnly | M::Checkable);
    auto sub = m.menu->AddSubmenu(L"Sub");
    const int a = sub->AddItem(L"A", kNothing, M::DisabledIfReadOnly);
    const int b = sub->AddItem(L"B", kNothing, M::DisabledIfReadOnly | M::DisabledIfEmptyClipBoard);
    const int third = m.menu->AddItem(L"Third", kNothing, M::DisabledIfReadOnly | M::DisabledIfEmptyClipBoard);
    m.menu->AddSeparator();
    EXPECT_EQ(m.menu->ItemsDisabledIfReadOnly(), (std::list<int>{first, a, b, third}));
    EXPECT_EQ(m.menu->ItemsDisabledIfEmptyClipBoard(), (std::list<int>{b, third}));
    EXPECT_EQ(m.menu->ItemsCheckable(), std::list<int>{first});
    EXPECT_EQ(sub->ItemsDisabledIfReadOnly(), (std::list<int>{a, b}));

    // A submenu inserted on top is shown first, but its record goes after
    // the later items: its ids come last.
    auto top = m.menu->InsertSubmenu(0, L"Top");
    ASSERT_TRUE(top);
    const int inTop = top->AddItem(L"In top", kNothing, M::DisabledIfReadOnly);
    EXPECT_EQ(m.menu->ItemsDisabledIfReadOnly(), (std::list<int>{first, a, b, third, inTop}));
    EXPECT_EQ(MenuWidget(*m.menu)->actions().first()->menu(), MenuWidget(*top));

    m.menu->CheckItem(first, true);
    EXPECT_EQ(m.menu->ItemsChecked(), std::list<int>{first});
}

TEST(MenuEntries, ARemovedSeparatorOrItemLeavesTheOthersInOrder)
{
    MenuOnWindow m;
    const int a = m.menu->AddItem(L"A", kNothing, ContextMenu::Checkable);
    const int separator = m.menu->AddSeparator();
    const int c = m.menu->AddItem(L"C", kNothing, ContextMenu::Checkable);
    EXPECT_TRUE(m.menu->RemoveItem(separator));
    EXPECT_EQ(IdsInOrder(*m.menu), (std::vector<int>{a, c}));
    EXPECT_EQ(m.menu->ItemsCheckable(), (std::list<int>{a, c}));
    // The text is free again.
    EXPECT_TRUE(m.menu->RemoveItem(a));
    EXPECT_GE(m.menu->AddItem(L"A", kNothing, 0), 0);
}

TEST(MenuEntries, NeverCreatedMenuFailsEverywhere)
{
    ContextMenu menu;
    EXPECT_FALSE(menu.Create(nullptr));
    const struct {
        const char* what;
        std::function<long long()> call;
        long long expected;
    } cases[] = {
        {"AddItem", [&] { return menu.AddItem(L"A", kNothing, 0); }, -1},
        {"AddItem(id)", [&] { return menu.AddItem(L"A", [](int) {}, 0); }, -1},
        {"InsertItem", [&] { return menu.InsertItem(0, L"A", kNothing, 0); }, -1},
        {"InsertItem(id)", [&] { return menu.InsertItem(0, L"A", [](int) {}, 0); }, -1},
        {"AddSeparator", [&] { return menu.AddSeparator(); }, -1},
        {"InsertSeparator", [&] { return menu.InsertSeparator(0); }, -1},
        {"Count", [&] { return menu.Count(); }, -1},
        {"GetMenuItemIndex", [&] { return menu.GetMenuItemIndex(0); }, -1},
        {"GetMenuItemID", [&] { return menu.GetMenuItemID(0); }, -1},
        {"RemoveItem", [&] { return menu.RemoveItem(0); }, 0},
        {"EnableItem", [&] { return menu.EnableItem(0, true, false); }, 0},
        {"IsEnabledItem", [&] { return menu.IsEnabledItem(0); }, 0},
        {"CheckItem", [&] { return menu.CheckItem(0, true); }, 0},
        {"IsCheckedItem", [&] { return menu.IsCheckedItem(0); }, 0},
        {"GetItemFlags", [&] { return menu.GetItemFlags(0); }, 0},
        {"AddSubmenu", [&] { return menu.AddSubmenu(L"S") != nullptr; }, 0},
        {"InsertSubmenu", [&] { return menu.InsertSubmenu(0, L"S") != nullptr; }, 0},
        {"ItemsDisabledIfReadOnly", [&] { return menu.ItemsDisabledIfReadOnly().size(); }, 0},
        {"ItemsDisabledIfEmptyClipBoard", [&] { return menu.ItemsDisabledIfEmptyClipBoard().size(); }, 0},
        {"ItemsCheckable", [&] { return menu.ItemsCheckable().size(); }, 0},
        {"ItemsChecked", [&] { return menu.ItemsChecked().size(); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), c.expected);
    }
    // No result, no crash.
    menu.Show(true);
    menu.Show(1, 1);
    menu.Show(false);
    AddPicture(menu, 0, Qt::red, true);
    menu.AddPictureToItem(0, L"/nonexistent.png", false, 0, AUILib::BitmapDefault);
    EXPECT_EQ(menu.GetSkinManager(), AUILib::GetGlobalSkinManager());
}

TEST(MenuEntries, AMenuWhoseWindowWentHasNoEntries)
{
    auto window = new QWidget;
    auto menu = std::make_shared<ContextMenu>();
    ASSERT_TRUE(menu->Create(window));
    const int id = menu->AddItem(L"A", kNothing, ContextMenu::Checkable);
    auto sub = menu->AddSubmenu(L"Sub");
    delete window;
    EXPECT_EQ(menu->Count(), 0);
    EXPECT_EQ(menu->AddItem(L"B", kNothing, 0), -1);
    EXPECT_EQ(menu->AddSeparator(), -1);
    EXPECT_FALSE(menu->AddSubmenu(L"Other"));
    EXPECT_FALSE(menu->CheckItem(id, true));
    EXPECT_FALSE(menu->IsEnabledItem(id));
    EXPECT_EQ(menu->GetMenuItemIndex(id), -1);
    EXPECT_EQ(menu->GetMenuItemID(0), -1);
    EXPECT_FALSE(menu->RemoveItem(id));
    EXPECT_EQ(sub->Count(), 0);
    menu->Show(true);  // nothing to pop up
    menu->Show(false);
    AddPicture(*menu, id, Qt::red, false);
}

TEST(MenuEntries, ASecondCreateStartsAFreshMenu)
{
    MenuOnWindow m;
    m.menu->AddItem(L"A", kNothing, 0);
    QPointer<QMenu> first = MenuWidget(*m.menu);
    ASSERT_TRUE(m.menu->Create(m.window));
    EXPECT_EQ(m.menu->Count(), 0);
    EXPECT_EQ(m.menu->AddItem(L"A", kNothing, 0), 0);
    EXPECT_TRUE(first);  // still its parent's child
    EXPECT_NE(first.data(), MenuWidget(*m.menu));
}

TEST(MenuEntries, AnOrphanedSubmenuDrawsNoIdTwice)
{
    auto window = std::make_unique<QWidget>();
    auto top = std::make_shared<ContextMenu>();
    top->Create(window.get());
    auto sub = top->AddSubmenu(L"Sub");
    auto deeper = sub->AddSubmenu(L"Deeper");
    std::vector<int> ids{top->GetMenuItemID(0), sub->GetMenuItemID(0)};
    ids.push_back(deeper->AddItem(L"X", kNothing, 0));
    ids.push_back(top->AddItem(L"Y", kNothing, 0));
    top.reset();
    // The submenu and its own submenu now count on their own.
    const int fromSub = sub->AddItem(L"Z", kNothing, 0);
    const int fromDeeper = deeper->AddItem(L"W", kNothing, 0);
    for (const int old : ids) {
        EXPECT_NE(fromSub, old);
        EXPECT_NE(fromDeeper, old);
    }
    EXPECT_NE(fromSub, fromDeeper);
}

TEST(MenuEntries, PicturesFromBytesAndFiles)
{
    MenuOnWindow m;
    const int id = m.menu->AddItem(L"A", kNothing, ContextMenu::Checkable);
    QAction* action = ActionAt(*m.menu, 0);
    const QByteArray png = PngBytes(16, 16, Qt::blue);
    const auto* bytes = reinterpret_cast<const unsigned char*>(png.constData());
    // No picture from a count of zero or less, nor from broken bytes.
    m.menu->AddPictureToItem(id, bytes, 0, AUILib::ImagePNG, 0, AUILib::BitmapDefault, false);
    m.menu->AddPictureToItem(id, bytes, -5, AUILib::ImagePNG, 0, AUILib::BitmapDefault, false);
    m.menu->AddPictureToItem(id, nullptr, png.size(), AUILib::ImagePNG, 0, AUILib::BitmapDefault, false);
    m.menu->AddPictureToItem(id, bytes, 10, AUILib::ImagePNG, 0, AUILib::BitmapDefault, false);
    m.menu->AddPictureToItem(id, L"/nonexistent/picture.png", false, 0, AUILib::BitmapDefault);
    EXPECT_TRUE(action->icon().isNull());

    // The first picture per state stays.
    AddPicture(*m.menu, id, Qt::blue, false);
    AddPicture(*m.menu, id, Qt::green, false);
    EXPECT_EQ(IconColour(action), QColor(Qt::blue));
    // A checked picture shows only while checked.
    AddPicture(*m.menu, id, Qt::red, true);
    EXPECT_EQ(IconColour(action), QColor(Qt::blue));
    m.menu->CheckItem(id, true);
    EXPECT_EQ(IconColour(action), QColor(Qt::red));
    // An unchecked picture given while checked shows until the next refresh;
    // being the second for its state, it is not kept.
    AddPicture(*m.menu, id, Qt::yellow, false);
    EXPECT_EQ(IconColour(action), QColor(Qt::blue));
    m.menu->CheckItem(id, true);
    EXPECT_EQ(IconColour(action), QColor(Qt::red));
    m.menu->CheckItem(id, false);
    EXPECT_EQ(IconColour(action), QColor(Qt::blue));

    // From a file, for an entry of a submenu, found from the top.
    auto sub = m.menu->AddSubmenu(L"Sub");
    const int inner = sub->AddItem(L"Inner", kNothing, 0);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(QImage::fromData(PngBytes(16, 16, Qt::magenta)).save(path));
    m.menu->AddPictureToItem(inner, path.toStdWString(), false, 0, AUILib::BitmapDefault);
    EXPECT_EQ(IconColour(ActionAt(*sub, 0)), QColor(Qt::magenta));
}

} // namespace
