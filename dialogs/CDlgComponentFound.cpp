#include "CDlgComponentFound.h"
#include "ui_CDlgComponentFound.h"

#include "Platform.h"
#include "PromptFit.h"
#include "RedirectService.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPixmap>
#include <QStringList>

namespace {

// The Japanese site and the maker's own site. UPDATER_SERVICE_BASE replaces
// "https://" + host.
const char* const kJapanHost = "www.velto.example.jp";
const char* const kWebHost = "www.velto.example";

// The prompt's own texts share the form's context, so one catalogue section
// holds all of them.
QString formTr(const char* text)
{
    return QCoreApplication::translate("DlgComponentFound", text);
}

QString qobjectTr(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

struct ComponentRow
{
    const char* list;
    const char* displayName;   // null: none of its own
    const char* description;   // null: none
};

// Matched against the whole component list, letter case ignored.
const ComponentRow kComponents[] = {
    {"SD", QT_TRANSLATE_NOOP("QObject", "Export PDF"),
     QT_TRANSLATE_NOOP("QObject", "This component will allow you to export PDF files to Word, Excel, "
                                  "PowerPoint, and HTML formats. ")},
    {"Velto Spell Check Language", QT_TRANSLATE_NOOP("QObject", "Spell Check"),
     QT_TRANSLATE_NOOP("QObject", "This component will help to find any spelling errors and highlight "
                                  "them with squiggly lines. ")},
    {"Firefox Plugin", QT_TRANSLATE_NOOP("QObject", "Firefox Plugin"), nullptr},
    {"FileOpen", nullptr,
     QT_TRANSLATE_NOOP("QObject", "This component will allow you to access documents encrypted with "
                                  "the FileOpen software. ")},
    {"Dwg3DPlugins", nullptr, QT_TRANSLATE_NOOP("QObject", "This plugin can be used to display the 3D objects. ")},
};

// OCR module names and the language code each one stands for; a translation
// catalogue can turn the codes into readable language names.
const char* const kOcrCodes[][2] = {
    {"OCR_ru_ru", "OCR_ru-RU"}, {"OCR_nl_nl", "OCR_nl-NL"}, {"OCR_ko_kr", "OCR_ko-KR"},
    {"OCR_tr_tr", "OCR_tr-TR"}, {"OCR_zh_cn", "OCR_zh-CN"}, {"OCR_efigs", "OCR_efigs"},
    {"OCR_pl_pl", "OCR_pl-PL"}, {"OCR_pt_pt", "OCR_pt-PT"}, {"OCR_jp_jp", "OCR_ja-JP"},
    {"OCR_lt_lt", "OCR_lt-LT"}, {"OCR_lv_lv", "OCR_lv-LV"}, {"OCR_et_ee", "OCR_et-EE"},
    {"OCR_fi_fi", "OCR_fi-FI"}, {"OCR_th_th", "OCR_th-TH"}, {"OCR_no_no", "OCR_nb-NO"},
    {"OCR_da_da", "OCR_da-DK"}, {"OCR_is_is", "OCR_is-IS"}, {"OCR_sv_sv", "OCR_sv-SE"},
    {"OCR_hy_hy", "OCR_hy_hy"}, {"OCR_ro_ro", "OCR_ro-RO"}, {"OCR_sk_sk", "OCR_sk-SK"},
    {"OCR_cs_cs", "OCR_cs-CZ"}, {"OCR_hu_hu", "OCR_hu-HU"}, {"OCR_ar_ar", "OCR_ar-AE"},
    {"OCR_iw_iw", "OCR_he-IL"}, {"OCR_fo_fo", "OCR_fo-FO"}, {"OCR_el_el", "OCR_el-GR"},
    {"OCR_eu_eu", "OCR_eu-ES"}, {"OCR_bg_bg", "OCR_bg-BG"}, {"OCR_ca_ca", "OCR_ca-ES"},
    {"OCR_hr_hr", "OCR_hr-HR"}, {"OCR_gl_gl", "OCR_gl-ES"}, {"OCR_mk_mk", "OCR_mk-MK"},
    {"OCR_mt_mt", "OCR_mt-MT"}, {"OCR_sr_sr", "OCR_sr-Cyrl-RS"}, {"OCR_sl_sl", "OCR_sl-SI"},
    {"OCR_uk_uk", "OCR_uk-UA"},
};

QString replaceOcrCodes(QString list)
{
    for (const auto& code : kOcrCodes)
        list.replace(QLatin1String(code[0]), qobjectTr(code[1]));
    return list;
}

// The link is the one text of the prompt shown as markup. The address holds
// the command line's language, version and edition: none of them may close
// the attribute or add markup of its own. An "&" cannot do either, so the
// address keeps its query as it is.
QString markupEscaped(QString text)
{
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    text.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    text.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return text;
}

QString linkAddress(const ComponentInfo& info)
{
    QString base = RedirectServiceBase();
    if (info.localLangName.compare(QLatin1String("ja-JP"), Qt::CaseInsensitive) == 0)
        base = Platform::serviceBase(QLatin1String(kJapanHost)) + QStringLiteral("/go.php");

    QString address = base
        + QStringLiteral("/go.php?do=redirect&title=addons&product=%1&language=%2&version=%3&edition=%4")
              .arg(QStringLiteral("Velto Reader for Mac"), info.localLangName, info.readerVersion, info.edition);
    const int lastDot = info.readerVersion.lastIndexOf(QLatin1Char('.'));
    address += QStringLiteral("&utm_source=client-app&utm_medium=button&utm_campaign=glaciermac")
        + (lastDot < 0 ? info.readerVersion : info.readerVersion.left(lastDot));
    return address;
}

} // namespace

CDlgComponentFound::CDlgComponentFound(ComponentInfo& info, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DlgComponentFound)
{
    ui->setupUi(this);
    m_formSize = size();
    ui->label_6->setPixmap(QPixmap(QStringLiteral("://res/zaro_32.png")));
    ui->label_6->setFixedSize(32, 32);
    init(info);
}

CDlgComponentFound::~CDlgComponentFound()
{
    delete ui;
}

void CDlgComponentFound::init(ComponentInfo& info)
{
    const QString list = info.componentList;
    const QString single = formTr("The %s component needs to be installed.");
    QString several = formTr("The %s%[1](%d%[2] in total) components need to be installed.");
    several.remove(QStringLiteral("%[1]"));
    several.remove(QStringLiteral("%[2]"));

    QString displayName;
    QString description;
    bool matched = false;
    for (const ComponentRow& row : kComponents) {
        if (list.compare(QLatin1String(row.list), Qt::CaseInsensitive) != 0)
            continue;
        matched = true;
        if (row.displayName)
            displayName = qobjectTr(row.displayName);
        if (row.description)
            description = qobjectTr(row.description);
        break;
    }

    bool firstLineSet = false;
    if (!matched) {
        const QStringList parts = replaceOcrCodes(list).split(QLatin1Char(','), Qt::SkipEmptyParts);
        displayName = parts.mid(0, 5).join(QLatin1Char('/'));
        if (parts.size() > 5) {
            // The count goes in first, so a "%d" inside a name stays as it is.
            ui->label1->setText(QString(several)
                                    .replace(QStringLiteral("%d"), QString::number(parts.size()))
                                    .replace(QStringLiteral("%s"), displayName));
            firstLineSet = true;
        }
    }

    if (list.contains(QLatin1String("OCR_"))) {
        description = qobjectTr("This component will allow you to convert scanned or image-based content into "
                                "selectable, searchable, and editable text.");
    } else if (list.startsWith(QLatin1String("PDF/A")) || list.startsWith(QLatin1String("pdf/a"))) {
        displayName = QStringLiteral("PDF/AEX");
        description = qobjectTr("This component will allow you to check for compliance with PDF industry "
                                "standards such as PDF/A. ");
    }

    ui->label2->setText(description);
    if (displayName.isEmpty())
        displayName = list;

    if (!firstLineSet) {
        if (list.compare(QLatin1String("Dwg3DPlugins"), Qt::CaseInsensitive) == 0)
            ui->label1->setText(formTr("You need to install the 3D related plugin. "));
        else
            ui->label1->setText(QString(single).replace(QStringLiteral("%s"), displayName));
    }

    ui->label3->setText(formTr("Please click Yes to download and install this component. You can also download "
                           "it at a later time from the following link. After downloading, you can install it "
                           "from 'Install Updates' on the Help tab. "));

    const QString address = linkAddress(info);
    qDebug() << "CDlgComponentFound::init strHttpt: " + address;
    const QString addonsPage = Platform::serviceBase(QLatin1String(kWebHost)) + QStringLiteral("/products/addons.php");
    ui->label4->setText(QStringLiteral("<a style='color: #2189F7;' href='%1'>%2</a>")
                            .arg(markupEscaped(address), markupEscaped(addonsPage)));
    ui->label5->setText(formTr("Note: Downloading the update requires an Internet connection."));
    // The prompt keeps one size, the one its texts need.
    PromptFit::fit(this, m_formSize, true);
}
