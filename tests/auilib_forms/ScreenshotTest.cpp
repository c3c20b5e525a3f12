// A picture of the main fixture loaded in German through Dialog: translated
// texts and box buttons, both lines.
#include "FormTestSupport.h"
#include "PicturePixels.h"
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
    // The window in its palette, the OK button's German text on the button.
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(1, 1)), window->palette().color(QPalette::Window));
    QPushButton* ok = box->button(QDialogButtonBox::Ok);
    EXPECT_GT(PixelsAwayFrom(picture, RectInWindow(ok), ok->palette().color(QPalette::Button), 200), 20);
}

} // namespace
