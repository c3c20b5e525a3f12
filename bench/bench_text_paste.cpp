// Pastes 100,000 characters into a multi-line edit limited to 5 characters
// and into one without a limit, in one run, and prints the ratio of their
// times. Cut back one character at a time, each cut nesting the next text
// step, the limited paste overflowed the stack; cut back in one removal it
// should cost about what the plain paste does. Goal: the limited paste
// within 3x of the unlimited one.
#include "AUILibConfig.h"
#include "BaseImpl.h"
#include "CollectingReporter.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"

#include <QApplication>
#include <QClipboard>
#include <QString>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <clocale>
#include <map>
#include <string>

namespace {

const int kPasted = 100000;

void BM_Paste(benchmark::State& state, int limit)
{
    QApplication::clipboard()->setText(QString(kPasted, QLatin1Char('x')));
    const int expected = limit > 0 ? limit : kPasted;
    for (auto _ : state) {
        state.PauseTiming();
        {
            QWidget parent;
            AUILib::MultiLineEdit edit;
            edit.Create(&parent);
            edit.SetLimitText(limit);
            int changes = 0;
            edit.OnTextChanged.Connect([&] { ++changes; });
            auto* widget = qobject_cast<AUILib::MultiLineEditQt*>(edit.GetBaseImpl()->GetWndPtr());
            state.ResumeTiming();
            widget->paste();
            benchmark::DoNotOptimize(widget->document()->characterCount());
            state.PauseTiming();
            if (widget->toPlainText().size() != expected || changes != 1)
                state.SkipWithError("the paste did not leave the expected text");
        }
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    AUILib::GetAUILibConfig();

    benchmark::RegisterBenchmark("Paste100000/Limit5", BM_Paste, 5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Paste100000/NoLimit", BM_Paste, 0)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Times in the benchmarks' unit, milliseconds.
    ReportAgainstPeer("Limited paste relative to the unlimited paste", "text_paste/limit5_vs_unlimited", kPasted,
                      reporter.Time("Paste100000/Limit5"), reporter.Time("Paste100000/NoLimit"), 3);
    benchmark::Shutdown();
    return 0;
}
