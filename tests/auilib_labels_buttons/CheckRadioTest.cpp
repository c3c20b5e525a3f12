// Check box and radio button: states set by code never report a click;
// user clicks report OnClicked (and OnCheckedByClick for a click that
// checked the radio button); the check box's wrap mode; radio pictures.
#include "LabelsButtonsKit.h"

#include "AUILibUtils.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QRadioButton>

namespace {

using AUILib::CheckBox;
using AUILib::CheckBoxStates;
using AUILib::RadioButton;

TEST(CheckBoxState, SetCheckNeverClicks)
{
    struct Case {
        bool tristate;
        int state;
        CheckBoxStates expected;
    };
    // Starting from checked: an ignored call leaves 1.
    const Case cases[] = {
        {false, 0, AUILib::CheckBoxUnchecked}, {false, 1, AUILib::CheckBoxChecked},
        {false, 2, AUILib::CheckBoxChecked},   {false, 7, AUILib::CheckBoxUnchecked},
        {true, 0, AUILib::CheckBoxUnchecked},  {true, 1, AUILib::CheckBoxChecked},
        {true, 2, AUILib::CheckBoxIndeterminate}, {true, 7, AUILib::CheckBoxUnchecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tristate " << c.tristate << ", state " << c.state);
        TestWindow window;
        auto box = window.Place<CheckBox>(10, 10, 120, 22);
        SignalRecorder<> clicks(box->OnClicked);
        box->SetTristate(c.tristate);
        box->SetCheck(AUILib::CheckBoxChecked);
        box->SetCheck(static_cast<CheckBoxStates>(c.state));
        EXPECT_EQ(box->GetCheck(), c.expected);
        EXPECT_EQ(WidgetOf(*box)->checkState(), AUILibUtils::ChBStateToQtChBState(c.expected));
        EXPECT_EQ(clicks.Count(), 0u);
    }
}

TEST(CheckBoxState, UserClicksReportOnce)
{
    TestWindow window;
    auto box = window.Place<CheckBox>(10, 10, 120, 22);
    box->SetText(L"Remember");
    ASSERT_TRUE(window.Show());
    SignalRecorder<> clicks(box->OnClicked);
    QTest::mouseClick(WidgetOf(*box), Qt::LeftButton, Qt::NoModifier, QPoint(8, 11));
    EXPECT_EQ(clicks.Count(), 1u);
    EXPECT_EQ(box->GetCheck(), AUILib::CheckBoxChecked);
    WidgetOf(*box)->setFocus();
    QTest::keyClick(WidgetOf(*box), Qt::Key_Space);
    EXPECT_EQ(clicks.Count(), 2u);
    EXPECT_EQ(box->GetCheck(), AUILib::CheckBoxUnchecked);
    EXPECT_EQ(box->GetText(), L"Remember");
    EXPECT_FALSE(ImplOf(*box).IsChangeInProgress());
}

TEST(CheckBoxWrap, LongTextBreaksIntoLinesAndTheWholeWidgetClicks)
{
    const QString text = QStringLiteral("A long check box text that needs several lines");
    TestWindow window;
    auto wrapped = window.Place<CheckBox>(10, 10, 120, 80);
    auto plain = window.Place<CheckBox>(140, 10, 120, 80);
    for (CheckBox* box : {wrapped.get(), plain.get()}) {
        box->SetText(text.toStdWString());
        WidgetOf(*box)->setStyleSheet(QStringLiteral("background: white; color: black"));
    }
    const AUILib::Size oneLine = wrapped->IdealSize();
    wrapped->SetWrap(true);
    EXPECT_TRUE(WidgetOf(*wrapped)->IsWrap());
    // The size hint stays the one-line size.
    EXPECT_EQ(wrapped->IdealSize().height, oneLine.height);
    EXPECT_EQ(wrapped->IdealSize().width, oneLine.width);
    ASSERT_TRUE(window.Show());

    // Rows with ink right of the indicator: several text lines when wrapped.
    const auto inkRows = [](QWidget* widget) {
        const QImage image = widget->grab().toImage();
        int rows = 0;
        bool inRun = false;
        for (int y = 0; y < image.height(); ++y) {
            bool ink = false;
            for (int x = 30; x < image.width() && !ink; ++x)
                ink = qGray(image.pixel(x, y)) < 128;
            if (ink && !inRun)
                ++rows;
            inRun = ink;
        }
        return rows;
    };
    EXPECT_GE(inkRows(WidgetOf(*wrapped)), 3);
    EXPECT_LE(inkRows(WidgetOf(*plain)), 1);

    // A click far right of the short text, near the bottom.
    for (CheckBox* box : {wrapped.get(), plain.get()}) {
        box->SetText(L"Short");
        SignalRecorder<> clicks(box->OnClicked);
        QTest::mouseClick(WidgetOf(*box), Qt::LeftButton, Qt::NoModifier, QPoint(110, 75));
        const bool isWrapped = box == wrapped.get();
        SCOPED_TRACE(isWrapped ? "wrapped" : "plain");
        EXPECT_EQ(clicks.Count(), isWrapped ? 1u : 0u);
        EXPECT_EQ(box->GetCheck(), isWrapped ? AUILib::CheckBoxChecked : AUILib::CheckBoxUnchecked);
    }
    wrapped->SetMinimumHeight(60);
    EXPECT_EQ(WidgetOf(*wrapped)->minimumHeight(), 60);
    // No effect, by design.
    wrapped->SetTextColor(0xFF0000);
    wrapped->SetBorderRadius(4);
}

TEST(RadioButtonClicks, CheckedByClickScript)
{
    TestWindow window;
    auto radio = window.Place<RadioButton>(10, 10, 120, 22);
    auto other = window.Place<RadioButton>(10, 40, 120, 22);
    radio->SetText(L"First");
    ASSERT_TRUE(window.Show());
    std::vector<std::string> order;
    radio->OnClicked.Connect([&] { order.push_back("clicked"); });
    radio->OnCheckedByClick.Connect([&] { order.push_back("checked"); });
    const QPoint on(8, 11);

    QTest::mouseClick(WidgetOf(*radio), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(order, (std::vector<std::string>{"clicked", "checked"}));
    EXPECT_TRUE(radio->Checked());
    order.clear();
    QTest::mouseClick(WidgetOf(*radio), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(order, (std::vector<std::string>{"clicked"}));

    // Checked by code in between: the next click reports both.
    QTest::mouseClick(WidgetOf(*other), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_FALSE(radio->Checked());
    order.clear();
    radio->SetCheck();
    EXPECT_TRUE(order.empty());
    QTest::mouseClick(WidgetOf(*radio), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(order, (std::vector<std::string>{"clicked", "checked"}));
    EXPECT_FALSE(ImplOf(*radio).IsCheckedSinceClick());
}

TEST(RadioButtonGroup, KeepsTheCallersRecord)
{
    struct Group : AUILib::GroupInfo {
        int id = 7;
    };
    RadioButton radio;
    EXPECT_EQ(radio.GetGroupInfo(), nullptr);
    auto group = std::make_shared<Group>();
    radio.SetGroupInfo(group);
    EXPECT_EQ(radio.GetGroupInfo(), group);
    EXPECT_EQ(group.use_count(), 2);
    radio.SetGroupInfo(nullptr);
    EXPECT_EQ(group.use_count(), 1);
    EXPECT_EQ(radio.GetControlType(), AUILib::ControlTypeRadioButton);
}

TEST(RadioButtonPictures, IconRoutesAndFailures)
{
    PictureFiles files;
    const QByteArray ico = PictureFiles::Bytes(files.ico);
    const QByteArray png = PictureFiles::Bytes(files.png);
    struct Case {
        const char* why;
        std::function<void(RadioButton&)> load;
        QSize iconSize;  // empty: no icon
    };
    const std::vector<Case> cases = {
        // The icon route picks the 16 image of a 16-and-32 icon; the pixmap
        // route reads the file's first image, 16 as well, so ask for 32.
        {"x.ico: the icon route", [&](RadioButton& r) { r.LoadPicture(files.ico, AUILib::ScaleKeep, 32); },
         {32, 32}},
        {"y.ICO: the icon route", [&](RadioButton& r) { r.LoadPicture(files.icoUpper, AUILib::ScaleKeep, 16); },
         {16, 16}},
        {"archive.old.ico: the pixmap route",
         [&](RadioButton& r) { r.LoadPicture(files.archiveIco, AUILib::ScaleKeep, 32); }, {16, 16}},
        {"ICO bytes", [&](RadioButton& r) { r.LoadPicture(Data(ico), ico.size(), AUILib::ImageICO, AUILib::ScaleKeep, 32); },
         {32, 32}},
        {"PNG bytes scaled to the height",
         [&](RadioButton& r) { r.LoadPicture(Data(png), png.size(), AUILib::ImagePNG, AUILib::ScaleToHeight, 0); },
         {40, 30}},
        {"missing file", [&](RadioButton& r) { r.LoadPicture(files.missing, AUILib::ScaleKeep, 0); }, {}},
        {"null bytes", [&](RadioButton& r) { r.LoadPicture(nullptr, 0, AUILib::ImagePNG, AUILib::ScaleKeep, 0); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TestWindow window;
        auto radio = window.Place<RadioButton>(10, 10, 120, 30);
        radio->SetText(L"Text");
        c.load(*radio);
        QRadioButton& widget = *WidgetOf(*radio);
        EXPECT_TRUE(widget.text().isEmpty());
        EXPECT_EQ(radio->GetText(), L"");
        if (c.iconSize.isEmpty()) {
            EXPECT_TRUE(widget.icon().isNull());
        } else {
            ASSERT_FALSE(widget.icon().isNull());
            EXPECT_EQ(widget.iconSize(), c.iconSize);
            EXPECT_EQ(widget.icon().availableSizes(QIcon::Normal, QIcon::Off).value(0), c.iconSize);
        }
    }
}

} // namespace
