// The component prompt: its texts for each kind of component list and its
// link on the redirect service.
#include "E2eSupport.h"

#include "CDlgComponentFound.h"
#include "Appearance.h"
#include "Screenshot.h"
#include "WidgetLooks.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

QString label(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(QLatin1String(name))->text();
}

const char* const kOcrText = "This component will allow you to convert scanned or image-based content into "
                             "selectable, searchable, and editable text.";

ComponentInfo infoFor(const QString& list, const QString& lang = QStringLiteral("en-US"),
                      const QString& version = QStringLiteral("12.1.0.1"))
{
    ComponentInfo info;
    info.productName = QStringLiteral("Velto PDF Reader");
    info.readerVersion = version;
    info.componentList = list;
    info.localLangName = lang;
    info.edition = QStringLiteral("Business");
    return info;
}

} // namespace

TEST(ComponentPrompt, TextsForEachKindOfList)
{
    IsolatedEnv env;
    const struct {
        const char* list;
        const char* first;
        const char* description;
    } cases[] = {
        {"FileOpen", "The FileOpen component needs to be installed.",
         "This component will allow you to access documents encrypted with the FileOpen software. "},
        {"fileopen", "The fileopen component needs to be installed.",
         "This component will allow you to access documents encrypted with the FileOpen software. "},
        {"Dwg3DPlugins", "You need to install the 3D related plugin. ",
         "This plugin can be used to display the 3D objects. "},
        {"DWG3DPLUGINS", "You need to install the 3D related plugin. ",
         "This plugin can be used to display the 3D objects. "},
        {"Velto Spell Check Language", "The Spell Check component needs to be installed.",
         "This component will help to find any spelling errors and highlight them with squiggly lines. "},
        {"Firefox Plugin", "The Firefox Plugin component needs to be installed.", ""},
        {"SD", "The Export PDF component needs to be installed.",
         "This component will allow you to export PDF files to Word, Excel, PowerPoint, and HTML formats. "},
        {"OCR_jp_jp,OCR_zh_cn", "The OCR_ja-JP/OCR_zh-CN component needs to be installed.", kOcrText},
        {"OCR_sr_sr", "The OCR_sr-Cyrl-RS component needs to be installed.", kOcrText},
        {"OCR_no_no,,OCR_iw_iw,", "The OCR_nb-NO/OCR_he-IL component needs to be installed.", kOcrText},
        // Five parts still use the single template; a sixth switches to the count.
        {"OCR_ru_ru,OCR_nl_nl,OCR_ko_kr,OCR_tr_tr,OCR_pl_pl",
         "The OCR_ru-RU/OCR_nl-NL/OCR_ko-KR/OCR_tr-TR/OCR_pl-PL component needs to be installed.", kOcrText},
        {"OCR_ru_ru,OCR_nl_nl,OCR_ko_kr,OCR_tr_tr,OCR_pl_pl,OCR_uk_uk",
         "The OCR_ru-RU/OCR_nl-NL/OCR_ko-KR/OCR_tr-TR/OCR_pl-PL(6 in total) components need to be installed.",
         kOcrText},
        {"PDF/A", "The PDF/AEX component needs to be installed.",
         "This component will allow you to check for compliance with PDF industry standards such as PDF/A. "},
        {"pdf/a-3", "The PDF/AEX component needs to be installed.",
         "This component will allow you to check for compliance with PDF industry standards such as PDF/A. "},
        {"Foo", "The Foo component needs to be installed.", ""},
        {"%d,b,c,d,e,f", "The %d/b/c/d/e(6 in total) components need to be installed.", ""},
    };
    for (const auto& c : cases) {
        ComponentInfo info = infoFor(QString::fromUtf8(c.list));
        CDlgComponentFound prompt(info, nullptr);
        EXPECT_EQ(label(prompt, "label1"), QString::fromUtf8(c.first)) << c.list;
        EXPECT_EQ(label(prompt, "label2"), QString::fromUtf8(c.description)) << c.list;
        EXPECT_EQ(label(prompt, "label5"), QStringLiteral("Note: Downloading the update requires an Internet connection."));
    }
}

TEST(ComponentPrompt, LinkOnTheRedirectService)
{
    IsolatedEnv env;
    env.set("UPDATER_SERVICE_BASE", "http://127.0.0.1:9");
    const QString query = QStringLiteral("/go.php?do=redirect&title=addons&product=Velto Reader for Mac&language=%1"
                                         "&version=%2&edition=Business&utm_source=client-app&utm_medium=button"
                                         "&utm_campaign=glaciermac%3");
    const struct {
        const char* lang;
        const char* version;
        QString expected;
    } cases[] = {
        {"de-DE", "4.1.2.1234", QStringLiteral("http://127.0.0.1:9") + query.arg("de-DE", "4.1.2.1234", "4.1.2")},
        {"en-US", "12", QStringLiteral("http://127.0.0.1:9") + query.arg("en-US", "12", "12")},
        // The Japanese site is chosen by the language tag in any letter case.
        {"JA-jp", "12.1.0.1",
         QStringLiteral("http://127.0.0.1:9/go.php") + query.arg("JA-jp", "12.1.0.1", "12.1.0")},
    };
    for (const auto& c : cases) {
        ComponentInfo info = infoFor(QStringLiteral("FileOpen"), QLatin1String(c.lang), QLatin1String(c.version));
        CDlgComponentFound prompt(info, nullptr);
        const QString link = label(prompt, "label4");
        EXPECT_EQ(link, QStringLiteral("<a style='color: #2189F7;' href='%1'>%2</a>")
                            .arg(c.expected, QStringLiteral("http://127.0.0.1:9/products/addons.php")))
            << c.lang;
        EXPECT_TRUE(prompt.findChild<QLabel*>(QStringLiteral("label4"))->openExternalLinks());
    }
}

TEST(ComponentPrompt, YesAcceptsNoAndEscapeRejectByMouseAndByKeyboard)
{
    IsolatedEnv env;
    AgentLook look;
    ComponentInfo info = infoFor(QStringLiteral("OCR_jp_jp,OCR_zh_cn"));
    const struct {
        const char* name;
        std::function<void(CDlgComponentFound&)> act;
        int result;
    } ways[] = {
        {"Yes clicked", [](CDlgComponentFound& p) { p.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click(); },
         QDialog::Accepted},
        {"No clicked", [](CDlgComponentFound& p) { p.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::No)->click(); },
         QDialog::Rejected},
        {"Space on Yes", [](CDlgComponentFound& p) {
             QPushButton* yes = p.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes);
             yes->setFocus();
             QTest::keyClick(yes, Qt::Key_Space);
         }, QDialog::Accepted},
        {"Space on No", [](CDlgComponentFound& p) {
             QPushButton* no = p.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::No);
             no->setFocus();
             QTest::keyClick(no, Qt::Key_Space);
         }, QDialog::Rejected},
        {"Escape", [](CDlgComponentFound& p) { QTest::keyClick(&p, Qt::Key_Escape); }, QDialog::Rejected},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        CDlgComponentFound prompt(info, nullptr);
        prompt.show();
        way.act(prompt);
        EXPECT_FALSE(prompt.isVisible());
        EXPECT_EQ(prompt.result(), way.result);
    }
}

// With the agent's look the prompt keeps one size, at least the form's and
// as tall as its texts need, with nothing sticking out or cut; in the dark
// appearance it is dark from the start, as every window is.
TEST(ComponentPrompt, SizeAndPicturesLightAndDark)
{
    IsolatedEnv env;
    AgentLook look;
    for (const char* appearance : {"light", "dark"}) {
        SCOPED_TRACE(appearance);
        const bool dark = QLatin1String(appearance) == QLatin1String("dark");
        env.set("UPDATER_APPEARANCE", dark ? "dark" : "");
        Appearance::applySystemAppearance();   // what start-up does
        ComponentInfo info = infoFor(QStringLiteral("OCR_jp_jp,OCR_zh_cn"));
        CDlgComponentFound prompt(info, nullptr);
        EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Download Components"));
        EXPECT_FALSE(prompt.findChild<QLabel*>(QStringLiteral("label_6"))->pixmap(Qt::ReturnByValue).isNull());
        prompt.show();
        QTest::qWait(20);
        EXPECT_EQ(prompt.minimumSize(), prompt.maximumSize());
        EXPECT_EQ(prompt.size(), prompt.minimumSize());
        EXPECT_EQ(prompt.width(), 530);
        EXPECT_GE(prompt.height(), 260);
        EXPECT_EQ(childrenOutside(&prompt), QStringList());
        EXPECT_EQ(textsCut(&prompt), QStringList());
        EXPECT_EQ(prompt.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->height(), 32);
        EXPECT_EQ(prompt.palette().color(QPalette::Window).lightness() < 100, dark);
        EXPECT_FALSE(saveScreenshot(&prompt, QStringLiteral("component_prompt_%1").arg(appearance)).isEmpty());
    }
    env.set("UPDATER_APPEARANCE", "");
    Appearance::applySystemAppearance();
}
