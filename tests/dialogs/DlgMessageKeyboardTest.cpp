// The box that waits while the reader runs: Return, with the box as it opens,
// answers "Retry"; Cancel still takes Return once the user has moved to it.
#include "DlgMessage.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <gtest/gtest.h>

namespace {

// Runs the box modally; once it is active, Return goes to whatever has the focus.
bool returnAnswersOk(DlgMessage& box, const std::function<void()>& before)
{
    QTimer::singleShot(0, &box, [&] {
        QApplication::setActiveWindow(&box);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        before();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &box;
        QTest::keyClick(target, Qt::Key_Return);
        if (box.isVisible())
            box.reject();   // Return did nothing
    });
    box.exec();
    return box.bOkClicked;
}

} // namespace

TEST(DlgMessageKeyboard, ReturnRetriesUnlessTheUserMovedToCancel)
{
    struct Case { const char* what; bool moveToCancel; bool ok; };
    const Case cases[] = {
        {"as it opens", false, true},
        {"after tabbing to Cancel", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DlgMessage box;
        box.setInformation(QStringLiteral("Download completed. Please close the reader and click \"Install\"."));
        box.setOkButtonText(QStringLiteral("Retry"));
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("pushButton_ok"));
        auto* cancel = box.findChild<QPushButton*>(QStringLiteral("pushButton_cancel"));
        EXPECT_TRUE(ok->isDefault());
        const bool answered = returnAnswersOk(box, [&] {
            EXPECT_EQ(QApplication::focusWidget(), ok);
            if (c.moveToCancel)
                cancel->setFocus(Qt::TabFocusReason);
        });
        EXPECT_EQ(answered, c.ok);
    }
}
