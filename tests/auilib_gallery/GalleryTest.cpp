// The gallery form against the factory: every registered class name is used
// by a widget of the form, which loads as the control of that name with its
// type code; the lines take their direction from the form, the button box's
// OK and Cancel come wrapped, and the gallery's own fills arrive on show.
#include "GalleryDialog.h"
#include "WindowGuard.h"

#include "AUILibConfig.h"
#include "AUILibObjectFactory.h"
#include "BaseImpl.h"
#include "Button.h"
#include "ButtonImplQt.h"
#include "ButtonBox.h"
#include "CheckBox.h"
#include "ChildDialog.h"
#include "ComboBox.h"
#include "ComboBoxFS.h"
#include "ContextMenu.h"
#include "ControlType.h"
#include "DateEdit.h"
#include "DoubleSpinEdit.h"
#include "DrawElement.h"
#include "Edit.h"
#include "GroupBox.h"
#include "HyperLinkElement.h"
#include "Label.h"
#include "Line.h"
#include "ListBox.h"
#include "MultiLineEdit.h"
#include "ProgressBar.h"
#include "RadioButton.h"
#include "RichEdit.h"
#include "ScrollArea.h"
#include "ScrollBar.h"
#include "Slider.h"
#include "SpinEdit.h"
#include "Splitter.h"
#include "StackedDialog.h"
#include "TabView.h"
#include "TreeView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QScrollBar>
#include <QTreeView>
#include <QXmlStreamReader>

#include <memory>
#include <string>

using namespace AUILib;

namespace {

template <typename T>
bool Is(BaseGUIObject* control)
{
    return dynamic_cast<T*>(control) != nullptr;
}

struct Registered {
    const char* className;       // as the factory knows it
    const wchar_t* widgetName;   // the gallery's widget using it
    bool (*is)(BaseGUIObject*);
    ControlType type;
    const char* qtBase;          // the Qt class the widget is
};

const Registered kRegistered[] = {
    {"QScrollArea", L"scrollArea", Is<ScrollArea>, ControlTypeScrollArea, "QScrollArea"},
    {"QPushButton", L"pushButton", Is<Button>, ControlTypeButton, "QPushButton"},
    {"QLineEdit", L"lineEdit", Is<Edit>, ControlTypeEdit, "QLineEdit"},
    {"QPlainTextEdit", L"plainTextEdit", Is<MultiLineEdit>, ControlTypeMultiLineEdit, "QPlainTextEdit"},
    {"QTextEdit", L"textEdit", Is<RichEdit>, ControlTypeRichEdit, "QTextEdit"},
    {"QTableWidget", L"tableWidget", Is<ListBox>, ControlTypeListBox, "QWidget"},
    {"QListWidget", L"listWidget", Is<ListBox>, ControlTypeListBox, "QWidget"},
    {"QCheckBox", L"checkBox", Is<CheckBox>, ControlTypeCheckBox, "QCheckBox"},
    {"QRadioButton", L"radioButton", Is<RadioButton>, ControlTypeRadioButton, "QRadioButton"},
    {"QGroupBox", L"groupBox", Is<GroupBox>, ControlTypeGroupBox, "QGroupBox"},
    {"QComboBox", L"comboBox", Is<ComboBox>, ControlTypeComboBox, "QWidget"},
    {"QLabel", L"label", Is<Label>, ControlTypeLabel, "QLabel"},
    {"QTabWidget", L"tabWidget", Is<TabView>, ControlTypeTabView, "QTabWidget"},
    {"QWidget", L"editsPanel", Is<ChildDialog>, ControlTypeChildDialog, "QWidget"},
    {"QSlider", L"slider", Is<Slider>, ControlTypeSlider, "QSlider"},
    {"QScrollBar", L"scrollBar", Is<ScrollBar>, ControlTypeScrollBar, "QScrollBar"},
    {"QSpinBox", L"spinBox", Is<SpinEdit>, ControlTypeSpinEdit, "QAbstractSpinBox"},
    {"QDoubleSpinBox", L"doubleSpinBox", Is<DoubleSpinEdit>, ControlTypeDoubleSpinEdit, "QAbstractSpinBox"},
    {"QStackedWidget", L"stackedWidget", Is<StackedDialog>, ControlTypeStackedDialog, "QStackedWidget"},
    {"QDialogButtonBox", L"buttonBox", Is<ButtonBox>, ControlTypeButtonBox, "QDialogButtonBox"},
    {"QTreeView", L"treeView", Is<TreeView>, ControlTypeTreeView, "QWidget"},
    {"QSplitter", L"splitter", Is<Splitter>, ControlTypeSplitter, "QSplitter"},
    {"QDateEdit", L"dateEdit", Is<DateEdit>, ControlTypeDateEdit, "QDateTimeEdit"},
    {"Line", L"lineVertical", Is<Line>, ControlTypeLine, "QFrame"},
    {"HyperLinkElement", L"hyperLink", Is<HyperLinkElement>, ControlTypeHyperLinkElement, "QLabel"},
    {"DrawElement", L"drawElement", Is<DrawElement>, ControlTypeDrawElement, "QWidget"},
    {"QProgressBar", L"progressBar", Is<ProgressBar>, ControlTypeProgressBar, "QProgressBar"},
    {"QComboBoxFS", L"comboBoxFS", Is<ComboBoxFS>, ControlTypeComboBoxFS, "QWidget"},
};

class Gallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetWorkingDirPath(L"" AUILIB_GALLERY_WORKING_DIR); }
};

QWidget* WidgetOf(BaseGUIObject* control) { return control ? control->GetBaseImpl()->GetWndPtr() : nullptr; }

// The class names the plain form's widgets use.
QSet<QString> FormClassNames()
{
    QFile file(QStringLiteral(AUILIB_GALLERY_FORM_PLAIN));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QSet<QString> names;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("widget"))
            names.insert(xml.attributes().value(QLatin1String("class")).toString());
    }
    EXPECT_FALSE(xml.hasError());
    return names;
}

TEST_F(Gallery, EveryRegisteredClassLoadsAsItsControl)
{
    // The table is the factory's: 28 names, each one it creates.
    QSet<QString> tableNames;
    for (const Registered& r : kRegistered) {
        SCOPED_TRACE(r.className);
        tableNames.insert(QLatin1String(r.className));
        auto made = AUILibObjectFactory::Instance()->Create(r.className);
        ASSERT_TRUE(made);
        EXPECT_EQ(made->GetControlType(), r.type);
    }
    EXPECT_EQ(tableNames.size(), 28);
    QSet<QString> formNames = FormClassNames();
    formNames.remove(QStringLiteral("QDialog"));   // the root is the dialog itself
    EXPECT_EQ(formNames, tableNames);

    GalleryDialog gallery;
    ClosingWindowGuard guard(gallery.GetWndPtr());
    for (const Registered& r : kRegistered) {
        SCOPED_TRACE(r.className);
        auto control = gallery.GetElementByName(r.widgetName);
        ASSERT_TRUE(control);
        EXPECT_TRUE(r.is(control.get()));
        EXPECT_EQ(control->GetControlType(), r.type);
        QWidget* widget = WidgetOf(control.get());
        ASSERT_TRUE(widget);
        EXPECT_TRUE(widget->inherits(r.qtBase)) << widget->metaObject()->className();
        EXPECT_TRUE(gallery.GetWndPtr()->isAncestorOf(widget));
    }

    // The lines take their direction from the form.
    auto* vertical = qobject_cast<QFrame*>(WidgetOf(gallery.GetElementByName(L"lineVertical").get()));
    auto* horizontal = qobject_cast<QFrame*>(WidgetOf(gallery.GetElementByName(L"lineHorizontal").get()));
    ASSERT_TRUE(vertical && horizontal);
    EXPECT_EQ(vertical->frameShape(), QFrame::VLine);
    EXPECT_EQ(horizontal->frameShape(), QFrame::HLine);

    // OK and Cancel come wrapped, with their English texts.
    auto* box = gallery.GetControlPtr<ButtonBox*>(L"buttonBox");
    ASSERT_TRUE(box);
    auto* boxWidget = qobject_cast<QDialogButtonBox*>(WidgetOf(box));
    ASSERT_TRUE(boxWidget);
    const struct {
        StandardButton which;
        QDialogButtonBox::StandardButton qt;
        const char* text;
    } kBoxButtons[] = {{Ok, QDialogButtonBox::Ok, "OK"}, {Cancel, QDialogButtonBox::Cancel, "Cancel"}};
    for (const auto& b : kBoxButtons) {
        SCOPED_TRACE(b.text);
        std::shared_ptr<Button> wrapped = box->GetButton(b.which);
        ASSERT_TRUE(wrapped);
        QPushButton* push = boxWidget->button(b.qt);
        ASSERT_TRUE(push);
        EXPECT_EQ(WidgetOf(wrapped.get()), push);
        EXPECT_EQ(push->text(), QLatin1String(b.text));
    }
    EXPECT_FALSE(box->GetButton(Help));

    // Containers keep what the form put into them.
    EXPECT_TRUE(gallery.GetElementByName(L"scrollLabel"));
    EXPECT_TRUE(gallery.GetElementByName(L"listPage"));
}

TEST_F(Gallery, ShowingFillsWhatTheFormCannot)
{
    GalleryDialog gallery;
    ClosingWindowGuard guard(gallery.GetWndPtr());
    auto* progress = gallery.GetControlPtr<ProgressBar*>(L"progressBar");
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetValue(), 0);

    gallery.DoModeless();
    EXPECT_EQ(progress->GetValue(), 70);

    auto* spin = gallery.GetControlPtr<SpinEdit*>(L"spinBox");
    ASSERT_TRUE(spin);
    EXPECT_EQ(spin->GetValue(), 42);

    auto* date = gallery.GetControlPtr<DateEdit*>(L"dateEdit");
    ASSERT_TRUE(date);
    const KwDateTime day = date->GetDateTime();
    EXPECT_EQ(day.year, 2024);
    EXPECT_EQ(day.month, 2);
    EXPECT_EQ(day.day, 29);

    // The first word bold, the rest not.
    auto* rich = qobject_cast<QTextEdit*>(WidgetOf(gallery.GetElementByName(L"textEdit").get()));
    ASSERT_TRUE(rich);
    EXPECT_TRUE(rich->toPlainText().startsWith(QLatin1String("Bold rich text")));
    QTextCursor cursor(rich->document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(10);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);

    auto* button = gallery.GetControlPtr<Button*>(L"pushButton");
    ASSERT_TRUE(button);
    auto* buttonImpl = dynamic_cast<Button::impl*>(button->GetBaseImpl().get());
    ASSERT_TRUE(buttonImpl);
    ASSERT_TRUE(buttonImpl->GetMenu());
    EXPECT_EQ(buttonImpl->GetMenu()->Count(), 3);   // two commands and a separator
    EXPECT_TRUE(buttonImpl->HasMenuFlag());

    // Checks on three levels of the tree.
    auto* tree = gallery.GetControlPtr<TreeView*>(L"treeView");
    ASSERT_TRUE(tree);
    QStandardItem* reader = tree->GetRootItem();
    ASSERT_TRUE(reader);
    QStandardItem* addOns = tree->GetFirstChild(reader);
    ASSERT_TRUE(addOns);
    QStandardItem* ocr = tree->GetFirstChild(addOns);
    ASSERT_TRUE(ocr);
    EXPECT_EQ(tree->GetItemText(ocr), L"OCR pack");
    EXPECT_TRUE(tree->GetCheck(ocr));
    EXPECT_EQ(tree->ChildCount(nullptr, true), 5);
    EXPECT_TRUE(tree->IsExpanded(addOns));

    // Columns, checked rows and pictures in the table; rows in the list.
    auto* table = gallery.GetControlPtr<ListBox*>(L"tableWidget");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->GetColumnsCount(), 3);
    ASSERT_EQ(table->Count(), 3);
    EXPECT_EQ(table->GetItem(1, 1), L"3.2");
    EXPECT_TRUE(table->GetCheck(0));
    EXPECT_FALSE(table->GetCheck(2));
    auto* list = gallery.GetControlPtr<ListBox*>(L"listWidget");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Count(), 3);

    // A header, entries and a separator in the combo box; folders in the
    // folder chooser.
    auto* combo = gallery.GetControlPtr<ComboBox*>(L"comboBox");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->Count(), 5);
    EXPECT_EQ(combo->GetItemText(0), L"Languages");
    EXPECT_EQ(combo->GetCurSel(), 1);
    auto* folders = gallery.GetControlPtr<ComboBoxFS*>(L"comboBoxFS");
    ASSERT_TRUE(folders);
    EXPECT_GT(folders->Count(), 1);   // standard folders and the browse entry

    // The whole tree shows, without scrolling: the gallery's pictures cut it.
    auto* treeView = qobject_cast<QTreeView*>(WidgetOf(tree));
    ASSERT_TRUE(treeView);
    QCoreApplication::processEvents();
    EXPECT_FALSE(treeView->verticalScrollBar()->isVisible());
    EXPECT_FALSE(treeView->horizontalScrollBar()->isVisible());
    QModelIndex last = treeView->model()->index(treeView->model()->rowCount() - 1, 0);
    while (treeView->isExpanded(last) && treeView->model()->rowCount(last) > 0)
        last = treeView->model()->index(treeView->model()->rowCount(last) - 1, 0, last);
    EXPECT_LE(treeView->visualRect(last).bottom(), treeView->viewport()->height());

    // A second show fills afresh instead of adding to what is there.
    gallery.DoModeless();
    EXPECT_EQ(table->Count(), 3);
    EXPECT_EQ(combo->Count(), 5);
    EXPECT_EQ(tree->ChildCount(nullptr, true), 5);
}

} // namespace
