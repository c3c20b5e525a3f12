// A picture of the main fixture loaded in German through Dialog: translated
// texts and box buttons, both lines.
#include "FormTestSupport.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

namespace {

TEST(Screenshot, MainFormInGerman)
{
    GermanStrings strings;
    VetoDialog dialog(FormPath("main"));
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);
    dialog.DoModeless();
    auto* box = window->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->button(QDialogButtonBox::Ok)->text(), "Übernehmen");
    EXPECT_EQ(window->windowTitle(), "Hauptformular");
    const QString path = saveScreenshot(window, "auilib_main_form_de");
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
