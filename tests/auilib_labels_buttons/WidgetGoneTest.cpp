// Controls and widgets that outlive each other: every operation of a
// control whose widget is gone is harmless and answers neutrally; a widget
// whose control went keeps working as a plain widget; a handler may drop
// its own control and close its window.
#include "ButtonWidgetKit.h"
#include "LabelsButtonsKit.h"

#include "AgnosticUIException.h"
#include "ButtonBox.h"
#include "RecordingContextMenu.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QPushButton>

#include <functional>

namespace {

using namespace AUILib;

// Create and IdealSize throw the library's exception for a gone widget.
void ExpectNotValid(BaseGUIObject& control)
{
    for (const auto& call : std::vector<std::function<void()>>{[&] { control.Create(nullptr); },
                                                               [&] { control.IdealSize(); }}) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const AgnosticUIException& e) {
            EXPECT_STREQ(e.what(), "Control is not valid.");
        }
    }
}

struct GoneCase {
    const char* name;
    std::function<std::shared_ptr<BaseGUIObject>()> make;
    std::function<void(BaseGUIObject&)> everyOperation;
};

std::vector<GoneCase> GoneCases(const PictureFiles& files)
{
    static const QByteArray png = PngBytes();
    return {
        {"label", [] { return std::make_shared<Label>(); },
         [&files](BaseGUIObject& control) {
             auto& l = dynamic_cast<Label&>(control);
             FontData font;
             font.bold = 1;
             l.SetFont(font);
             l.SetTextAlign(TextAlignCenter);
             EXPECT_EQ(l.GetTextAlign(), TextAlignLeft);
             l.SetVCenter(true);
             EXPECT_FALSE(l.GetVCenter());
             l.SetBackgroundColor(0x123456);
             EXPECT_EQ(l.GetBackgroundColor(), 0x123456);
             l.SetTextColor(0x654321);
             EXPECT_EQ(l.GetTextColor(), 0x654321);
             EXPECT_TRUE(l.GetFont().faceName.empty());
             EXPECT_EQ(l.GetFont().pointSize, -1.0);
             l.LoadPicture(files.png, ScaleToSize, 0);
             l.LoadPicture(files.gif, ScaleKeep, 0);
             l.LoadPicture(Data(png), png.size(), ImagePNG, ScaleKeep, 0);
             l.LoadPicture(nullptr, 0, ImagePNG, ScaleKeep, 0);
             EXPECT_FALSE(l.PlayGif());
             EXPECT_FALSE(l.StopGif());
             l.DrawTxt(L"x");
             l.SetText(L"Text");
             l.TruncateTextToEllipses(true);
             l.SetWordWrap(true);
             l.SetLineSpacing(120);
             l.SetToolTip(L"tip");
             EXPECT_EQ(l.GetToolTip(), L"");
             l.SetBorder();
             EXPECT_EQ(l.GetWndPtr(), nullptr);
             l.GetText();
         }},
        {"hyperlink", [] { return std::make_shared<HyperLinkElement>(); },
         [](BaseGUIObject& control) {
             auto& h = dynamic_cast<HyperLinkElement&>(control);
             h.SetURL(L"https://example.test/");
             h.SetText(L"Go");
             h.SetbDefaultClickProcess(false);
             h.SetColors(1, 2, 3);
             h.SetVisited(true);
             h.SetUnderline(false);
             // The stored values stay readable.
             EXPECT_EQ(h.GetURL(), L"https://example.test/");
             EXPECT_EQ(h.GetText(), L"Go");
             EXPECT_EQ(h.GetLinkColor(), 1u);
             EXPECT_EQ(h.GetVisitedColor(), 2u);
             EXPECT_EQ(h.GetHoverColor(), 3u);
             EXPECT_TRUE(h.GetVisited());
             EXPECT_FALSE(h.GetUnderline());
         }},
        {"check box", [] { return std::make_shared<CheckBox>(); },
         [](BaseGUIObject& control) {
             auto& c = dynamic_cast<CheckBox&>(control);
             c.SetTristate(true);
             c.SetCheck(CheckBoxIndeterminate);
             EXPECT_EQ(c.GetCheck(), CheckBoxUnchecked);
             c.SetText(L"Text");
             EXPECT_EQ(c.GetText(), L"");
             c.SetWrap(true);
             c.SetMinimumHeight(40);
             c.SetTextColor(0);
             c.SetBorderRadius(3);
         }},
        {"radio button", [] { return std::make_shared<RadioButton>(); },
         [&files](BaseGUIObject& control) {
             auto& r = dynamic_cast<RadioButton&>(control);
             r.SetCheck();
             EXPECT_FALSE(r.Checked());
             r.SetText(L"Text");
             EXPECT_EQ(r.GetText(), L"");
             r.LoadPicture(files.ico, ScaleKeep, 16);
             r.LoadPicture(Data(png), png.size(), ImagePNG, ScaleKeep, 0);
             r.SetGroupInfo(std::make_shared<GroupInfo>());
             EXPECT_NE(r.GetGroupInfo(), nullptr);
         }},
        {"button box", [] { return std::make_shared<ButtonBox>(); },
         [](BaseGUIObject& control) {
             auto& b = dynamic_cast<ButtonBox&>(control);
             b.SetOrientation(true);
             EXPECT_EQ(b.GetButton(Ok), nullptr);
         }},
    };
}

TEST(WidgetGone, EveryOperationIsHarmless)
{
    PictureFiles files;
    for (const GoneCase& c : GoneCases(files)) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<BaseGUIObject> control = c.make();
        QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_FALSE(widget.isNull());
        delete widget.data();
        EXPECT_EQ(control->GetBaseImpl()->GetWndPtr(), nullptr);
        c.everyOperation(*control);
        ExpectNotValid(*control);
    }
}

struct ReverseCase {
    const char* name;
    std::function<std::shared_ptr<BaseGUIObject>()> make;
};

const std::vector<ReverseCase>& ReverseCases()
{
    static const std::vector<ReverseCase> cases = {
        {"label",
         [] {
             auto l = std::make_shared<Label>();
             l->SetText(L"Label");
             l->SetTextColor(0x336699);
             return l;
         }},
        {"hyperlink",
         [] {
             auto h = std::make_shared<HyperLinkElement>();
             h->SetText(L"&Link");
             return h;
         }},
        {"check box",
         [] {
             auto c = std::make_shared<CheckBox>();
             c->SetText(L"Check");
             c->SetWrap(true);
             return c;
         }},
        {"radio button",
         [] {
             auto r = std::make_shared<RadioButton>();
             r->SetText(L"Radio");
             return r;
         }},
        {"button box", [] { return std::make_shared<ButtonBox>(); }},
        {"push button",
         [] {
             auto b = std::make_shared<Button>();
             b->SetText(L"Push");
             b->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
             b->SetStyle(Button::Rounded);
             return b;
         }},
        {"link-style push button",
         [] {
             auto b = std::make_shared<Button>();
             b->SetText(L"Link");
             b->SetStyle(Button::Link);
             QPixmap picture(64, 64);
             picture.fill(Qt::red);
             ButtonWidget(*b)->setIcon(QIcon(picture));
             return b;
         }},
    };
    return cases;
}

// What a user does to a widget.
void UseWidget(QWidget* window, QWidget* widget)
{
    widget->hide();
    widget->show();
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), widget->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(widget, &enter);
    QTest::mouseMove(widget, QPoint(5, 5));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, widget->height() / 2));
    QTest::keyClick(window, Qt::Key_L, Qt::AltModifier);
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, Qt::Key_Space);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
    widget->resize(widget->width() + 7, widget->height() + 5);
    widget->repaint();
    widget->grab();
    QApplication::processEvents();
}

TEST(WidgetOutlivesControl, ReleasedControlLeavesAWorkingWidget)
{
    for (const ReverseCase& c : ReverseCases()) {
        for (const bool keepImpl : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (keepImpl ? ", implementation kept" : ""));
            TestWindow window;
            std::shared_ptr<BaseGUIObject> control = c.make();
            control->Create(window.Get());
            QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
            widget->setGeometry(10, 10, 120, 40);
            ASSERT_TRUE(window.Show());
            std::shared_ptr<BaseImpl> kept = keepImpl ? control->GetBaseImpl() : nullptr;
            control.reset();
            UseWidget(window.Get(), widget);
            kept.reset();
            UseWidget(window.Get(), widget);
            EXPECT_FALSE(widget.isNull());
        }
    }
}

// A handler that drops its control and closes the window, as a dialog's
// handler that ends the dialog does.
class SelfDestroyingHandler : public ::testing::Test {
protected:
    template <typename Control>
    std::shared_ptr<Control> Place(const std::wstring& text)
    {
        window_ = new QWidget;
        window_->setGeometry(100, 100, 300, 200);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        auto control = std::make_shared<Control>();
        control->Create(window_);
        widget_ = control->GetBaseImpl()->GetWndPtr();
        widget_->setGeometry(10, 10, 150, 30);
        control->SetText(text);
        window_->show();
        QApplication::setActiveWindow(window_);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_));
        return control;
    }
    template <typename Control>
    std::function<void()> DropAndClose(std::shared_ptr<Control>& control)
    {
        return [this, &control] {
            ++calls_;
            control.reset();
            window_->close();
        };
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window_.isNull());
        EXPECT_TRUE(widget_.isNull());
        delete window_.data();
    }
    void Click() { QTest::mouseClick(widget_, Qt::LeftButton, Qt::NoModifier, QPoint(6, 15)); }

    QPointer<QWidget> window_;
    QPointer<QWidget> widget_;
    int calls_ = 0;
};

TEST_F(SelfDestroyingHandler, CheckBox)
{
    auto control = Place<CheckBox>(L"Check");
    control->OnClicked.Connect(DropAndClose(control));
    Click();
    EXPECT_EQ(calls_, 1);
    EXPECT_EQ(control, nullptr);
}

TEST_F(SelfDestroyingHandler, RadioButtonSkipsItsSecondSignal)
{
    auto control = Place<RadioButton>(L"Radio");
    int checked = 0;
    control->OnCheckedByClick.Connect([&] { ++checked; });
    control->OnClicked.Connect(DropAndClose(control));
    Click();
    EXPECT_EQ(calls_, 1);
    EXPECT_EQ(checked, 0);
}

TEST_F(SelfDestroyingHandler, HyperLinkByClick)
{
    auto control = Place<HyperLinkElement>(L"Link");
    control->OnClick.Connect(DropAndClose(control));
    Click();
    EXPECT_EQ(calls_, 1);
}

TEST_F(SelfDestroyingHandler, HyperLinkByMnemonic)
{
    auto control = Place<HyperLinkElement>(L"&Link");
    control->OnClick.Connect(DropAndClose(control));
    QTest::keyClick(window_, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(calls_, 1);
}

TEST_F(SelfDestroyingHandler, PushButton)
{
    auto control = Place<Button>(L"Push");
    control->SetStyle(Button::Link);
    control->clicked.Connect(DropAndClose(control));
    Click();
    EXPECT_EQ(calls_, 1);
}

} // namespace
