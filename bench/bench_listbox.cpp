// Fills a list box sorted on its first column with 100,000 random texts, one
// AddItem each, and a plain QTableWidget sorted the same way row by row, in
// one run, and prints the ratio of their times. Turning sorting off and on
// around every insert resorts the whole table each time (quadratic); the
// list box places each row by binary search instead. Goal: no slower than
// Qt's own table (at most 1.0x).
#include "CollectingReporter.h"
#include "ListBox.h"
#include "ListBoxImplQt.h"

#include <QApplication>
#include <QTableWidget>
#include <benchmark/benchmark.h>

#include <clocale>
#include <random>
#include <string>
#include <vector>

namespace {

const int kRows = 100000;

const std::vector<std::wstring>& Texts()
{
    static const std::vector<std::wstring> texts = [] {
        std::mt19937 random(20261211);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_int_distribution<int> length(4, 16);
        std::vector<std::wstring> result;
        result.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            std::wstring text(static_cast<size_t>(length(random)), L'a');
            for (wchar_t& c : text)
                c = static_cast<wchar_t>(letter(random));
            result.push_back(text);
        }
        return result;
    }();
    return texts;
}

void BM_ListBoxAddItemSorted(benchmark::State& state)
{
    for (auto _ : state) {
        AUILib::ListBox list;
        list.SortColumn(0, AUILib::ListBox::SortAscending, true);
        for (const std::wstring& text : Texts())
            list.AddItem(text);
        if (list.Count() != kRows || list.GetItem(0, 0) > list.GetItem(kRows - 1, 0))
            state.SkipWithError("the list is not filled in order");
    }
}

void BM_QTableWidgetSorted(benchmark::State& state)
{
    std::vector<QString> texts;
    for (const std::wstring& text : Texts())
        texts.push_back(QString::fromStdWString(text));
    for (auto _ : state) {
        QTableWidget table(0, 1);
        table.setSortingEnabled(true);
        table.sortByColumn(0, Qt::AscendingOrder);
        for (const QString& text : texts) {
            const int row = table.rowCount();
            table.insertRow(row);
            table.setItem(row, 0, new QTableWidgetItem(text));
        }
        if (table.rowCount() != kRows || table.item(0, 0)->text() > table.item(kRows - 1, 0)->text())
            state.SkipWithError("the table is not filled in order");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    Texts();

    benchmark::RegisterBenchmark("Fill/ListBoxAddItemSorted", BM_ListBoxAddItemSorted)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Fill/QTableWidgetSorted", BM_QTableWidgetSorted)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Times in the benchmarks' unit, milliseconds.
    ReportAgainstPeer("List box relative to QTableWidget, sorted inserts", "listbox/sorted_fill_vs_qtablewidget",
                      kRows, reporter.Time("Fill/ListBoxAddItemSorted"), reporter.Time("Fill/QTableWidgetSorted"),
                      1.0);
    benchmark::Shutdown();
    return 0;
}
