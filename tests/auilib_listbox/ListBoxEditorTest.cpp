// In-place editors: which cells get an edit, a combo box or nothing, the
// signals around an edit, and an editor closed before its queued work runs.
#include "ListBoxTestKit.h"

#include "ComboBox.h"
#include "Edit.h"
#include "SignalRecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

using AUILib::ListBox;

// Press, release, then the double click, as a user's double click arrives.
void DoubleClick(QTableWidget* table, QPoint at)
{
    QCursor::setPos(table->viewport()->mapToGlobal(at));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

enum class Made { None, Edit, Combo };

const char* NameOf(Made made) { return made == Made::None ? "none" : made == Made::Edit ? "edit" : "combo"; }

class ListBoxEditorTest : public ListBoxTest {
protected:
    void SetUp() override
    {
        ListBoxTest::SetUp();
        list->SetColumnsCount(2);
        std::list<std::wstring> texts{L"alpha", L"beta"};
        list->AddItemEx(texts);
        list->OnCellEditorCreated.Connect([this](int row, int column, AUILib::BaseGUIObject* editor) {
            created.push_back({row, column, editor});
        });
    }

    // Double-clicks the cell as a user does and tells what opened.
    Made Open(int row, int column)
    {
        created.clear();
        const QPoint at = CellCentre(row, column);
        DoubleClick(table(), at);
        if (created.empty())
            return Made::None;
        EXPECT_EQ(created.size(), 1u);
        EXPECT_EQ(created.back().row, row);
        EXPECT_EQ(created.back().column, column);
        if (dynamic_cast<AUILib::ComboBox*>(created.back().editor))
            return Made::Combo;
        if (dynamic_cast<AUILib::Edit*>(created.back().editor))
            return Made::Edit;
        ADD_FAILURE() << "an editor of another kind";
        return Made::None;
    }

    void CloseOpenEditor()
    {
        if (AUILib::ItemDelegate* delegate = list->GetImpl()->delegate)
            delegate->CloseEditors();
        QApplication::processEvents();
    }

    struct Created {
        int row;
        int column;
        AUILib::BaseGUIObject* editor;
    };
    std::vector<Created> created;
};

TEST_F(ListBoxEditorTest, EditableColumnAndItemModesChooseTheEditor)
{
    const ListBox::Editable editables[] = {ListBox::EditableOff, ListBox::EditableBorder, ListBox::EditableFrameless,
                                           ListBox::EditableAllColumns};
    const int columnModes[] = {-1, ListBox::EditNone, ListBox::EditText, ListBox::EditCombo};
    const int itemModes[] = {-1, ListBox::EditNone, ListBox::EditText, ListBox::EditCombo};
    int editors = 0;
    for (ListBox::Editable editable : editables) {
        for (int column : {0, 1}) {
            for (int columnMode : columnModes) {
                for (int itemMode : itemModes) {
                    SCOPED_TRACE(testing::Message() << "editable " << editable << " column " << column
                                                    << " column mode " << columnMode << " item mode " << itemMode);
                    TearDown();
                    SetUp();
                    list->SetEditItems(editable);
                    if (columnMode >= 0)
                        list->SetColumnEditMode(column, static_cast<ListBox::EditMode>(columnMode));
                    if (itemMode >= 0)
                        list->SetItemEditMode(0, column, static_cast<ListBox::EditMode>(itemMode));

                    Made expected = Made::None;
                    // An item whose mode is 0 is not editable: the table asks for no editor.
                    const bool asked = editable != ListBox::EditableOff && itemMode != ListBox::EditNone;
                    if (asked && columnMode != ListBox::EditNone &&
                        (column == 0 || editable == ListBox::EditableAllColumns)) {
                        if (itemMode == ListBox::EditCombo || columnMode == ListBox::EditCombo)
                            expected = Made::Combo;
                        else
                            expected = Made::Edit;
                    }
                    const Made made = Open(0, column);
                    EXPECT_EQ(NameOf(made), std::string(NameOf(expected)));
                    if (made != Made::None) {
                        ++editors;
                        EXPECT_EQ(list->GetImpl()->editRow, 0);
                        EXPECT_EQ(list->GetImpl()->editColumn, column);
                    }
                    CloseOpenEditor();
                }
            }
        }
    }
    EXPECT_GT(editors, 10);
}

TEST_F(ListBoxEditorTest, EditingReportsTheRowAndBothTextsOnClose)
{
    list->SetEditItems(ListBox::EditableBorder);
    SignalRecorder<int, AUILib::Edit*> editorCreated(list->OnEditorCreated);
    SignalRecorder<int> finished(list->OnEditFinished);
    SignalRecorder<int, int, std::wstring, std::wstring> edited(list->OnCellEdited);
    ASSERT_EQ(Open(0, 0), Made::Edit);
    ASSERT_EQ(editorCreated.Count(), 1u);
    EXPECT_EQ(std::get<0>(editorCreated.Last()), 0);

    auto* line = qobject_cast<QLineEdit*>(list->GetImpl()->delegate->editEditor->GetBaseImpl()->GetWndPtr());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->parentWidget(), table());
    EXPECT_EQ(line->text(), "alpha");
    EXPECT_TRUE(line->styleSheet().contains("border: 1px solid #"));
    // The selection highlight is hidden while the editor is open.
    EXPECT_EQ(table()->palette().color(QPalette::Highlight), table()->palette().color(QPalette::Base));

    line->setText("omega");
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(finished.Count(), 1u);
    EXPECT_EQ(std::get<0>(finished.Last()), 0);
    ASSERT_EQ(edited.Count(), 1u);
    EXPECT_EQ(edited.Last(), std::make_tuple(0, 0, std::wstring(L"alpha"), std::wstring(L"omega")));
    EXPECT_EQ(list->GetItem(0, 0), L"omega");
    EXPECT_FALSE(list->GetImpl()->delegate->editEditor);
    EXPECT_TRUE(list->GetImpl()->delegate->textBeforeEdit.empty());
    EXPECT_NE(table()->palette().color(QPalette::Highlight), table()->palette().color(QPalette::Base));
}

TEST_F(ListBoxEditorTest, AllColumnsModeReportsNoEditFinishedButTheCellEdit)
{
    list->SetEditItems(ListBox::EditableAllColumns);
    SignalRecorder<int, AUILib::Edit*> editorCreated(list->OnEditorCreated);
    SignalRecorder<int> finished(list->OnEditFinished);
    SignalRecorder<int, int, std::wstring, std::wstring> edited(list->OnCellEdited);
    ASSERT_EQ(Open(0, 1), Made::Edit);
    EXPECT_EQ(editorCreated.Count(), 0u);
    CloseOpenEditor();
    EXPECT_EQ(finished.Count(), 0u);
    ASSERT_EQ(edited.Count(), 1u);
    EXPECT_EQ(edited.Last(), std::make_tuple(0, 1, std::wstring(L"beta"), std::wstring(L"beta")));
}

TEST_F(ListBoxEditorTest, FramelessEditorClosedByTheWheelAtOnce)
{
    list->SetEditItems(ListBox::EditableFrameless);
    ASSERT_EQ(Open(0, 0), Made::Edit);
    QPointer<QWidget> widget = list->GetImpl()->delegate->editEditor->GetBaseImpl()->GetWndPtr();
    auto* line = qobject_cast<QLineEdit*>(widget.data());
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->hasFrame());
    // Before the queued deselection runs.
    QWheelEvent wheel(QPointF(5, 5), table()->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(table()->viewport(), &wheel);
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(widget);
    EXPECT_FALSE(list->GetImpl()->delegate->editEditor);
}

TEST_F(ListBoxEditorTest, AHandlerMayDropTheListWhenTheEditorOpens)
{
    list->SetEditItems(ListBox::EditableBorder);
    QPointer<AUILib::ListBoxQt> widget = table();
    const QPoint at = CellCentre(0, 0);
    list->OnCellEditorCreated.Connect([this](int, int, AUILib::BaseGUIObject*) { list.reset(); });
    DoubleClick(widget, at);
    QApplication::processEvents();
    EXPECT_FALSE(list);
    ASSERT_TRUE(widget);
    widget->setCurrentCell(0, 0);
    QWheelEvent wheel(QPointF(5, 5), widget->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget->viewport(), &wheel);
    QTest::keyClick(widget, Qt::Key_Escape);
    QApplication::processEvents();
}

} // namespace
