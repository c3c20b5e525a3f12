// Runs the agent's job for a command line, as UpdaterApp does, with an
// automatic user in place of a person: Yes to a component prompt, every
// add-on in the update list (chosen with the keyboard, as a user can), OK to
// message boxes, and Close once the download-and-install list has finished.
// For headless machines, where no one can click: it prints what each window
// showed and every module's outcome, and saves a picture of each window that
// is on screen when its turn comes (<build>/screenshots/demo_*.png); it never
// shows a window itself.
//   demo-drive <the agent's command line>
// Exit code 0 when every listed module ended with the success icon, 1 when
// not, 3 when the run took longer than DEMO_TIME_LIMIT seconds (default 300);
// it then prints what it saw last.
#include "ModalAnswerer.h"
#include "MyApplication.h"
#include "UpdaterApp.h"
#include "CSetup_CommandLine.h"
#include "dlgfound.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

struct Outcome
{
    bool listShown = false;
    bool ended = false;
    QStringList rows;   // "title: success|warning|<progress text>"
    int successes = 0;
};

// What the automatic user saw last, for the report when time runs out.
QString g_lastSeen = QStringLiteral("nothing yet");

void say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// A picture of a window that is on screen. A window that has closed in the
// meantime is not shown again for it: showing a modal dialog that has ended
// would put it back in front of (and block) the window that followed it.
QString photograph(QWidget* w, const QString& name)
{
    if (!w->isVisible())
        return QStringLiteral("(none: the window had closed)");
    const QString folder = QStringLiteral(UPDATER_BINARY_DIR) + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    return w->grab().save(path) ? path : QStringLiteral("(none: not saved)");
}

QString iconOf(const QStandardItem* item)
{
    if (!item || item->icon().isNull())
        return QString();
    const QImage shown = item->icon().pixmap(16, 16).toImage();
    if (shown == QIcon(QStringLiteral(":/res/popup_success.png")).pixmap(16, 16).toImage())
        return QStringLiteral("success");
    if (shown == QIcon(QStringLiteral(":/res/popup_warning.png")).pixmap(16, 16).toImage())
        return QStringLiteral("warning");
    return QStringLiteral("icon");
}

// Every add-on, each chosen as a user would: the row made current, then Space.
void chooseAddons(QWidget* list)
{
    auto* view = list->findChild<QTreeView*>();
    auto* model = qobject_cast<QStandardItemModel*>(view->model());
    if (!model)
        return;
    std::function<void(QStandardItem*, bool)> walk = [&](QStandardItem* item, bool addons) {
        for (int r = 0; r < item->rowCount(); ++r) {
            QStandardItem* child = item->child(r, 0);
            if (!child)
                continue;
            const bool inAddons = addons || child->text() == QLatin1String("Add-ons");
            if (child->rowCount() > 0) {
                walk(child, inAddons);
            } else {
                say(QStringLiteral("  offered: %1%2").arg(child->text(), inAddons ? QStringLiteral(" (chosen)") : QString()));
                if (inAddons && child->checkState() != Qt::Checked) {
                    view->setCurrentIndex(child->index());
                    QTest::keyClick(view, Qt::Key_Space);
                }
            }
        }
    };
    walk(model->invisibleRootItem(), false);
}

void closeListWhenDone(QWidget* w, Outcome& out)
{
    out.listShown = true;
    auto* timer = new QTimer(w);
    QObject::connect(timer, &QTimer::timeout, w, [w, timer, &out] {
        auto* close = w->findChild<QPushButton*>(QStringLiteral("btn_close"));
        auto* model = qobject_cast<QStandardItemModel*>(w->findChild<QTreeView*>()->model());
        if (!close || !model)
            return;
        QStringList progress;
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString icon = iconOf(model->item(r, 2));
            progress << model->item(r, 0)->text() + QStringLiteral(": ")
                    + (icon.isEmpty() ? model->item(r, 2)->text() : icon);
        }
        g_lastSeen = QStringLiteral("the download-and-install list: ") + progress.join(QStringLiteral(", "));
        if (close->text() != QLatin1String("Close"))
            return;
        timer->stop();
        out.ended = true;
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString icon = iconOf(model->item(r, 2));
            if (icon == QLatin1String("success"))
                ++out.successes;
            out.rows << QStringLiteral("%1: %2").arg(model->item(r, 0)->text(),
                                                    icon.isEmpty() ? model->item(r, 2)->text() : icon);
        }
        say(QStringLiteral("picture: ") + photograph(w, QStringLiteral("demo_download_list")));
        close->click();
    });
    timer->start(100);
}

} // namespace

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(res);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    MyApplication::applyButtonStyle();
    MyApplication::applyFont();

    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromUtf8(argv[i]);
    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(words.join(QLatin1Char(' ')));
    UpdaterApp controller(&commandLine, nullptr);
    theApp = &controller;

    // A run that hangs must not hang whoever started the demo.
    bool limitOk = false;
    const int limitSeconds = qEnvironmentVariableIntValue("DEMO_TIME_LIMIT", &limitOk);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        say(QStringLiteral("time limit reached; last seen: ") + g_lastSeen);
        std::_Exit(3);
    });
    limit.start((limitOk && limitSeconds > 0 ? limitSeconds : 300) * 1000);

    Outcome outcome;
    ModalAnswerer answerer;
    const std::function<void(QWidget*)> user = [&](QWidget* w) {
        const ModalAnswerer::Seen seen = ModalAnswerer::describe(w);
        g_lastSeen = QStringLiteral("window %1 \"%2\": %3").arg(seen.className, seen.title, seen.texts.join(QStringLiteral(" | ")));
        say(g_lastSeen);
        if (w->inherits("CDlgComponentFound")) {
            say(QStringLiteral("picture: ") + photograph(w, QStringLiteral("demo_component_prompt")));
            w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click();
        } else if (w->inherits("DlgUpdatesTree")) {
            chooseAddons(w);
            say(QStringLiteral("picture: ") + photograph(w, QStringLiteral("demo_update_list")));
            if (auto* download = w->findChild<QPushButton*>(QStringLiteral("button_download")))
                download->click();
        } else if (w->inherits("dlgfound")) {
            closeListWhenDone(w, outcome);
        } else if (w->inherits("DlgUpdateChecking")) {
            say(QStringLiteral("picture: ") + photograph(w, QStringLiteral("demo_check")));
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else if (QAbstractButton* no = box->button(QMessageBox::No))
                no->click();
        }
    };
    for (int i = 0; i < 16; ++i)
        answerer.answer(user);

    controller.runUpdateVisible(31, 225);

    if (!outcome.listShown) {
        say(QStringLiteral("no download-and-install list was opened"));
        return 1;
    }
    for (const QString& row : qAsConst(outcome.rows))
        say(QStringLiteral("  module %1").arg(row));
    const bool allInstalled = outcome.ended && outcome.successes == outcome.rows.size() && !outcome.rows.isEmpty();
    say(allInstalled ? QStringLiteral("every chosen module installed") : QStringLiteral("not every module installed"));
    return allInstalled ? 0 : 1;
}
