// The list box filled with 100,000 random texts, each case in a fresh
// process, fill and first paint together, against what a Qt developer
// writes instead:
// - sorted: AddItem per row with sorting on, against a QTableWidget filled
//   with sorting off and then sorted once; and its own fill of half the rows
//   (a doubling must stay near linear);
// - unsorted: AddItem per row against a QTableWidget given its row count
//   first and then its cells.
// Beside them, for reference, the floor: a QTableView over a small model of
// a sorted vector. The cases run in five interleaved rounds; each counts
// its best round.
#include "ColdRun.h"
#include "ListBox.h"
#include "ListBoxImplQt.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <clocale>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const int kRows = 100000;

std::vector<std::wstring> Texts(int count)
{
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> length(4, 16);
    std::vector<std::wstring> result;
    result.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(length(random)), L'a');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(letter(random));
        result.push_back(text);
    }
    return result;
}

std::unique_ptr<QWidget> Window()
{
    auto window = std::make_unique<QWidget>();
    window->resize(400, 600);
    return window;
}

void ListBoxFill(coldrun::Meter& meter, int rows, bool sorted)
{
    const std::vector<std::wstring> texts = Texts(rows);
    meter.Start();
    auto window = Window();
    AUILib::ListBox list;
    list.Create(window.get());
    list.GetImpl()->GetWidget()->setGeometry(0, 0, 400, 600);
    if (sorted)
        list.SortColumn(0, AUILib::ListBox::SortAscending, true);
    for (const std::wstring& text : texts)
        list.AddItem(text);
    coldrun::ShowAndPaint(window.get(), list.GetImpl()->GetWidget()->viewport());
    if (list.Count() != rows || (sorted && list.GetItem(0, 0) > list.GetItem(rows - 1, 0)))
        std::exit(1);
}

void TableWidgetFill(coldrun::Meter& meter, bool sorted)
{
    const std::vector<std::wstring> texts = Texts(kRows);
    meter.Start();
    auto window = Window();
    auto* table = new QTableWidget(0, 1, window.get());
    table->setGeometry(0, 0, 400, 600);
    table->setRowCount(kRows);
    int row = 0;
    for (const std::wstring& text : texts)
        table->setItem(row++, 0, new QTableWidgetItem(QString::fromStdWString(text)));
    if (sorted) {
        table->setSortingEnabled(true);
        table->sortByColumn(0, Qt::AscendingOrder);
    }
    coldrun::ShowAndPaint(window.get(), table->viewport());
    if (table->rowCount() != kRows || (sorted && table->item(0, 0)->text() > table->item(kRows - 1, 0)->text()))
        std::exit(1);
}

// The floor: the texts sorted once in a vector, shown through a model.
class SortedTexts : public QAbstractTableModel {
public:
    explicit SortedTexts(std::vector<QString> texts) : texts_(std::move(texts)) {}
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(texts_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(texts_[static_cast<size_t>(index.row())]) : QVariant();
    }

private:
    std::vector<QString> texts_;
};

void ModelFill(coldrun::Meter& meter)
{
    const std::vector<std::wstring> input = Texts(kRows);
    meter.Start();
    std::vector<QString> texts;
    texts.reserve(input.size());
    for (const std::wstring& text : input)
        texts.push_back(QString::fromStdWString(text));
    std::sort(texts.begin(), texts.end());
    auto window = Window();
    auto* view = new QTableView(window.get());
    view->setGeometry(0, 0, 400, 600);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    auto* model = new SortedTexts(std::move(texts));
    model->setParent(view);
    view->setModel(model);
    coldrun::ShowAndPaint(window.get(), view->viewport());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const coldrun::Cases cases = {
        {"listbox_sorted", [](coldrun::Meter& m) { ListBoxFill(m, kRows, true); }},
        {"listbox_sorted_half", [](coldrun::Meter& m) { ListBoxFill(m, kRows / 2, true); }},
        {"listbox_unsorted", [](coldrun::Meter& m) { ListBoxFill(m, kRows, false); }},
        {"tablewidget_sorted_once", [](coldrun::Meter& m) { TableWidgetFill(m, true); }},
        {"tablewidget_row_count", [](coldrun::Meter& m) { TableWidgetFill(m, false); }},
        {"model_floor", [](coldrun::Meter& m) { ModelFill(m); }},
    };
    if (coldrun::RunCaseIfAsked(argc, argv, cases))
        return 0;

    // A fill takes a few hundred milliseconds: five rounds, each case's best.
    std::map<std::string, coldrun::Result> results = coldrun::ColdRunsInterleaved(
        {"tablewidget_sorted_once", "listbox_sorted", "listbox_sorted_half", "tablewidget_row_count",
         "listbox_unsorted", "model_floor"},
        5);
    const coldrun::Result sortedPeer = results["tablewidget_sorted_once"];
    const coldrun::Result sorted = results["listbox_sorted"];
    const coldrun::Result half = results["listbox_sorted_half"];
    const coldrun::Result unsortedPeer = results["tablewidget_row_count"];
    const coldrun::Result unsorted = results["listbox_unsorted"];
    const coldrun::Result floor = results["model_floor"];

    coldrun::Report("Sorted list box against QTableWidget sorted once", "listbox/sorted_fill_vs_sorted_once", kRows,
                    sorted, sortedPeer, 2.0);
    coldrun::Report("Sorted list box, 100,000 rows against 50,000", "listbox/sorted_fill_doubling", kRows, sorted, half,
                    2.3);
    coldrun::Report("Unsorted list box against QTableWidget with setRowCount", "listbox/unsorted_fill_vs_row_count",
                    kRows, unsorted, unsortedPeer, 2.0);
    coldrun::Report("Sorted list box against a model over a sorted vector (floor)", "listbox/sorted_fill_vs_floor",
                    kRows, sorted, floor, 0);
    return 0;
}
