// The hyperlink: its markup on show, enter, leave and the repaint after a
// dirty mark; visited state; activation by click and by mnemonic, either
// reported through OnClick or opened by the desktop (a URL handler here).
#include "LabelsButtonsKit.h"

#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QEnterEvent>
#include <QUrl>

#include <functional>

namespace {

using AUILib::HyperLinkElement;

// Catches the URLs the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher()
    {
        for (const char* scheme : {"https", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"https", "http"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

void Enter(QWidget* widget)
{
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
}

void Leave(QWidget* widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

QString Anchor(const QString& url, const QString& colour, const QString& text)
{
    return QStringLiteral("<a href=\"") + url + QStringLiteral("\" style=\"color: ") + colour +
           QStringLiteral(";\">") + text + QStringLiteral("</a>");
}

QString FontRun(const QString& colour, const QString& text)
{
    return QStringLiteral("<font color = \"") + colour + QStringLiteral("\">") + text + QStringLiteral("< / font>");
}

const QString kUrl = QStringLiteral("https://example.test/go");
constexpr AUILib::RGBColor kLink = 0xFF112233u;
constexpr AUILib::RGBColor kVisited = 0xFF445566u;
constexpr AUILib::RGBColor kHover = 0x00778899u;  // top byte 0: two blanks in the name

TEST(HyperLinkMarkup, EventsUnderlineAndVisited)
{
    struct Case {
        const char* why;
        std::function<void(HyperLinkElement&, QWidget*)> run;
        QString markup;
    };
    const std::vector<Case> cases = {
        {"show: anchor in the link colour", [](HyperLinkElement&, QWidget* w) { w->show(); },
         Anchor(kUrl, "#ff112233", "Go")},
        {"show while visited: still the link colour",
         [](HyperLinkElement& l, QWidget* w) {
             l.SetVisited(true);
             w->hide();
             w->show();
         },
         Anchor(kUrl, "#ff112233", "Go")},
        {"show without underline: a coloured run",
         [](HyperLinkElement& l, QWidget* w) {
             l.SetUnderline(false);
             w->hide();
             w->show();
         },
         FontRun("#ff112233", "Go")},
        {"enter: an anchor in the hover colour even without underline",
         [](HyperLinkElement& l, QWidget* w) {
             l.SetUnderline(false);
             Enter(w);
         },
         Anchor(kUrl, "#  778899", "Go")},
        {"leave when visited, no underline: a run in the visited colour",
         [](HyperLinkElement& l, QWidget* w) {
             Enter(w);
             l.SetUnderline(false);
             l.SetVisited(true);
             Leave(w);
         },
         FontRun("#ff445566", "Go")},
        {"leave when not visited: anchor in the link colour",
         [](HyperLinkElement&, QWidget* w) {
             Enter(w);
             Leave(w);
         },
         Anchor(kUrl, "#ff112233", "Go")},
        {"underline alone waits for an event",
         [](HyperLinkElement& l, QWidget*) { l.SetUnderline(false); }, Anchor(kUrl, "#ff112233", "Go")},
        {"text and URL alone wait for an event",
         [](HyperLinkElement& l, QWidget*) {
             l.SetText(L"Other");
             l.SetURL(L"https://example.test/other");
         },
         Anchor(kUrl, "#ff112233", "Go")},
        {"paint after a dirty mark with the mouse over: hover",
         [](HyperLinkElement& l, QWidget* w) {
             Enter(w);
             l.SetColors(0xFF000001u, kVisited, 0xFF000003u);
         },
         Anchor(kUrl, "#ff000003", "Go")},
        {"paint after a dirty mark with the mouse away: visited",
         [](HyperLinkElement& l, QWidget*) {
             l.SetURL(L"");
             l.SetVisited(true);
         },
         Anchor(" ", "#ff445566", "Go")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TestWindow window;
        auto link = window.Place<HyperLinkElement>(10, 10, 120, 24);
        QWidget* widget = WidgetOf(*link);
        link->SetText(L"Go");
        link->SetURL(kUrl.toStdWString());
        link->SetColors(kLink, kVisited, kHover);
        ASSERT_TRUE(window.Show());
        Leave(widget);  // the process-wide flag starts clear
        EXPECT_EQ(WidgetOf(*link)->text(), Anchor(kUrl, "#ff112233", "Go"));
        c.run(*link, widget);
        EXPECT_EQ(WidgetOf(*link)->text(), c.markup);
        EXPECT_FALSE(WidgetOf(*link)->IsDirty());
        Leave(widget);
    }
}

TEST(HyperLinkMarkup, MouseOverAnotherLinkCounts)
{
    TestWindow window;
    auto first = window.Place<HyperLinkElement>(10, 10, 120, 24);
    auto second = window.Place<HyperLinkElement>(10, 40, 120, 24);
    second->SetText(L"Second");
    second->SetColors(kLink, kVisited, 0xFF0000FFu);
    ASSERT_TRUE(window.Show());
    Enter(WidgetOf(*first));
    second->SetVisited(true);
    EXPECT_EQ(WidgetOf(*second)->text(), Anchor(" ", "#ff0000ff", "Second"));
    Leave(WidgetOf(*first));
    EXPECT_FALSE(AUILib::HyperLinkElementQt::IsMouseOver());
}

TEST(HyperLinkMarkup, DefaultsAndAccessors)
{
    HyperLinkElement link;
    EXPECT_EQ(link.GetLinkColor(), 0xFF2189F7u);
    EXPECT_EQ(link.GetVisitedColor(), 0xFF2189F7u);
    EXPECT_EQ(link.GetHoverColor(), 0xFF2189F7u);
    EXPECT_TRUE(link.GetUnderline());
    EXPECT_FALSE(link.GetVisited());
    EXPECT_EQ(link.GetControlType(), AUILib::ControlTypeHyperLinkElement);
    QLabel* widget = WidgetOf(link);
    EXPECT_EQ(widget->textFormat(), Qt::RichText);
    EXPECT_TRUE(widget->testAttribute(Qt::WA_Hover));
    EXPECT_TRUE(ImplOf(link).IsTrackMouseEvent());
    EXPECT_EQ(widget->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    EXPECT_EQ(widget->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    const AUILib::SizePolicy packed = ImplOf(link).GetSizePolicy();
    EXPECT_EQ(packed.horizontalPolicy, static_cast<uint32_t>(QSizePolicy::Preferred));
    EXPECT_EQ(packed.verticalPolicy, static_cast<uint32_t>(QSizePolicy::Preferred));
    // Create does not record the parent.
    QWidget parent;
    EXPECT_TRUE(link.Create(&parent));
    EXPECT_EQ(widget->parentWidget(), &parent);
    EXPECT_EQ(link.GetParentWindow(), nullptr);
}

class HyperLinkActivation : public ::testing::Test {
protected:
    void SetUp() override
    {
        link_ = window_.Place<HyperLinkElement>(10, 10, 150, 24);
        link_->SetText(L"&Go there");
        link_->SetURL(kUrl.toStdWString());
        ASSERT_TRUE(window_.Show());
    }
    void Click() { QTest::mouseClick(WidgetOf(*link_), Qt::LeftButton, Qt::NoModifier, QPoint(6, 12)); }
    void Mnemonic() { QTest::keyClick(window_.Get(), Qt::Key_G, Qt::AltModifier); }

    TestWindow window_;
    std::shared_ptr<HyperLinkElement> link_;
    UrlCatcher urls_;
};

TEST_F(HyperLinkActivation, DefaultReportsThroughTheSignal)
{
    SignalRecorder<> clicks(link_->OnClick);
    Click();
    EXPECT_EQ(clicks.Count(), 1u);
    EXPECT_TRUE(urls_.opened.isEmpty());
    EXPECT_TRUE(link_->GetVisited());
    Mnemonic();
    EXPECT_EQ(clicks.Count(), 2u);
    EXPECT_TRUE(urls_.opened.isEmpty());
}

TEST_F(HyperLinkActivation, DesktopOpensTheUrl)
{
    link_->SetbDefaultClickProcess(false);
    EXPECT_TRUE(WidgetOf(*link_)->openExternalLinks());
    SignalRecorder<> clicks(link_->OnClick);
    Click();
    EXPECT_EQ(clicks.Count(), 0u);
    ASSERT_EQ(urls_.opened.size(), 1);
    EXPECT_EQ(urls_.opened[0], QUrl(kUrl));
    Mnemonic();
    EXPECT_EQ(clicks.Count(), 0u);
    ASSERT_EQ(urls_.opened.size(), 2);
    EXPECT_EQ(urls_.opened[1], QUrl(kUrl));

    // And back.
    link_->SetbDefaultClickProcess(true);
    Click();
    EXPECT_EQ(clicks.Count(), 1u);
    EXPECT_EQ(urls_.opened.size(), 2);
}

} // namespace

#include "HyperLinkTest.moc"
