// The public dialog: closing through FilterDone, lifetime of the window
// beyond the dialog, fit-to-screen, tool-tip texts and cursors.
#include "AgnosticUIException.h"
#include "PngBytes.h"
#include "Button.h"
#include "ButtonBoxImplQt.h"
#include "DialogQt.h"
#include "FormTestSupport.h"
#include "Label.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTest>
#include <QToolTip>

namespace {

TEST(Dialogs, FilterDoneVetoKeepsWindowOpen)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    QPointer<QWidget> window = dialog.GetWndPtr();
    WindowGuard guard(window);
    dialog.veto = true;
    dialog.DoModeless();
    auto* qdialog = static_cast<QDialog*>(window.data());

    dialog.Done(AUILib::Dialog::DoneOK);
    qdialog->accept();
    QTest::keyClick(qdialog, Qt::Key_Escape);
    EXPECT_FALSE(qdialog->close());
    RunDeferredDeletes();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialog.seen, (std::vector<int>{1, 1, 0, 0}));

    // The Dialog's own result codes pass through unchanged.
    dialog.veto = false;
    dialog.Done(static_cast<AUILib::Dialog::DoneState>(7));
    EXPECT_EQ(qdialog->result(), 7);
    RunDeferredDeletes();
    EXPECT_FALSE(window);
    EXPECT_FALSE(dialog.GetWndPtr());
    EXPECT_THROW(dialog.Done(AUILib::Dialog::DoneOK), AUILib::AgnosticUIException);
    try {
        dialog.Done(AUILib::Dialog::DoneOK);
    } catch (const AUILib::AgnosticUIException& e) {
        EXPECT_STREQ(e.what(), "../include/Qt/DialogImplQt.h: 649 \"Invalid Control!");
    }
    // Without a window the dialog's operations do nothing.
    dialog.Show(true, true);
    dialog.Update();
    EXPECT_EQ(dialog.DoModal(), 0);
    EXPECT_EQ(dialog.GetBackgroundColor(), 0);
}

TEST(Dialogs, RejectClosesDespiteVetoAndEscapeNeedsCloseHint)
{
    GermanStrings strings(false);
    {
        VetoDialog dialog(FormPath("main"));
        QPointer<QWidget> window = dialog.GetWndPtr();
        dialog.veto = true;
        dialog.DoModeless();
        static_cast<QDialog*>(window.data())->reject();
        RunDeferredDeletes();
        EXPECT_FALSE(window);
        EXPECT_TRUE(dialog.seen.empty());
    }
    {
        VetoDialog dialog(FormPath("main"), nullptr, 0x80u | Qt::Dialog | Qt::WindowTitleHint);
        QPointer<QWidget> window = dialog.GetWndPtr();
        WindowGuard guard(window);
        dialog.DoModeless();
        QTest::keyClick(window.data(), Qt::Key_Escape);
        RunDeferredDeletes();
        ASSERT_TRUE(window);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(dialog.seen.empty());
    }
}

TEST(Dialogs, ModalResultAndValuesReadInFilterDone)
{
    GermanStrings strings(false);
    struct Modal : VetoDialog {
        using VetoDialog::VetoDialog;
        bool InitializeControls() override
        {
            initialized = true;
            QTimer::singleShot(0, GetWndPtr(), [this]() { Done(DoneOK); });
            return true;
        }
        int FilterDone(int result) override
        {
            text = static_cast<QPushButton*>(GetElementByName(L"pushButton")->GetPlatformWindow())->text();
            return VetoDialog::FilterDone(result);
        }
        bool initialized = false;
        QString text;
    };
    Modal dialog(FormPath("main"));
    QPointer<QWidget> window = dialog.GetWndPtr();
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_TRUE(dialog.initialized);
    EXPECT_TRUE(dialog.IsModal());
    EXPECT_EQ(dialog.text, "Press me");
    EXPECT_FALSE(window);   // deleted on return
    EXPECT_FALSE(dialog.GetElementByName(L"pushButton")->GetPlatformWindow());
}

TEST(Dialogs, WindowOutlivesDialog)
{
    GermanStrings strings(false);
    auto dialog = std::make_unique<VetoDialog>(FormPath("main"));
    QPointer<QWidget> window = dialog->GetWndPtr();
    dialog->veto = true;
    int resizes = 0;
    dialog->OnResize.Connect([&resizes]() { ++resizes; });
    QWidget parent;
    dialog->DoModeless(&parent);
    EXPECT_EQ(window->parentWidget(), &parent);
    EXPECT_TRUE(window->isWindow());
    auto* box = window->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_TRUE(box);
    QPointer<QPushButton> ok = box->button(QDialogButtonBox::Ok);
    QPointer<QPushButton> cancel = box->button(QDialogButtonBox::Cancel);
    // The implementation may be held longer than the dialog: its filter
    // then acts without an owner.
    std::shared_ptr<AUILib::BaseImpl> held = dialog->GetBaseImpl();
    bool destroyedReported = false;
    dialog->OnDestroyed.Connect([&destroyedReported](AUILib::BaseGUIObject*) { destroyedReported = true; });
    EXPECT_GE(resizes, 1);
    const int resizesBefore = resizes;
    dialog.reset();
    EXPECT_FALSE(static_cast<AUILib::DialogQt*>(window.data())->GetOwner());

    window->resize(400, 300);
    QTest::mouseClick(ok, Qt::LeftButton);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTest::keyClick(window.data(), Qt::Key_Tab);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    // Without its Dialog the window is a plain QDialog: Escape rejects.
    QTest::keyClick(window.data(), Qt::Key_Escape);
    RunDeferredDeletes();
    EXPECT_FALSE(window);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(destroyedReported);
    EXPECT_EQ(resizes, resizesBefore);
    held.reset();
}

TEST(Dialogs, FitToScreenSmallAndLargeContent)
{
    GermanStrings strings(false);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (bool large : {false, true}) {
        SCOPED_TRACE(large ? "large" : "small");
        VetoDialog dialog(FormPath("scroll"), nullptr, 0, 0.5);
        QWidget* window = dialog.GetWndPtr();
        WindowGuard guard(window);
        auto* area = window->findChild<QScrollArea*>("scrollArea");
        ASSERT_TRUE(area);
        if (large)
            window->findChild<QLabel*>("contentLabel")->setMinimumSize(screen.width() * 2, screen.height() * 2);
        dialog.ResizeDialogAccordingScreen(dialog.GetElementByName(L"contentLabel").get());   // not the area's child
        EXPECT_FALSE(window->isVisible());
        dialog.ResizeDialogAccordingScreen(&dialog);
        EXPECT_TRUE(window->isVisible());
        const QMargins m = window->layout()->contentsMargins();
        const QSize hint = area->widget()->sizeHint();
        const int dw = window->frameGeometry().width() - window->geometry().width();
        if (!large) {
            EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            EXPECT_EQ(window->minimumSize(), QSize(hint.width() + dw + m.left() + m.right(),
                                                   hint.height() + dw + m.top() + m.bottom()));
        } else {
            EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            EXPECT_LE(window->minimumSize().width(), screen.width() / 2 + area->verticalScrollBar()->sizeHint().width());
            EXPECT_LE(window->minimumSize().height(), screen.height() / 2 + area->horizontalScrollBar()->sizeHint().height());
        }
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(area->minimumSize(), area->maximumSize());
        window->move(40, 50);
        const QPoint before = window->pos();
        dialog.ResizeDialogAccordingScreen(&dialog);
        EXPECT_EQ(window->pos(), before);
    }
    // A form whose first item is no scroll area is left alone, not shown.
    VetoDialog plain(FormPath("main"));
    WindowGuard guard(plain.GetWndPtr());
    plain.ResizeDialogAccordingScreen(&plain);
    EXPECT_FALSE(plain.GetWndPtr()->isVisible());
}

TEST(Dialogs, ToolTipTextTable)
{
    const QString div = "<div style = 'white-space:pre'>";
    const QString wide(400, QLatin1Char('x'));
    const struct {
        const char* name;
        QString text;
        QString title;
        int maxWidth;
        QString expected;
    } cases[] = {
        {"one-letter title, no width", "short", "T", 0, div + "<b>T</b><br>short</div>"},
        {"no title", "short", "", 0, div + "short</div>"},
        {"line feed without excess stays", "a\nb", "", 100000, div + "a\nb</div>"},
        {"wrapped at blanks", "ab cd", "", 1, div + "a<br>b <br>c<br>d</div>"},
        {"line feed in a wrapped text", "ab\ncd", "", 1, div + "a<br>b<br><br>c<br>d</div>"},
        {"long title raises the limit", "short", wide, 1, div + "<b>" + wide + "</b><br>short</div>"},
        {"one character is never wrapped", "W", "", 1, div + "W</div>"},
        {"markup inserted as given", "<i>x</i>", "<u>", 0, div + "<b><u></b><br><i>x</i></div>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AUILib::BuildToolTipText(c.text, c.title, c.maxWidth), c.expected);
    }

    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    WindowGuard guard(dialog.GetWndPtr());
    auto edit = dialog.GetElementByName(L"lineEdit");
    QRect area(1, 2, 3, 4);
    dialog.SetToolTip(edit, L"Name", L"T", 0, &area);
    dialog.SetToolTip(edit, L"Name again", L"", 0, nullptr);
    dialog.SetToolTip(nullptr, L"Whole dialog", L"", 0, nullptr);
    auto editImpl = std::dynamic_pointer_cast<AUILib::BaseImplQt>(edit->GetBaseImpl());
    ASSERT_EQ(editImpl->ToolTips().size(), 2u);
    EXPECT_EQ(editImpl->ToolTips()[0].area, area);
    EXPECT_EQ(editImpl->ToolTips()[1].text, div + "Name again</div>");
    const AUILib::Rect client = edit->GetClientRect();
    EXPECT_EQ(editImpl->ToolTips()[1].area, QRect(QPoint(client.left, client.top), QPoint(client.right, client.bottom)));
    EXPECT_EQ(edit->GetPlatformWindow()->accessibleName(), "Name again");
    EXPECT_EQ(dialog.Impl()->ToolTips().size(), 1u);
}

// The shape on top of the override stack, -1 when the stack is empty.
int OverrideShape()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? static_cast<int>(cursor->shape()) : -1;
}

TEST(Dialogs, CursorTable)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    const int none = -1;

    dialog.SetCursorType(AUILib::CursorIBeam);
    EXPECT_EQ(OverrideShape(), static_cast<int>(Qt::IBeamCursor));
    dialog.SetCursorType(AUILib::CursorNormal);   // window's own cursor is the arrow
    EXPECT_EQ(OverrideShape(), none);

    window->setCursor(Qt::CrossCursor);
    dialog.SetCursorType(AUILib::CursorIBeam);
    dialog.SetCursorType(AUILib::CursorNormal);   // another own cursor: the stack stays
    EXPECT_EQ(OverrideShape(), static_cast<int>(Qt::IBeamCursor));
    QGuiApplication::restoreOverrideCursor();
    window->unsetCursor();

    dialog.SetCursorType(AUILib::CursorCustom);   // none loaded: the arrow
    EXPECT_EQ(OverrideShape(), static_cast<int>(Qt::ArrowCursor));
    QGuiApplication::restoreOverrideCursor();
    dialog.SetCursorType(static_cast<AUILib::CursorTypes>(99));
    EXPECT_EQ(OverrideShape(), static_cast<int>(Qt::ArrowCursor));
    QGuiApplication::restoreOverrideCursor();

    const QByteArray png = PngBytes();
    const auto* data = reinterpret_cast<const unsigned char*>(png.constData());
    EXPECT_FALSE(dialog.LoadCustomCursor(data, png.size(), 1, 1, AUILib::ImageBMP));
    EXPECT_FALSE(dialog.LoadCustomCursor(data, 0, 1, 1, AUILib::ImagePNG));
    EXPECT_FALSE(dialog.LoadCustomCursor(reinterpret_cast<const unsigned char*>("junk"), 4, 1, 1, AUILib::ImagePNG));
    EXPECT_FALSE(dialog.LoadCustomCursor(L"/nonexistent/cursor.png", 1, 1));
    ASSERT_TRUE(dialog.LoadCustomCursor(data, png.size(), 2, 3, AUILib::ImagePNG));
    dialog.SetCursorType(AUILib::CursorCustom);
    ASSERT_TRUE(QGuiApplication::overrideCursor());
    EXPECT_EQ(OverrideShape(), static_cast<int>(Qt::BitmapCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(2, 3));
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(OverrideShape(), none);
}

TEST(Dialogs, WindowOperations)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);
    dialog.SetWindowTitle(L"Grüße");
    EXPECT_EQ(window->windowTitle(), "Grüße");
    dialog.SetBackgroundColor(0x7F123456);
    EXPECT_EQ(static_cast<unsigned>(dialog.GetBackgroundColor()), 0xFF123456u);
    dialog.SetUIPath(L"other");
    EXPECT_EQ(dialog.GetUIPath(), L"other");
    EXPECT_EQ(dialog.GetHandle(), window);
    EXPECT_EQ(dialog.GetControlType(), AUILib::ControlTypeDialog);

    auto button = dialog.GetControlPtr<AUILib::Button*>(L"pushButton");
    auto* push = static_cast<QPushButton*>(button->GetPlatformWindow());
    dialog.SetDefaultButton(button);
    EXPECT_TRUE(push->isDefault());
    dialog.SetDefaultButton(nullptr);
    EXPECT_FALSE(push->isDefault());
    push->setAutoDefault(true);
    dialog.DoModeless();   // each show clears the defaults again
    EXPECT_FALSE(push->autoDefault());

    dialog.SetFocusToCtrl(dialog.GetElementByName(L"lineEdit").get());
    QApplication::setActiveWindow(window);
    EXPECT_EQ(dialog.GetFocusedCtrlPtr(), dialog.GetElementByName(L"lineEdit"));
}

} // namespace
