// Loads a generated form of 2,400 lines and one of 2,400 push buttons in one
// run and prints the ratio of their times. A line's orientation is read from
// the form text; read per line, a form of 6,000 lines took 28 s against 0.6 s
// for the buttons. Goal: the lines' form within 2x of the buttons' form.
//
// Then loads and shows one form just within each of the form limits (a form
// within the old limits took minutes). Goal: each within two seconds; the
// goal is absolute, so its REPORT line carries the two seconds as the peer.
// Exits with 1 when a goal is not met.
#include "AUILibConfig.h"
#include "CollectingReporter.h"
#include "DialogImplQt.h"
#include "FormLimits.h"

#include <QApplication>
#include <QString>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <map>
#include <string>

namespace {

// Within the form limits: rows of 40 in a column of rows.
const int kWidgets = 2400;
const int kPerRow = 40;

// A dialog whose layout holds count copies of the widget made by widget(i),
// kPerRow to a row.
std::wstring Form(const char* title, QString (*widget)(int))
{
    QString form = QStringLiteral("<ui version=\"4.0\"><widget class=\"QDialog\" name=\"%1\"><layout "
                                  "class=\"QVBoxLayout\" name=\"layout\">")
                       .arg(QLatin1String(title));
    for (int i = 0; i < kWidgets; ++i) {
        if (i % kPerRow == 0)
            form += QStringLiteral("<item><layout class=\"QHBoxLayout\">");
        form += QStringLiteral("<item>") + widget(i) + QStringLiteral("</item>");
        if (i % kPerRow == kPerRow - 1 || i == kWidgets - 1)
            form += QStringLiteral("</layout></item>");
    }
    form += QStringLiteral("</layout></widget></ui>");
    return form.toStdWString();
}

QString LineWidget(int i)
{
    return QStringLiteral("<widget class=\"Line\" name=\"line%1\"><property name=\"orientation\"><enum>%2</enum>"
                          "</property></widget>")
        .arg(i)
        .arg(i % 2 ? QStringLiteral("Qt::Vertical") : QStringLiteral("Qt::Horizontal"));
}

QString ButtonWidget(int i)
{
    return QStringLiteral("<widget class=\"QPushButton\" name=\"button%1\"><property name=\"text\"><string>%1</string>"
                          "</property></widget>")
        .arg(i);
}

// Forms just within every limit, one shape per limit. Each stays within all
// the other limits too, and within the size a built dialog may have.
const char* const kDialogHead = "<ui version=\"4.0\"><widget class=\"QDialog\" name=\"Limits\">";
const char* const kDialogTail = "</widget></ui>";

QString Repeat(const QString& piece, int count)
{
    QString text;
    text.reserve(piece.size() * count);
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

// As many short buttons as the element limit allows, in rows of 40.
QString ButtonsToTheElementLimit()
{
    const int perRow = 40;
    const int rowElements = 2 + perRow * 4;   // item and layout; per button item, widget, property, string
    const int rows = (AUILib::kMaxFormElements - 3) / rowElements;
    const QString button = QStringLiteral("<item><widget class=\"QPushButton\"><property name=\"text\"><string>b"
                                          "</string></property></widget></item>");
    const QString row = QStringLiteral("<item><layout class=\"QHBoxLayout\">") + Repeat(button, perRow) +
                        QStringLiteral("</layout></item>");
    return QString::fromLatin1(kDialogHead) + QStringLiteral("<layout class=\"QVBoxLayout\">") + Repeat(row, rows) +
           QStringLiteral("</layout>") + QString::fromLatin1(kDialogTail);
}

QString PropertiesToTheChildLimit()
{
    return QString::fromLatin1(kDialogHead) + QStringLiteral("<widget class=\"QLabel\" name=\"label\">") +
           Repeat(QStringLiteral("<property name=\"text\"><string>p</string></property>"), AUILib::kMaxFormChildren) +
           QStringLiteral("</widget>") + QString::fromLatin1(kDialogTail);
}

QString TabPagesToTheChildLimit()
{
    return QString::fromLatin1(kDialogHead) + QStringLiteral("<widget class=\"QTabWidget\" name=\"tabs\">") +
           Repeat(QStringLiteral("<widget class=\"QWidget\"><attribute name=\"title\"><string>page</string>"
                                 "</attribute></widget>"),
                  AUILib::kMaxFormChildren) +
           QStringLiteral("</widget>") + QString::fromLatin1(kDialogTail);
}

// A wrapped label whose text is as long as one text may be.
QString TextToTheTextLimit()
{
    return QString::fromLatin1(kDialogHead) + QStringLiteral("<layout class=\"QVBoxLayout\"><item><widget "
                                                             "class=\"QLabel\"><property name=\"wordWrap\"><bool>"
                                                             "true</bool></property><property name=\"text\"><string>") +
           Repeat(QStringLiteral("word "), AUILib::kMaxFormText / 5) +
           QStringLiteral("</string></property></widget></item></layout>") + QString::fromLatin1(kDialogTail);
}

// Plain text edits in a grid, each with a text as long as one text may be,
// up to the byte limit.
QString TextsToTheByteLimit()
{
    const QString text = Repeat(QStringLiteral("line of text\n"), AUILib::kMaxFormText / 13);
    QString form = QString::fromLatin1(kDialogHead) + QStringLiteral("<layout class=\"QGridLayout\">");
    const QString tail = QStringLiteral("</layout>") + QString::fromLatin1(kDialogTail);
    for (int i = 0;; ++i) {
        const QString edit = QStringLiteral("<item row=\"%1\" column=\"%2\"><widget class=\"QPlainTextEdit\">"
                                            "<property name=\"plainText\"><string>")
                                 .arg(i / 8)
                                 .arg(i % 8) +
                             text + QStringLiteral("</string></property></widget></item>");
        if ((form + edit + tail).toUtf8().size() > AUILib::kMaxFormBytes)
            break;
        form += edit;
    }
    return form + tail;
}

QString WidgetsToTheDepthLimit()
{
    const int widgets = AUILib::kMaxFormDepth - 3;   // ui, the dialog and the innermost label
    return QString::fromLatin1(kDialogHead) + Repeat(QStringLiteral("<widget class=\"QWidget\">"), widgets) +
           QStringLiteral("<widget class=\"QLabel\"/>") + Repeat(QStringLiteral("</widget>"), widgets) +
           QString::fromLatin1(kDialogTail);
}

QString AttributesToTheAttributeLimit()
{
    QString form = QStringLiteral("<ui version=\"4.0\"");
    for (int i = 1; i < AUILib::kMaxFormAttributes; ++i)
        form += QStringLiteral(" xmlns:n%1=\"urn:n%1\"").arg(i);
    return form + QStringLiteral("><widget class=\"QDialog\" name=\"Limits\"/></ui>");
}

void BM_LoadAndShowForm(benchmark::State& state, const std::wstring* form)
{
    for (auto _ : state) {
        AUILib::Dialog::impl dialog(nullptr, 0, nullptr);
        if (!dialog.CreateFromUI(*form, 0, nullptr)) {
            state.SkipWithError("the form did not load");
            break;
        }
        QWidget* window = dialog.GetWndPtr();
        window->show();
        QApplication::processEvents();   // laid out and painted
        window->hide();
        dialog.DiscardWindow();
    }
}

void BM_LoadForm(benchmark::State& state, const std::wstring* form)
{
    for (auto _ : state) {
        AUILib::Dialog::impl dialog(nullptr, 0, nullptr);
        const bool loaded = dialog.CreateFromUI(*form, 0, nullptr);
        dialog.DiscardWindow();
        if (!loaded) {
            state.SkipWithError("the form did not load");
            break;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    AUILib::GetAUILibConfig();   // registers the controls

    static const std::wstring lines = Form("Lines", LineWidget);
    static const std::wstring buttons = Form("Buttons", ButtonWidget);
    printf("forms: %d lines (%.0f kB), %d buttons (%.0f kB)\n", kWidgets, lines.size() / 1024.0, kWidgets,
           buttons.size() / 1024.0);

    benchmark::RegisterBenchmark("LoadForm/Lines", BM_LoadForm, &lines)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadForm/Buttons", BM_LoadForm, &buttons)->Unit(benchmark::kMillisecond);

    static const std::map<std::string, std::wstring> atLimits = {
        {"elements", ButtonsToTheElementLimit().toStdWString()},
        {"properties", PropertiesToTheChildLimit().toStdWString()},
        {"tab_pages", TabPagesToTheChildLimit().toStdWString()},
        {"text", TextToTheTextLimit().toStdWString()},
        {"bytes", TextsToTheByteLimit().toStdWString()},
        {"depth", WidgetsToTheDepthLimit().toStdWString()},
        {"attributes", AttributesToTheAttributeLimit().toStdWString()},
    };
    for (const auto& entry : atLimits) {
        printf("form at the %s limit: %.0f kB\n", entry.first.c_str(), entry.second.size() / 1024.0);
        benchmark::RegisterBenchmark(("LoadAndShowForm/" + entry.first).c_str(), BM_LoadAndShowForm, &entry.second)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Times in the benchmarks' unit, milliseconds.
    bool met = true;
    const double lineTime = reporter.Time("LoadForm/Lines");
    const double buttonTime = reporter.Time("LoadForm/Buttons");
    ReportAgainstPeer("Lines' form relative to the buttons' form", "forms/lines_vs_buttons", kWidgets, lineTime,
                      buttonTime, 2);
    if (lineTime <= 0 || buttonTime <= 0 || lineTime / buttonTime > 2)
        met = false;
    const double budgetMs = 2000;
    for (const auto& entry : atLimits) {
        const double time = reporter.Time("LoadAndShowForm/" + entry.first);
        const std::string what = "Form at the " + entry.first + " limit, loaded and shown, against 2 s";
        const std::string name = "forms/at_limit_" + entry.first;
        ReportAgainstPeer(what.c_str(), name.c_str(), static_cast<long>(entry.second.size()), time, budgetMs, 1);
        if (time <= 0 || time > budgetMs)
            met = false;   // over the budget, or it did not load
    }
    benchmark::Shutdown();
    return met ? 0 : 1;
}
