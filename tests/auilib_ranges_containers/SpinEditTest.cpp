// The whole-number spin edit: what typing leaves in the text and in the
// typed and committed values, suffix editing, the arrow notifications and
// stepping at and near the limits, down to the 64-bit ones.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "BaseImplQt.h"
#include "SpinEdit.h"
#include "SpinEditQt.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <climits>
#include <tuple>

using AUILib::SpinEdit;
using AUILib::SpinEditQt;

namespace {

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        spin_ = std::make_shared<SpinEdit>();
        spin_->Create(window_.Get());
        widget_ = WidgetOf<SpinEditQt>(*spin_);
        ASSERT_NE(widget_, nullptr);
        edit_ = widget_->findChild<QLineEdit*>();
        ASSERT_NE(edit_, nullptr);
        other_ = new QLineEdit(window_.Get());
        other_->setGeometry(10, 60, 100, 24);
        ASSERT_TRUE(window_.ShowWith(widget_, QRect(10, 10, 160, 28)));
    }

    // Replaces the whole text by typing keys one by one.
    void TypeOver(const QString& keys)
    {
        edit_->selectAll();
        QTest::keyClicks(widget_, keys);
    }

    void LeaveField()
    {
        other_->setFocus();
        QApplication::processEvents();
    }

    QRect ArrowRect(QStyle::SubControl arrow) const
    {
        QStyleOptionSpinBox option;
        option.initFrom(widget_);
        option.frame = widget_->hasFrame();
        option.buttonSymbols = widget_->buttonSymbols();
        option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp |
                             QStyle::SC_SpinBoxDown;
        return widget_->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, widget_);
    }

    ActiveWindow window_;
    std::shared_ptr<SpinEdit> spin_;
    SpinEditQt* widget_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QLineEdit* other_ = nullptr;
};

struct ValidateCase {
    const char* name;
    long long minimum, maximum, start;
    bool correction;
    const char* keys;
    const char* text;       // after typing
    long long typed;        // GetValue after typing
    long long committed;    // GetValue after the field is left
    const char* textAfter;  // after the field is left
};

const ValidateCase kValidateCases[] = {
    // Below the minimum but on the way up: kept while typing, undone on leaving.
    {"below minimum kept, restored on leave", 10, 20, 15, true, "5", "5", 5, 15, "15"},
    // The 5 would make 25: that keystroke is refused.
    {"above maximum refused", 10, 20, 15, true, "25", "2", 2, 15, "15"},
    {"above maximum corrected", 10, 20, 15, false, "25", "20", 20, 20, "20"},
    {"below negative minimum corrected", -10, 10, 0, false, "-50", "-10", -10, -10, "-10"},
    {"below negative minimum refused", -10, 10, 0, true, "-50", "-5", -5, -5, "-5"},
    // A lone minus stands for 0 and commits as 0.
    {"lone minus", -10, 10, 7, true, "-", "-", 0, 0, "0"},
    {"letters refused", 0, 100, 42, true, "4x2", "42", 42, 42, "42"},
    {"in range", 0, 100, 1, true, "73", "73", 73, 73, "73"},
};

TEST_F(SpinEditTest, TypingIsCheckedKeystrokeByKeystrokeAndCommittedOnLeaving)
{
    for (const ValidateCase& c : kValidateCases) {
        SCOPED_TRACE(c.name);
        widget_->setFocus();
        spin_->SetRange(c.minimum, c.maximum);
        spin_->SetValue(c.start);
        spin_->LastValidValueCorrection(c.correction);
        ASSERT_EQ(spin_->GetValue(), c.start);
        TypeOver(QString::fromLatin1(c.keys));
        EXPECT_EQ(edit_->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(spin_->GetValue(), c.typed);
        LeaveField();
        EXPECT_EQ(spin_->GetValue(), c.committed);
        EXPECT_EQ(widget_->GetCommittedValue(), c.committed);
        EXPECT_EQ(edit_->text(), QString::fromLatin1(c.textAfter));
    }
}

TEST_F(SpinEditTest, EnterCommitsTheTypedValue)
{
    SignalRecorder<long long> values(spin_->OnValueChanged);
    spin_->SetRange(0, 1000);
    TypeOver(QStringLiteral("512"));
    EXPECT_EQ(widget_->GetCommittedValue(), 0);
    QTest::keyClick(widget_, Qt::Key_Return);
    EXPECT_EQ(widget_->GetCommittedValue(), 512);
    ASSERT_EQ(values.Count(), 1u);
    EXPECT_EQ(std::get<0>(values.Last()), 512);
}

TEST_F(SpinEditTest, BackspaceIntoTheSuffixKeepsItAndPutsTheCursorAfterTheNumber)
{
    spin_->SetSuffix(L" px");
    EXPECT_EQ(spin_->GetSuffix(), L" px");
    spin_->SetValue(12);
    ASSERT_EQ(edit_->text(), QStringLiteral("12 px"));
    edit_->setCursorPosition(edit_->text().size());
    QTest::keyClick(widget_, Qt::Key_Backspace);
    EXPECT_EQ(edit_->text(), QStringLiteral("12 px"));
    EXPECT_EQ(edit_->cursorPosition(), 2);
    EXPECT_EQ(spin_->GetValue(), 12);

    // Typing over the number keeps the suffix behind the new one.
    TypeOver(QStringLiteral("7"));
    EXPECT_EQ(edit_->text(), QStringLiteral("7 px"));
    QTest::keyClick(widget_, Qt::Key_Enter);
    EXPECT_EQ(widget_->GetCommittedValue(), 7);
}

TEST_F(SpinEditTest, RangeInEitherOrderAndSuffixShowWithTheValue)
{
    spin_->SetRange(50, 10);
    EXPECT_EQ(widget_->GetMinimum(), 10);
    EXPECT_EQ(widget_->GetMaximum(), 50);
    EXPECT_EQ(spin_->GetValue(), 10);  // 0 re-clamped
    spin_->SetSuffix(L" °C");
    EXPECT_EQ(edit_->text(), QStringLiteral("10 °C"));
}

TEST_F(SpinEditTest, UpKeyAtTheMaximumReportsTheLimitAtOnce)
{
    SignalRecorder<long long, long long> arrows(spin_->OnArrowValueChanged);
    spin_->SetRange(0, 5);
    spin_->SetValue(5);
    QTest::keyClick(widget_, Qt::Key_Up);
    ASSERT_EQ(arrows.Count(), 1u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(5LL, 0LL));
    spin_->SetValue(0);
    QTest::keyClick(widget_, Qt::Key_Down);
    ASSERT_EQ(arrows.Count(), 2u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(0LL, 0LL));
}

TEST_F(SpinEditTest, ClicksOnTheUpArrowAtTheMaximumReportOnTheSecond)
{
    SignalRecorder<long long, long long> arrows(spin_->OnArrowValueChanged);
    spin_->SetRange(0, 5);
    spin_->SetValue(4);
    QTest::keyClick(widget_, Qt::Key_Up);
    ASSERT_EQ(arrows.Count(), 1u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(5LL, 1LL));

    const QPoint up = ArrowRect(QStyle::SC_SpinBoxUp).center();
    QTest::mouseClick(widget_, Qt::LeftButton, Qt::NoModifier, up);
    EXPECT_EQ(arrows.Count(), 1u);  // the value at the last press was another
    QTest::mouseClick(widget_, Qt::LeftButton, Qt::NoModifier, up);
    ASSERT_EQ(arrows.Count(), 2u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(5LL, 0LL));
    EXPECT_EQ(spin_->GetValue(), 5);

    // A click on the down arrow steps.
    QTest::mouseClick(widget_, Qt::LeftButton, Qt::NoModifier, ArrowRect(QStyle::SC_SpinBoxDown).center());
    EXPECT_EQ(spin_->GetValue(), 4);
    EXPECT_EQ(arrows.Last(), std::make_tuple(4LL, -1LL));
}

struct StepCase {
    const char* name;
    long long minimum, maximum, start, step;
    bool wrapping;
    Qt::Key key;
    long long value;   // after the key
    long long amount;  // reported with it
};

const StepCase kStepCases[] = {
    {"wrap from maximum to minimum", 0, 10, 10, 1, true, Qt::Key_Up, 0, 1},
    {"wrap from minimum to maximum", 0, 10, 0, 1, true, Qt::Key_Down, 10, -1},
    {"wrapping stops at maximum first", 0, 10, 9, 5, true, Qt::Key_Up, 10, 5},
    {"clamped without wrapping", 0, 10, 9, 5, false, Qt::Key_Up, 10, 5},
    {"page steps ten", 0, 100, 3, 2, false, Qt::Key_PageUp, 23, 20},
    // Near the 64-bit limits the sum and the product saturate: the value
    // stops at the limit instead of turning round to the other sign.
    {"page up near the top limit", LLONG_MAX - 100, LLONG_MAX, LLONG_MAX - 100, LLONG_MAX / 4, false,
     Qt::Key_PageUp, LLONG_MAX, LLONG_MAX},
    {"one step to the top limit", LLONG_MIN, LLONG_MAX, LLONG_MAX - 1, 5, true, Qt::Key_Up, LLONG_MAX, 5},
    {"page down near the bottom limit", LLONG_MIN, LLONG_MIN + 100, LLONG_MIN + 100, LLONG_MAX, false,
     Qt::Key_PageDown, LLONG_MIN, LLONG_MIN},
};

TEST_F(SpinEditTest, SteppingClampsOrWrapsAndNeverOverflows)
{
    for (const StepCase& c : kStepCases) {
        SCOPED_TRACE(c.name);
        widget_->setWrapping(c.wrapping);
        spin_->SetRange(c.minimum, c.maximum);
        spin_->SetStep(c.step);
        spin_->SetValue(c.start);
        SignalRecorder<long long, long long> arrows(spin_->OnArrowValueChanged);
        SignalRecorder<long long> values(spin_->OnValueChanged);
        QTest::keyClick(widget_, c.key);
        EXPECT_EQ(spin_->GetValue(), c.value);
        EXPECT_EQ(edit_->text(), QString::number(c.value));
        ASSERT_EQ(arrows.Count(), 1u);
        EXPECT_EQ(arrows.Last(), std::make_tuple(c.value, c.amount));
        ASSERT_EQ(values.Count(), 1u);
        EXPECT_EQ(std::get<0>(values.Last()), c.value);
    }
}

TEST_F(SpinEditTest, ValueSignalsOnlyForChangesAndTheFlagMarksCodesOwn)
{
    std::vector<bool> flags;
    spin_->OnValueChanged.Connect([&](long long) {
        flags.push_back(std::static_pointer_cast<AUILib::BaseImplQt>(spin_->GetBaseImpl())->IsChangeInProgress());
    });
    spin_->SetValue(30);
    spin_->SetValue(30);
    spin_->SetValue(300);  // clamped to 100
    QTest::keyClick(widget_, Qt::Key_Down);
    EXPECT_EQ(flags, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(spin_->GetValue(), 99);
    EXPECT_FALSE(std::static_pointer_cast<AUILib::BaseImplQt>(spin_->GetBaseImpl())->IsChangeInProgress());
}

TEST_F(SpinEditTest, WheelAndReadOnly)
{
    SignalRecorder<long long, long long> arrows(spin_->OnArrowValueChanged);
    spin_->SetValue(5);
    widget_->setReadOnly(true);
    QTest::keyClick(widget_, Qt::Key_Up);
    EXPECT_EQ(spin_->GetValue(), 5);
    widget_->setReadOnly(false);
    QWheelEvent wheel(QPointF(20, 10), QPointF(widget_->mapToGlobal(QPoint(20, 10))), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget_, &wheel);
    EXPECT_EQ(spin_->GetValue(), 6);
    ASSERT_EQ(arrows.Count(), 1u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(6LL, 1LL));
}

} // namespace
