// A list box of a loaded form whose double-click, item-change, header-click
// and editor handlers drop the dialog that holds the list box, or close its
// window and drop it, and whose editor handler may also delete the window at
// once: the table's own signal handling must survive the dialog going from
// under it, and the list box goes with its table only.
#include "FormTestSupport.h"
#include "ListBox.h"
#include "UserDoubleClick.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <memory>

namespace {

using AUILib::ListBox;

QPoint CheckBoxCentre(QTableWidget* table, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.rect = table->visualRect(table->model()->index(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = table->item(row, 0)->text();
    return table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table).center();
}

struct DropForm {
    DropForm() : dialog(std::make_unique<VetoDialog>(FormPath("drop"))), window(dialog->GetWndPtr()), guard(window)
    {
        list = dialog->GetControlPtr<ListBox*>(L"table");
        list->SetColumnsCount(2);
        list->SetCheckMode(ListBox::CheckUser);
        for (const wchar_t* text : {L"a", L"b"}) {
            std::list<std::wstring> texts{text, L"second"};
            list->AddItemEx(texts);
        }
        list->EnableColumnNames(true);
        dialog->DoModeless();
        QApplication::processEvents();
        table = static_cast<QTableWidget*>(list->GetPlatformWindow());
        control = dialog->GetElementByName(L"table");
    }

    GermanStrings strings{false};
    std::unique_ptr<VetoDialog> dialog;
    QPointer<QWidget> window;
    WindowGuard guard;
    ListBox* list = nullptr;
    QPointer<QTableWidget> table;
    std::weak_ptr<AUILib::BaseGUIObject> control;
};

TEST(ListBoxInDialog, HandlersMayDropTheDialogThatHoldsTheList)
{
    const struct {
        const char* name;
        std::function<void(DropForm&)> drop;
        bool windowGoes;
        bool atOnce;
    } drops[] = {
        {"drops the dialog", [](DropForm& f) { f.dialog.reset(); }, false, false},
        {"closes the window and drops the dialog",
         [](DropForm& f) {
             f.dialog->Done(AUILib::Dialog::DoneCancel);
             f.dialog.reset();
         },
         true, false},
        {"deletes the window at once and drops the dialog",
         [](DropForm& f) {
             delete f.window.data();
             f.dialog.reset();
         },
         true, true},
    };
    const struct {
        const char* name;
        // Connects the handler, and sets the list up for the input.
        std::function<void(ListBox&, std::function<void()>)> connect;
        std::function<void(QTableWidget*)> act;
        // Qt's own handling of the input goes on using the table after the
        // signal, so its handlers must not delete the window at once.
        bool qtGoesOn;
    } emitters[] = {
        {"double click", [](ListBox& l, std::function<void()> h) { l.OnItemDoubleClicked.Connect([h](int) { h(); }); },
         [](QTableWidget* t) { UserDoubleClick(t->viewport(), t->visualRect(t->model()->index(1, 1)).center()); },
         true},
        {"user check", [](ListBox& l, std::function<void()> h) { l.OnItemChanged.Connect([h](int) { h(); }); },
         [](QTableWidget* t) {
             const QPoint at = CheckBoxCentre(t, 0);
             QCursor::setPos(t->viewport()->mapToGlobal(at));
             QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
         },
         true},
        {"header click", [](ListBox& l, std::function<void()> h) { l.OnHeaderClicked.Connect([h](int) { h(); }); },
         [](QTableWidget* t) {
             QHeaderView* header = t->horizontalHeader();
             QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                               QPoint(header->sectionViewportPosition(1) + 4, header->height() / 2));
         },
         true},
        {"editor opened by a double click",
         [](ListBox& l, std::function<void()> h) {
             l.SetEditItems(ListBox::EditableBorder);
             l.OnEditorCreated.Connect([h](int, AUILib::Edit*) { h(); });
         },
         [](QTableWidget* t) { UserDoubleClick(t->viewport(), t->visualRect(t->model()->index(1, 0)).center()); },
         false},
    };
    for (const auto& d : drops) {
        for (const auto& s : emitters) {
            if (d.atOnce && s.qtGoesOn)
                continue;
            SCOPED_TRACE(std::string(s.name) + " " + d.name);
            DropForm form;
            ASSERT_TRUE(form.list);
            ASSERT_TRUE(form.table);
            int calls = 0;
            s.connect(*form.list, [&form, &d, &calls] {
                ++calls;
                d.drop(form);
            });
            s.act(form.table);
            EXPECT_EQ(calls, 1);
            EXPECT_FALSE(form.dialog);
            QApplication::processEvents();
            RunDeferredDeletes();
            EXPECT_EQ(!form.window, d.windowGoes);
            // A form's control lives as long as its widget, the dialog or not.
            EXPECT_EQ(form.control.expired(), d.windowGoes);
            if (form.table) {
                // Left as a plain table in a plain dialog, it still takes input.
                UserDoubleClick(form.table->viewport(), form.table->visualRect(form.table->model()->index(0, 0)).center());
                form.table->item(0, 1)->setText(QStringLiteral("later"));
            }
        }
    }
}

} // namespace
