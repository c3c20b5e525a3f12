// The numbers-only filter: what it cuts, clamps and keeps, and which of the
// caller's two balloons it shows, under a point and under a comma.
#include "NumericInputFilter.h"
#include "RecordingPromptsPopup.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>

using namespace AUILib;

namespace {

struct Row {
    const char* name;
    bool integer;
    double min;
    double max;
    int decimals;
    std::wstring input;
    std::wstring expected;
    int invalidShown;  // -1 not asked, 0 hidden, 1 shown
    int rangeShown;
};

// Integer and floating rows written with '.'; the comma runs swap it.
const Row kRows[] = {
    {"letter cut", true, 0, 100, 0, L"12a", L"12", 1, 0},
    {"over max", true, 0, 100, 0, L"150", L"100", 0, 1},
    {"minus not allowed", true, 0, 100, 0, L"-5", L"", 1, -1},
    {"lone minus", true, -10, 10, 0, L"-", L"-", 0, 0},
    {"under negative min", true, -10, 10, 0, L"-50", L"-10", 0, 1},
    {"positive min not enforced", true, 10, 100, 0, L"1", L"1", 0, 0},
    {"too large for int", true, 0, 100, 0, L"12345678901", L"100", 0, 1},
    {"too large for 64 bits", true, -10, 10, 0, L"-99999999999999999999999", L"-10", 0, 1},
    {"too large, no limits", true, INT_MIN, INT_MAX, 0, L"99999999999", L"2147483647", 0, 1},
    {"decimals cut", false, 0, 1000, 2, L"3.14159", L"3.14", 0, 0},
    {"second separator", false, 0, 1000, 2, L"1.2.3", L"1.2", 1, 0},
    {"no decimals keeps separator", false, 0, 1000, 0, L"7.5", L"7.", 0, 0},
    {"clamped to max", false, 0, 5, 2, L"7", L"5.00", 0, 1},
    {"clamped keeps decimals", false, 0, 5.25, 2, L"7", L"5.25", 0, 1},
    {"clamped to negative min", false, -2.5, 5, 1, L"-3", L"-2.5", 0, 1},
    {"clamped with no decimals", false, 0, 5, 0, L"7", L"5", 0, 1},
    {"clamped to min with no decimals", false, -3, 5, 0, L"-7.5", L"-3", 0, 1},
    {"no limits", false, -1, 2147483647.0, 2, L"99999999999.5", L"99999999999.5", 0, 0},
    {"too large for double", false, 0, 5, 2, std::wstring(400, L'9'), L"5.00", 0, 1},
    {"lone separator", false, 0, 5, 2, L".", L".", 0, 0},
};

std::wstring WithSeparator(std::wstring text, wchar_t separator)
{
    for (wchar_t& c : text) {
        if (c == L'.')
            c = separator;
    }
    return text;
}

void RunRows(wchar_t separator, bool floatingOnly)
{
    for (const Row& row : kRows) {
        if (floatingOnly && row.integer)
            continue;
        SCOPED_TRACE(row.name);
        NumericInputFilter filter;
        ASSERT_EQ(static_cast<wchar_t>(filter.decimalSeparator), separator);
        auto invalid = std::make_shared<RecordingPromptsPopup>();
        auto range = std::make_shared<RecordingPromptsPopup>();
        if (row.integer)
            filter.SetInteger(true, static_cast<int>(row.min), static_cast<int>(row.max), invalid, range);
        else
            filter.SetFloating(true, row.min, row.max, invalid, range, row.decimals);
        std::wstring text = WithSeparator(row.input, separator);
        filter.Filter(text, false);
        EXPECT_EQ(text, WithSeparator(row.expected, separator));
        EXPECT_EQ(invalid->Last(), row.invalidShown);
        EXPECT_EQ(range->Last(), row.rangeShown);
        if (!invalid->shows.empty()) {
            EXPECT_EQ(invalid->lastX, -1);
            EXPECT_EQ(invalid->lastY, -1);
        }
    }
}

// The default QLocale for one test, put back after it.
struct DefaultLocale {
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved); }
    QLocale saved;
};

// A German LC_NUMERIC for one test. When the system has no such locale it
// is generated into a temporary folder from the system's locale sources.
struct CommaNumeric {
    CommaNumeric()
    {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        saved = current ? current : "C";
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            return;
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                         folder.path() + QStringLiteral("/de_DE.UTF-8")});
        localedef.waitForFinished(60000);
        setenv("LOCPATH", folder.path().toLocal8Bit().constData(), 1);
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~CommaNumeric()
    {
        std::setlocale(LC_NUMERIC, saved.c_str());
        unsetenv("LOCPATH");
    }
    bool Active() const { return std::localeconv()->decimal_point[0] == ','; }

    QTemporaryDir folder;
    std::string saved;
};

} // namespace

TEST(NumberFilter, TableUnderPoint) { RunRows(L'.', false); }

TEST(NumberFilter, DecimalRowsUnderCommaDefaultLocale)
{
    DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    RunRows(L',', true);
}

TEST(NumberFilter, DecimalRowsUnderCommaCLibraryLocale)
{
    CommaNumeric numeric;
    ASSERT_TRUE(numeric.Active()) << "de_DE.UTF-8 is neither installed nor could be generated";
    // The C library's numbers must not leak in: the point rows stay as they
    // are, and so do the comma rows.
    RunRows(L'.', true);
    DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    RunRows(L',', true);
}

// An edit of a valid text: what it put in that cannot belong is refused one
// character at a time; what was there stays.
TEST(NumberFilter, AnEditRefusesOnlyWhatItPutIn)
{
    struct EditRow {
        const char* name;
        bool integer;
        std::wstring before;
        std::wstring text;
        std::wstring expected;
        size_t refused;
    };
    const std::wstring longPaste = [] {
        std::wstring paste;
        for (int i = 0; i < 50000; ++i)
            paste += L"0a";
        return paste;
    }();
    const EditRow rows[] = {
        {"letter first", true, L"425", L"x425", L"425", 1},
        {"letter second", true, L"425", L"4x25", L"425", 1},
        {"paste with letters", true, L"", L"1a2b3", L"123", 2},
        {"minus inside", true, L"-42", L"-4-2", L"-42", 1},
        {"digit before the minus", true, L"-42", L"7-42", L"-42", 1},
        {"minus at the start", true, L"42", L"-42", L"-42", 0},
        {"second separator", false, L"1.5", L"1.5.", L"1.5", 1},
        {"separator before the minus", false, L"-15", L".-15", L"-15", 1},
        {"letters over a selection: the edit refused whole", true, L"425", L"4xy", L"425", 2},
        {"a long paste, read once", true, L"", longPaste, std::wstring(50000, L'0'), 50000},
    };
    for (const EditRow& row : rows) {
        SCOPED_TRACE(row.name);
        NumericInputFilter filter;
        auto invalid = std::make_shared<RecordingPromptsPopup>();
        if (row.integer)
            filter.SetInteger(true, -1000, INT_MAX, invalid, nullptr);
        else
            filter.SetFloating(true, -1000, 1000, invalid, nullptr, 2);
        std::wstring text = row.text;
        EXPECT_EQ(filter.FilterEdit(text, row.before, false), row.refused);
        EXPECT_EQ(text, row.expected);
        EXPECT_EQ(invalid->Last(), row.refused > 0 ? 1 : 0);
    }
}

TEST(NumberFilter, ValidityAndModes)
{
    NumericInputFilter filter;
    EXPECT_EQ(filter.Mode(), 0);
    std::wstring untouched = L"abc";
    filter.Filter(untouched, false);  // off: nothing changes
    EXPECT_EQ(untouched, L"abc");

    filter.SetInteger(true, -5, 5, nullptr, nullptr);
    EXPECT_EQ(filter.Mode(), 1);
    EXPECT_FALSE(filter.IsValidText(L""));
    EXPECT_TRUE(filter.IsValidText(L"-"));
    EXPECT_TRUE(filter.IsValidText(L"-12"));
    EXPECT_FALSE(filter.IsValidText(L"1.2"));
    EXPECT_FALSE(filter.IsValidText(L"\x0661"));  // a digit, but not an ASCII one
    EXPECT_FALSE(filter.IsValidText(std::wstring(1, L'\0')));

    filter.SetFloating(true, 0, 10, nullptr, nullptr, 2);
    EXPECT_EQ(filter.Mode(), 2);
    EXPECT_EQ(filter.intMin, -5);  // the other mode's limits stay
    EXPECT_FALSE(filter.IsValidText(L"-1"));
    EXPECT_TRUE(filter.IsValidText(L"1.5"));
    EXPECT_FALSE(filter.IsValidText(L"1.5."));

    // A separator outside Latin-1 matches nothing, not even a NUL.
    filter.decimalSeparator = '\0';
    EXPECT_FALSE(filter.IsValidText(std::wstring(L"1") + L'\0'));
    filter.SetFloating(false, 0, 10, nullptr, nullptr, 2);
    EXPECT_EQ(filter.Mode(), 0);
}
