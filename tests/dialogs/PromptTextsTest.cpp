// The prompts with the texts users read: English and German (a catalogue
// compiled from tests/dialogs/fixtures/prompts_de.ts), a title from the
// service of any length, and catalogue texts that hold markup. Every text is
// whole, the prompt stays on the screen, and markup is shown as text.
#include "Appearance.h"
#include "CDlgComponentFound.h"
#include "CDlg_MajorUpdate.h"
#include "CSetup_CommandLine.h"
#include "IsolatedEnv.h"
#include "PngBytes.h"
#include "PicturePixels.h"
#include "PromptFit.h"
#include "QtPrinters.h"
#include "Screenshot.h"
#include "UpdaterApp.h"
#include "WidgetLooks.h"
#include "dlgAcCertain.h"
#include "dlgForceAutoUpdate.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QSize kSmallScreen(1024, 768);

// A title as long as a service might send.
QString longTitle()
{
    return QStringLiteral("Velto PDF Reader 13 is here: a redesigned workspace, faster rendering of large "
                          "documents, shared review in the cloud, accessibility tagging and much more for every "
                          "edition and language");
}

struct PromptCase
{
    const char* name;           // screenshot name
    QSize formSize;             // the size the form was drawn at
    const char* probe;          // an object whose text shows the German catalogue is in force
    const char* germanProbe;    // its German text
    std::function<QDialog*()> make;
};

QString textOf(QDialog* dialog, const char* name)
{
    if (auto* label = dialog->findChild<QLabel*>(QLatin1String(name)))
        return label->text();
    if (auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name)))
        return button->text();
    return QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// A picture file of 400 x 400 pixels in the folder; empty on failure.
QString bigPicture(const QTemporaryDir& folder)
{
    const QString path = folder.path() + QStringLiteral("/big.png");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(PngBytes(400, 400)) <= 0)
        return QString();
    return path;
}

// A catalogue whose every text of the prompts starts with a picture.
class MarkupTranslator : public QTranslator
{
public:
    explicit MarkupTranslator(const QString& picture) : m_picture(picture) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        static const char* const contexts[] = {"dlgAcCertain", "dlgForceAutoUpdate", "CDlg_MajorUpdate",
                                               "DlgComponentFound", "QObject"};
        for (const char* c : contexts) {
            if (qstrcmp(context, c) == 0)
                return QStringLiteral("<img src=\"%1\">").arg(m_picture) + QString::fromUtf8(source);
        }
        return QString();
    }

private:
    QString m_picture;
};

} // namespace

class PromptTexts : public ::testing::Test
{
protected:
    PromptTexts()
    {
        env.set("UPDATER_SERVICE_BASE", "http://127.0.0.1:9");
        cmd.ProcessCmdLine(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1"));
        app = std::make_unique<UpdaterApp>(&cmd);
        theApp = app.get();
    }
    ~PromptTexts() override
    {
        theApp = nullptr;
        app.reset();
    }

    static ComponentInfo components(const QString& list, const QString& version = QStringLiteral("12.1.0.1"))
    {
        ComponentInfo info;
        info.productName = QStringLiteral("Velto PDF Reader");
        info.readerVersion = version;
        info.componentList = list;
        info.localLangName = QStringLiteral("de-DE");
        info.edition = QStringLiteral("Business");
        return info;
    }

    std::vector<PromptCase> prompts()
    {
        return {
            {"administrator-update", QSize(406, 235), "btn_now", "Jetzt aktualisieren",
             [] { return new dlgAcCertain; }},
            {"forced-update", QSize(552, 294), "btn_Install", "Jetzt installieren und neu starten",
             [] { return new dlgForceAutoUpdate(nullptr); }},
            {"major-upgrade", QSize(503, 208), "btn_info", "Weitere Informationen",
             [this] {
                 app->m_strMajorTitle.clear();
                 return new CDlg_MajorUpdate;
             }},
            {"major-upgrade-long-title", QSize(503, 208), "btn_info", "Weitere Informationen",
             [this] {
                 app->m_strMajorTitle = longTitle();
                 return new CDlg_MajorUpdate;
             }},
            {"component-found", QSize(530, 260), "label5",
             "Hinweis: Zum Herunterladen des Updates ist eine Internetverbindung erforderlich.",
             [] {
                 ComponentInfo info = components(QStringLiteral("OCR_jp_jp,OCR_zh_cn"));
                 return new CDlgComponentFound(info);
             }},
            {"component-found-six", QSize(530, 260), "label1",
             "Die Komponenten OCR Japanisch/OCR Chinesisch (vereinfacht)/OCR_ko-KR/OCR_tr-TR/OCR_pl-PL "
             "(insgesamt 6) müssen installiert werden.",
             [] {
                 ComponentInfo info = components(
                     QStringLiteral("OCR_jp_jp,OCR_zh_cn,OCR_ko_kr,OCR_tr_tr,OCR_pl_pl,OCR_nl_nl"));
                 return new CDlgComponentFound(info);
             }},
        };
    }

    IsolatedEnv env;
    CSetup_CommandLine cmd;
    std::unique_ptr<UpdaterApp> app;
};

// English and German, light and dark: nothing cut, nothing outside, the form's
// size as the least, the screen as the most.
TEST_F(PromptTexts, WholeTextsOnTheScreenInEnglishAndGerman)
{
    AgentLook look;
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(PROMPTS_GERMAN_QM)));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* language : {"en", "de"}) {
        const bool isGerman = qstrcmp(language, "de") == 0;
        if (isGerman)
            QCoreApplication::installTranslator(&german);
        for (const char* appearance : {"light", "dark"}) {
            const bool dark = qstrcmp(appearance, "dark") == 0;
            env.set("UPDATER_APPEARANCE", dark ? "dark" : "");
            Appearance::applySystemAppearance();
            for (const PromptCase& p : prompts()) {
                SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(QLatin1String(p.name), QLatin1String(language),
                                                            QLatin1String(appearance)).toStdString());
                std::unique_ptr<QDialog> prompt(p.make());
                prompt->show();
                QTest::qWait(20);
                if (isGerman) {
                    EXPECT_EQ(textOf(prompt.get(), p.probe), QString::fromUtf8(p.germanProbe));
                }
                EXPECT_EQ(textsCut(prompt.get()), QStringList());
                EXPECT_EQ(childrenOutside(prompt.get()), QStringList());
                EXPECT_GE(prompt->width(), p.formSize.width());
                EXPECT_GE(prompt->height(), p.formSize.height());
                EXPECT_LE(prompt->width(), qMin(kSmallScreen.width(), screen.width()));
                EXPECT_LE(prompt->height(), qMin(kSmallScreen.height(), screen.height()));
                EXPECT_EQ(prompt->palette().color(QPalette::Window).lightness() < 100, dark);
                // And painted so: the picture's background follows the appearance.
                EXPECT_EQ(DominantColour(prompt->grab().toImage()).lightness() < 100, dark);
                EXPECT_FALSE(saveScreenshot(prompt.get(), QStringLiteral("prompt-%1-%2-%3").arg(
                                                               QLatin1String(p.name), QLatin1String(language),
                                                               QLatin1String(appearance)))
                                 .isEmpty());
            }
        }
        QCoreApplication::removeTranslator(&german);
    }
    env.set("UPDATER_APPEARANCE", "");
    Appearance::applySystemAppearance();
}

// The prompt's size for its texts on screens of several sizes: never more
// than the screen; too tall at the form's width, it grows wider first.
TEST_F(PromptTexts, NeededSizeStaysOnTheScreen)
{
    AgentLook look;
    app->m_strMajorTitle = longTitle() + QLatin1Char(' ') + longTitle() + QLatin1Char(' ') + longTitle();
    app->m_strMajorContent = QString(longTitle() + QLatin1Char(' ')).repeated(8);
    CDlg_MajorUpdate prompt;
    const QSize form(503, 208);
    struct Case {
        const char* what;
        QRect available;
    };
    const Case cases[] = {
        {"1024x768", QRect(QPoint(0, 0), kSmallScreen)},
        {"800x600 below a menu bar", QRect(0, 25, 800, 575)},
        {"smaller than the form", QRect(0, 0, 400, 180)},
    };
    for (const Case& c : cases) {
        const QSize needed = PromptFit::neededSize(&prompt, form, c.available);
        EXPECT_LE(needed.width(), c.available.width()) << c.what;
        EXPECT_LE(needed.height(), c.available.height()) << c.what;
    }
    // On the large screen the texts need more than the form's width to stay
    // within its height: the prompt widens, and then the texts are whole.
    const QSize onLarge = PromptFit::neededSize(&prompt, form, QRect(QPoint(0, 0), kSmallScreen));
    EXPECT_GT(onLarge.width(), form.width());
    prompt.setMinimumSize(onLarge);
    prompt.resize(onLarge);
    prompt.show();
    QTest::qWait(20);
    EXPECT_EQ(textsCut(&prompt), QStringList());
}

// A catalogue's markup is shown as the text it is: a picture named in a
// translation is not loaded (it would make its label as tall as the picture).
TEST_F(PromptTexts, CatalogueMarkupIsShownAsText)
{
    QTemporaryDir folder;
    const QString picture = bigPicture(folder);
    ASSERT_FALSE(picture.isEmpty());
    MarkupTranslator markup(picture);
    QCoreApplication::installTranslator(&markup);
    for (const PromptCase& p : prompts()) {
        SCOPED_TRACE(p.name);
        std::unique_ptr<QDialog> prompt(p.make());
        prompt->show();
        QTest::qWait(20);
        int translated = 0;
        for (QLabel* label : prompt->findChildren<QLabel*>()) {
            if (!label->text().startsWith(QLatin1String("<img")))
                continue;
            ++translated;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
            EXPECT_LT(label->sizeHint().height(), 200) << label->objectName().toStdString();
        }
        EXPECT_GT(translated, 0);
    }
    QCoreApplication::removeTranslator(&markup);
}

// The component prompt's link is its one text shown as markup: the command
// line's version and edition in it stay text.
TEST_F(PromptTexts, ComponentLinkKeepsCommandLineTextsAsText)
{
    QTemporaryDir folder;
    const QString picture = bigPicture(folder);
    ASSERT_FALSE(picture.isEmpty());
    ComponentInfo info = components(QStringLiteral("FileOpen"),
                                    QStringLiteral("12.1'><img src='%1'><a href='x").arg(picture));
    info.edition = QStringLiteral("\"><h1>INSTALL NOW</h1>");
    CDlgComponentFound prompt(info);
    auto* link = prompt.findChild<QLabel*>(QStringLiteral("label4"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->textFormat(), Qt::RichText);
    EXPECT_FALSE(link->text().contains(QLatin1String("<img")));
    EXPECT_FALSE(link->text().contains(QLatin1String("<h1>")));
    EXPECT_EQ(link->text().count(QLatin1String("<a ")), 1);
    EXPECT_LT(link->sizeHint().height(), 200);
}
