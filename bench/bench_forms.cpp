// Loads a generated form of 6,000 lines and one of 6,000 push buttons in one
// run and prints the ratio of their times. A line's orientation is read from
// the form text; read per line, the lines' form took 28 s against 0.6 s for
// the buttons. Goal: the lines' form within 2x of the buttons' form.
#include "AUILibConfig.h"
#include "CollectingReporter.h"
#include "DialogImplQt.h"

#include <QApplication>
#include <QString>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <map>
#include <string>

namespace {

const int kWidgets = 6000;

// A dialog whose vertical layout holds count copies of the widget made by
// widget(i).
std::wstring Form(const char* title, QString (*widget)(int))
{
    QString form = QStringLiteral("<ui version=\"4.0\"><widget class=\"QDialog\" name=\"%1\"><layout "
                                  "class=\"QVBoxLayout\" name=\"layout\">")
                       .arg(QLatin1String(title));
    for (int i = 0; i < kWidgets; ++i)
        form += QStringLiteral("<item>") + widget(i) + QStringLiteral("</item>");
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

void BM_LoadForm(benchmark::State& state, const std::wstring* form)
{
    for (auto _ : state) {
        AUILib::Dialog::impl dialog(nullptr, 0, nullptr);
        if (!dialog.CreateFromUI(*form, 0, nullptr))
            state.SkipWithError("the form did not load");
        dialog.DiscardWindow();
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

    benchmark::RegisterBenchmark("LoadForm/6000Lines", BM_LoadForm, &lines)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadForm/6000Buttons", BM_LoadForm, &buttons)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Times in the benchmarks' unit, milliseconds.
    ReportAgainstPeer("Lines' form relative to the buttons' form", "forms/lines_vs_buttons", kWidgets,
                      reporter.Time("LoadForm/6000Lines"), reporter.Time("LoadForm/6000Buttons"), 2);
    benchmark::Shutdown();
    return 0;
}
