// The decimal spin edit: a decimal character of the caller's under a point
// and a comma locale, clamping of typed values past a limit, the step that
// applies at the next step and the arrow notifications.
#include "RangesTestKit.h"
#include "SignalRecorder.h"

#include "DoubleSpinEdit.h"
#include "DoubleSpinEditQt.h"

#include <QLineEdit>
#include <QLocale>

#include <tuple>

using AUILib::DoubleSpinEdit;
using AUILib::DoubleSpinEditQt;

namespace {

// The application's default locale for one test; widgets made meanwhile
// take it.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

struct Field {
    ActiveWindow window;
    std::shared_ptr<DoubleSpinEdit> spin = std::make_shared<DoubleSpinEdit>();
    DoubleSpinEditQt* widget = nullptr;
    QLineEdit* edit = nullptr;

    bool Show()
    {
        spin->Create(window.Get());
        widget = WidgetOf<DoubleSpinEditQt>(*spin);
        edit = widget ? widget->findChild<QLineEdit*>() : nullptr;
        return edit && window.ShowWith(widget, QRect(10, 10, 180, 28));
    }

    void TypeOver(const QString& keys)
    {
        edit->selectAll();
        QTest::keyClicks(widget, keys);
    }
};

struct LocaleCase {
    const char* name;
    QLocale locale;
};

TEST(DoubleSpinEdit, CommaAsDecimalCharacterUnderPointAndCommaLocales)
{
    const LocaleCase cases[] = {
        {"C locale", QLocale::c()},
        {"German locale", QLocale(QLocale::German, QLocale::Germany)},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        DefaultLocale locale(c.locale);
        Field field;
        ASSERT_TRUE(field.Show());
        field.spin->SetDecimalChar(',');
        field.spin->SetValue(2.5);
        EXPECT_EQ(field.edit->text(), QStringLiteral("2,50"));

        field.TypeOver(QStringLiteral("2,75"));
        EXPECT_EQ(field.edit->text(), QStringLiteral("2,75"));
        EXPECT_DOUBLE_EQ(field.spin->GetValue(), 2.75);

        // A digit cannot separate digits.
        field.spin->SetDecimalChar('7');
        EXPECT_EQ(field.widget->GetDecimalChar(), ',');
        EXPECT_EQ(field.edit->text(), QStringLiteral("2,75"));

        // With a suffix the number still reads back.
        field.spin->SetSuffix(L" kg");
        EXPECT_EQ(field.spin->GetSuffix(), L" kg");
        EXPECT_EQ(field.edit->text(), QStringLiteral("2,75 kg"));
        field.edit->setSelection(0, 4);
        QTest::keyClicks(field.widget, QStringLiteral("3,25"));
        EXPECT_EQ(field.edit->text(), QStringLiteral("3,25 kg"));
        EXPECT_DOUBLE_EQ(field.spin->GetValue(), 3.25);

        // The character goes back to the locale's own.
        field.spin->SetDecimalChar(0);
        EXPECT_EQ(field.edit->text(), QStringLiteral("3") + c.locale.decimalPoint() + QStringLiteral("25 kg"));
    }
}

TEST(DoubleSpinEdit, CorrectionOffTurnsATypedValuePastTheMaximumIntoTheMaximum)
{
    const LocaleCase cases[] = {
        {"C locale", QLocale::c()},
        {"German locale", QLocale(QLocale::German, QLocale::Germany)},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        DefaultLocale locale(c.locale);
        Field field;
        ASSERT_TRUE(field.Show());
        field.spin->SetRange(-5.0, 10000000.0);
        field.spin->LastValidValueCorrection(false);
        field.TypeOver(QStringLiteral("20000000"));
        EXPECT_DOUBLE_EQ(field.spin->GetValue(), 10000000.0);
        EXPECT_EQ(field.edit->text(), c.locale.toString(10000000.0, 'f', 2).remove(c.locale.groupSeparator()));
        field.TypeOver(QStringLiteral("-9"));
        EXPECT_DOUBLE_EQ(field.spin->GetValue(), -5.0);
    }
}

TEST(DoubleSpinEdit, StepAppliesAtTheNextStepAndLimitsAreReported)
{
    Field field;
    ASSERT_TRUE(field.Show());
    SignalRecorder<double, double> arrows(field.spin->OnArrowValueChanged);
    SignalRecorder<double> values(field.spin->OnValueChanged);
    field.spin->SetRange(0.0, 1.0);
    field.spin->SetStep(0.25);
    EXPECT_DOUBLE_EQ(field.widget->singleStep(), 1.0);
    QTest::keyClick(field.widget, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(field.spin->GetValue(), 0.25);
    ASSERT_EQ(arrows.Count(), 1u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(0.25, 0.25));
    ASSERT_EQ(values.Count(), 1u);

    for (int i = 0; i < 3; ++i)
        QTest::keyClick(field.widget, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(field.spin->GetValue(), 1.0);
    EXPECT_EQ(arrows.Count(), 4u);
    // The key that stops at the limit is remembered; the next one reports it.
    QTest::keyClick(field.widget, Qt::Key_Up);
    ASSERT_EQ(arrows.Count(), 5u);
    EXPECT_EQ(arrows.Last(), std::make_tuple(1.0, 0.0));

    field.spin->SetPrecision(3);
    EXPECT_EQ(field.edit->text(), QStringLiteral("1.000"));
    field.spin->SetRange(3.0, 1.0);  // Qt's own handling: the maximum rises to the minimum
    EXPECT_DOUBLE_EQ(field.widget->minimum(), 3.0);
    EXPECT_DOUBLE_EQ(field.widget->maximum(), 3.0);
}

} // namespace
