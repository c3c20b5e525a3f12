// The control factory: every form class name makes its control with its type
// code and widget class, the widget without a parent until Create places it.
#include "AUILibConfig.h"
#include "AUILibObjectFactory.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"
#include "Button.h"
#include "ButtonBox.h"
#include "ButtonBoxImplQt.h"
#include "ButtonQt.h"
#include "ListBox.h"
#include "Label.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeView>

#include <memory>

using namespace AUILib;

namespace {

struct FactoryRow {
    const char* className;
    ControlType type;
    const char* widgetClass;   // the library's widget class
    const char* qtBase;        // the Qt class it derives from
    bool recordsParent;
};

const FactoryRow kRows[] = {
    {"QScrollArea", ControlTypeScrollArea, "AUILib::ScrollAreaQt", "QScrollArea", true},
    {"QPushButton", ControlTypeButton, "AUILib::ButtonQt", "QPushButton", true},
    {"QLineEdit", ControlTypeEdit, "AUILib::EditQt", "QLineEdit", true},
    {"QPlainTextEdit", ControlTypeMultiLineEdit, "AUILib::MultiLineEditQt", "QPlainTextEdit", true},
    {"QTextEdit", ControlTypeRichEdit, "AUILib::RichEditQt", "QTextEdit", true},
    {"QTableWidget", ControlTypeListBox, "AUILib::ListBoxQt", "QTableWidget", true},
    {"QListWidget", ControlTypeListBox, "AUILib::ListBoxQt", "QTableWidget", true},
    {"QCheckBox", ControlTypeCheckBox, "AUILib::CheckBoxQt", "QCheckBox", true},
    {"QRadioButton", ControlTypeRadioButton, "AUILib::RadioButtonQt", "QRadioButton", true},
    {"QGroupBox", ControlTypeGroupBox, "AUILib::GroupBoxQt", "QGroupBox", true},
    {"QComboBox", ControlTypeComboBox, "AUILib::ComboBoxQt", "QComboBox", true},
    {"QLabel", ControlTypeLabel, "AUILib::LabelQt", "QLabel", true},
    {"QTabWidget", ControlTypeTabView, "AUILib::TabViewQt", "QTabWidget", true},
    {"QWidget", ControlTypeChildDialog, "AUILib::ChildDialogQt", "QWidget", true},
    {"QSlider", ControlTypeSlider, "AUILib::SliderQt", "QSlider", true},
    {"QScrollBar", ControlTypeScrollBar, "AUILib::ScrollBarQt", "QScrollBar", true},
    {"QSpinBox", ControlTypeSpinEdit, "AUILib::SpinEditQt", "QAbstractSpinBox", true},
    {"QDoubleSpinBox", ControlTypeDoubleSpinEdit, "AUILib::DoubleSpinEditQt", "QDoubleSpinBox", true},
    {"QStackedWidget", ControlTypeStackedDialog, "AUILib::StackedDialogQt", "QStackedWidget", true},
    {"QDialogButtonBox", ControlTypeButtonBox, "AUILib::ButtonBoxQt", "QDialogButtonBox", true},
    {"QTreeView", ControlTypeTreeView, "AUILib::TreeViewQt", "QTreeView", true},
    {"QSplitter", ControlTypeSplitter, "AUILib::SplitterQt", "QSplitter", true},
    {"QDateEdit", ControlTypeDateEdit, "AUILib::DateEditQt", "QDateEdit", true},
    {"Line", ControlTypeLine, "AUILib::LineQt", "QFrame", false},
    {"HyperLinkElement", ControlTypeHyperLinkElement, "AUILib::HyperLinkElementQt", "QLabel", false},
    {"DrawElement", ControlTypeDrawElement, "AUILib::DrawElementQt", "QWidget", false},
    {"QProgressBar", ControlTypeProgressBar, "AUILib::ProgressBarQt", "QProgressBar", true},
    {"QComboBoxFS", ControlTypeComboBoxFS, "AUILib::ComboBoxFSQt", "QComboBox", true},
};

} // namespace

TEST(ControlFactory, EveryFormClassMakesItsControlWithAWidgetPlacedOnlyByCreate)
{
    GetCurrentLanguage();  // the configuration exists
    QWidget parent;
    for (const FactoryRow& row : kRows) {
        SCOPED_TRACE(row.className);
        std::shared_ptr<BaseGUIObject> control = AUILibObjectFactory::Instance()->Create(row.className);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->GetControlType(), row.type);
        std::shared_ptr<BaseImpl> impl = control->GetBaseImpl();
        ASSERT_TRUE(impl);
        QWidget* widget = impl->GetWndPtr();
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.widgetClass);
        EXPECT_TRUE(widget->inherits(row.qtBase));
        EXPECT_EQ(widget->parentWidget(), nullptr);
        EXPECT_EQ(control->GetParentWindow(), nullptr);

        EXPECT_TRUE(control->Create(&parent));
        EXPECT_EQ(widget->parentWidget(), &parent);
        EXPECT_EQ(control->GetParentWindow(), row.recordsParent ? &parent : nullptr);
        EXPECT_EQ(control->GetSkinManager(), GetGlobalSkinManager());
    }
    EXPECT_EQ(parent.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
              static_cast<int>(std::size(kRows)));
}

TEST(ControlFactory, EachCallMakesANewControl)
{
    auto first = AUILibObjectFactory::Instance()->Create("QTableWidget");
    auto second = AUILibObjectFactory::Instance()->Create("QListWidget");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::dynamic_pointer_cast<ListBox>(first));
    EXPECT_TRUE(std::dynamic_pointer_cast<ListBox>(second));
    EXPECT_NE(first->GetBaseImpl()->GetWndPtr(), second->GetBaseImpl()->GetWndPtr());
    delete first->GetBaseImpl()->GetWndPtr();
    delete second->GetBaseImpl()->GetWndPtr();
}

TEST(ControlFactory, UnregisteredNamesGiveNothing)
{
    for (const char* name : {"qlabel", "QDialog", "QFrame", "QMenu", "", "QLabel "}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(AUILibObjectFactory::Instance()->Create(name));
    }
}

namespace {

struct CountingCreator : ICreator {
    std::shared_ptr<BaseGUIObject> Create() override
    {
        ++calls;
        return nullptr;
    }
    int calls = 0;
};

} // namespace

TEST(ControlFactory, ASecondRegistrationKeepsTheFirstCreator)
{
    GetCurrentLanguage();
    auto other = std::make_shared<CountingCreator>();
    AUILibObjectFactory::Instance()->Register("QLabel", other);
    auto control = AUILibObjectFactory::Instance()->Create("QLabel");
    ASSERT_TRUE(control);
    EXPECT_TRUE(std::dynamic_pointer_cast<Label>(control));
    EXPECT_EQ(other->calls, 0);
    delete control->GetBaseImpl()->GetWndPtr();

    // An empty creator is never stored, so the name stays unknown.
    AUILibObjectFactory::Instance()->Register("NoCreator", nullptr);
    EXPECT_FALSE(AUILibObjectFactory::Instance()->Create("NoCreator"));
    AUILibObjectFactory::Instance()->Register("Counted", other);
    EXPECT_FALSE(AUILibObjectFactory::Instance()->Create("Counted"));
    EXPECT_EQ(other->calls, 1);
}

TEST(ControlFactory, ButtonConstructorsMakeOrWrapTheirPushButton)
{
    auto own = std::make_shared<Button>();
    auto* widget = qobject_cast<ButtonQt*>(own->GetBaseImpl()->GetWndPtr());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->GetOwner(), own.get());
    EXPECT_EQ(widget->GetArrowMargin(), 3);
    QWidget parent;
    own->Create(&parent);
    own.reset();
    EXPECT_EQ(widget->GetOwner(), nullptr);  // the widget outlives its button

    QPushButton plain(&parent);
    Button wrapper(&plain);
    EXPECT_EQ(wrapper.GetControlType(), ControlTypeButton);
    EXPECT_EQ(wrapper.GetBaseImpl()->GetWndPtr(), &plain);
}

TEST(ControlFactory, ButtonBoxFindsTheWrappedStandardButtons)
{
    ButtonBox box;
    auto* widget = qobject_cast<QDialogButtonBox*>(box.GetBaseImpl()->GetWndPtr());
    ASSERT_NE(widget, nullptr);
    widget->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    EXPECT_FALSE(box.GetButton(Ok));  // nothing wrapped yet

    // Form loading appends the wrappers through the implementation.
    auto impl = std::static_pointer_cast<ButtonBox::impl>(box.GetBaseImpl());
    auto ok = std::make_shared<Button>(widget->button(QDialogButtonBox::Ok));
    auto cancel = std::make_shared<Button>(widget->button(QDialogButtonBox::Cancel));
    impl->AppendButton(ok);
    impl->AppendButton(cancel);

    EXPECT_EQ(box.GetButton(Ok), ok);
    EXPECT_EQ(box.GetButton(Cancel), cancel);
    EXPECT_EQ(box.GetButton(Ok), ok);
    EXPECT_FALSE(box.GetButton(Help));  // shown, never wrapped
    EXPECT_FALSE(box.GetButton(Yes));   // not shown
    delete widget;
    EXPECT_FALSE(box.GetButton(Ok));    // the box is gone
}
