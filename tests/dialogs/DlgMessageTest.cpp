#include "DlgMessage.h"
#include "PicturePixels.h"
#include "Screenshot.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <gtest/gtest.h>

namespace {

QPushButton* button(DlgMessage& box, const char* name)
{
    return box.findChild<QPushButton*>(QLatin1String(name));
}

// Runs the box modally and lets `answer` act on it once it is shown.
int runWith(DlgMessage& box, const std::function<void()>& answer)
{
    QTimer::singleShot(0, &box, answer);
    return box.exec();
}

} // namespace

TEST(DlgMessage, OkSetsTheFlagAndEveryWayOutReturnsRejected)
{
    struct Case {
        const char* what;
        std::function<void(DlgMessage&)> act;
        bool ok;
    };
    const Case cases[] = {
        {"ok", [](DlgMessage& b) { QTest::mouseClick(button(b, "pushButton_ok"), Qt::LeftButton); }, true},
        {"cancel", [](DlgMessage& b) { QTest::mouseClick(button(b, "pushButton_cancel"), Qt::LeftButton); }, false},
        {"close control", [](DlgMessage& b) { b.close(); }, false},
        {"escape", [](DlgMessage& b) { QTest::keyClick(&b, Qt::Key_Escape); }, false},
    };
    for (const Case& c : cases) {
        DlgMessage box;
        const int result = runWith(box, [&] { c.act(box); });
        EXPECT_EQ(result, 0) << c.what;
        EXPECT_EQ(box.bOkClicked, c.ok) << c.what;
    }
}

TEST(DlgMessage, ButtonModesAndFixedWrappedLayout)
{
    DlgMessage box;
    box.show();
    EXPECT_EQ(box.size(), QSize(404, 139));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Velto Updater"));

    box.setStandardButtonsOk();
    EXPECT_FALSE(button(box, "pushButton_cancel")->isVisible());
    EXPECT_EQ(button(box, "pushButton_ok")->text(), QStringLiteral("OK"));

    box.setOkButtonText(QStringLiteral("Retry"));
    EXPECT_TRUE(button(box, "pushButton_cancel")->isVisible());
    EXPECT_EQ(button(box, "pushButton_ok")->text(), QStringLiteral("Retry"));

    auto* label = box.findChild<QLabel*>(QStringLiteral("label"));
    box.setInformation(QStringLiteral("Download completed. Please close Velto PDF Reader when you complete "
                                      "your job, and click \"Install\". ").repeated(2));
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->alignment(), Qt::AlignTop);
    EXPECT_EQ(box.size(), QSize(404, 139));
    const QString shot = saveScreenshot(&box, QStringLiteral("message-box-retry"));
    ASSERT_FALSE(shot.isEmpty());
    const QImage picture(shot);
    EXPECT_EQ(picture.size(), QSize(404, 139));
    // The wrapped message is drawn: text on both of its lines.
    const QRect text = RectInWindow(label);
    const QColor background = DominantColour(picture);
    const int line = label->fontMetrics().height();
    EXPECT_GT(PixelsAwayFrom(picture, QRect(text.left(), text.top(), text.width(), line), background), 50);
    EXPECT_GT(PixelsAwayFrom(picture, QRect(text.left(), text.top() + line, text.width(), line), background), 50);
}
