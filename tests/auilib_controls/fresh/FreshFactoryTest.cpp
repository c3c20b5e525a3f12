// A process whose first library call is a factory lookup (a dialog loading
// its form first thing) finds every control registered.
#include "AUILibObjectFactory.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

TEST(FreshFactory, TheFirstLookupOfAProcessResolves)
{
    std::shared_ptr<AUILib::BaseGUIObject> label = AUILib::AUILibObjectFactory::Instance()->Create("QLabel");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->GetControlType(), AUILib::ControlTypeLabel);
    delete label->GetBaseImpl()->GetWndPtr();
    EXPECT_TRUE(AUILib::AUILibObjectFactory::Instance()->Create("QComboBoxFS"));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
