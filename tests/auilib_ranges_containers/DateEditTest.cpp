// The date edit: setting and reading the six fields, the change signal and
// what it carries, and the drop-down picture from paths with blanks,
// parentheses, quotes and backslashes. Local time is UTC throughout.
#include "RangesTestKit.h"
#include "SignalRecorder.h"
#include "TempFolder.h"

#include "DateEdit.h"
#include "DateEditQt.h"

#include <QDir>
#include <QImage>

#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/stat.h>

using AUILib::DateEdit;
using AUILib::DateEditQt;
using AUILib::KwDateTime;

namespace {

KwDateTime Make(int year, int month, int day, int hour, int minute, int second)
{
    KwDateTime value;
    value.year = static_cast<uint16_t>(year);
    value.month = static_cast<uint16_t>(month);
    value.day = static_cast<uint16_t>(day);
    value.hour = static_cast<uint16_t>(hour);
    value.minute = static_cast<uint16_t>(minute);
    value.second = static_cast<uint16_t>(second);
    return value;
}

class DateEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const char* zone = std::getenv("TZ");
        savedZone_ = zone ? zone : "";
        hadZone_ = zone != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }

    static void TearDownTestSuite()
    {
        if (hadZone_)
            setenv("TZ", savedZone_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    void SetUp() override
    {
        edit_ = std::make_shared<DateEdit>();
        edit_->Create(window_.Get());
        widget_ = WidgetOf<DateEditQt>(*edit_);
        ASSERT_NE(widget_, nullptr);
        ASSERT_EQ(edit_->GetWndPtr(), widget_);
        ASSERT_TRUE(window_.ShowWith(widget_, QRect(10, 10, 160, 28)));
    }

    // Pixels of the widget's picture that are pure red, the colour of the
    // test pictures.
    int RedPixels()
    {
        const QImage image = widget_->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
        return count;
    }

    static std::string savedZone_;
    static bool hadZone_;
    ActiveWindow window_;
    std::shared_ptr<DateEdit> edit_;
    DateEditQt* widget_ = nullptr;
};

std::string DateEditTest::savedZone_;
bool DateEditTest::hadZone_ = false;

struct SetCase {
    const char* name;
    KwDateTime value;
    bool accepted;
};

TEST_F(DateEditTest, SetDateTimeTakesRealDatesOnceAndRefusesOthers)
{
    const KwDateTime leapDay = Make(2024, 2, 29, 0, 0, 0);
    const SetCase cases[] = {
        {"leap day", leapDay, true},
        {"same again", leapDay, true},
        {"month 13", Make(2024, 13, 1, 0, 0, 0), false},
        {"30 February", Make(2024, 2, 30, 0, 0, 0), false},
        {"29 February of a common year", Make(2023, 2, 29, 0, 0, 0), false},
        {"hour 24", Make(2024, 3, 1, 24, 0, 0), false},
        {"second 60", Make(2024, 3, 1, 0, 0, 60), false},
        {"year 0", Make(0, 1, 1, 0, 0, 0), false},
        // Real dates the edit cannot hold: it would keep its nearest limit.
        {"before the edit's first day", Make(1600, 1, 1, 10, 0, 0), false},
        {"after the edit's last day", Make(10000, 1, 1, 0, 0, 0), false},
    };
    SignalRecorder<KwDateTime> changes(edit_->OnDateTimeChanged);
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(edit_->SetDateTime(c.value), c.accepted);
        EXPECT_EQ(edit_->GetDateTime(), leapDay);  // refused values change nothing
    }
    ASSERT_EQ(changes.Count(), 1u);
    EXPECT_EQ(std::get<0>(changes.Last()), leapDay);
}

TEST_F(DateEditTest, TheSignalCarriesWhatGetDateTimeReads)
{
    ASSERT_TRUE(edit_->SetDateTime(Make(2023, 6, 14, 13, 45, 30)));
    SignalRecorder<KwDateTime> changes(edit_->OnDateTimeChanged);
    widget_->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(widget_, Qt::Key_Up);
    ASSERT_EQ(changes.Count(), 1u);
    const KwDateTime carried = std::get<0>(changes.Last());
    EXPECT_EQ(carried, edit_->GetDateTime());
    EXPECT_EQ(carried, Make(2023, 6, 15, 13, 45, 30));
}

TEST_F(DateEditTest, PictureFromARelativePathInAFolderWithBlanks)
{
    TempFolder temp;
    ASSERT_TRUE(temp.IsValid());
    // Blanks and parentheses end an unquoted url; quotes and backslashes
    // end or escape a quoted one.
    const char* folders[] = {"pictures (with blanks)", "q\"uote\\slash"};
    const QString savedCurrent = QDir::currentPath();
    // The drop-down button is there when the form asks for the calendar.
    widget_->setCalendarPopup(true);
    for (const char* folder : folders) {
        SCOPED_TRACE(folder);
        const std::string dir = temp.Path(folder);
        ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0700), 0);
        QImage red(12, 12, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0));
        ASSERT_TRUE(red.save(QString::fromStdString(dir + "/drop.png")));

        widget_->setStyleSheet(QString());
        const int redBefore = RedPixels();
        ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(temp.Path())));
        edit_->LoadPicture(QString::fromStdString(std::string(folder) + "/sub/../drop.png").toStdWString());
        QDir::setCurrent(savedCurrent);

        QString quoted = QString::fromStdString(dir + "/drop.png");
        quoted.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("\""), QLatin1String("\\\""));
        EXPECT_EQ(widget_->styleSheet(),
                  QStringLiteral("QDateEdit::drop-down{background-color: white;image: url(\"") + quoted +
                      QStringLiteral("\");image-position: left;}"));
        EXPECT_GT(RedPixels(), redBefore);  // the picture is drawn
    }

    // A path with nothing behind it clears the sheet, whatever it held.
    widget_->setStyleSheet(QStringLiteral("QDateEdit { color: blue; }"));
    edit_->LoadPicture(QString::fromStdString(temp.Path("missing.png")).toStdWString());
    EXPECT_TRUE(widget_->styleSheet().isEmpty());
    edit_->LoadPicture(std::wstring());
    EXPECT_TRUE(widget_->styleSheet().isEmpty());

    // Picture bytes are accepted and change nothing.
    widget_->setStyleSheet(QStringLiteral("QDateEdit { color: blue; }"));
    const unsigned char bytes[] = {0x89, 'P', 'N', 'G'};
    edit_->LoadPicture(bytes, sizeof bytes, AUILib::ImagePNG);
    EXPECT_EQ(widget_->styleSheet(), QStringLiteral("QDateEdit { color: blue; }"));
}

TEST_F(DateEditTest, APathEndsAtItsFirstNul)
{
    TempFolder temp;
    ASSERT_TRUE(temp.IsValid());
    QImage red(12, 12, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    const std::string path = temp.Path("drop.png");
    ASSERT_TRUE(red.save(QString::fromStdString(path)));
    std::wstring withNul = QString::fromStdString(path).toStdWString();
    withNul += L'\0';
    withNul += L"trailing";
    edit_->LoadPicture(withNul);
    EXPECT_TRUE(widget_->styleSheet().contains(QString::fromStdString(path)));
}

} // namespace
